// Script lines: parsing and writing the scripted presenter's actions.
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/Codepage.h"
#include "platform/ScriptedPresenter.h"

namespace vesk::ui {
namespace {

std::string trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A text as written in a script: quoted with escapes, or the bare words. UTF-8 in,
// Windows-1252 out.
bool parseText(const std::string& written, std::string* text, std::string* error) {
    const std::string t = trim(written);
    if (t.empty() || t[0] != '"') {
        if (t.empty()) {
            *error = "a text is missing (write \"\" for an empty one)";
            return false;
        }
        *text = cp::utf8ToCp1252(t);
        return true;
    }
    std::string out;
    size_t i = 1;
    for (; i < t.size() && t[i] != '"'; ++i) {
        if (t[i] != '\\') {
            out += t[i];
            continue;
        }
        if (++i == t.size()) break;
        switch (t[i]) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            default:
                *error = std::string("unknown escape \\") + t[i];
                return false;
        }
    }
    if (i >= t.size()) {
        *error = "a quoted text is not closed";
        return false;
    }
    if (i + 1 != t.size()) {
        *error = "something follows a quoted text";
        return false;
    }
    *text = cp::utf8ToCp1252(out);
    return true;
}

bool parseId(const std::string& written, int* id, std::string* error) {
    std::string t = trim(written);
    if (lower(t).rfind("control ", 0) == 0) t = trim(t.substr(8));
    if (t.empty() || !std::isdigit(static_cast<unsigned char>(t[0]))) {
        *error = "\"" + t + "\" is no control id";
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(t.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value > 0x7FFFFFFF) {
        *error = "\"" + t + "\" is no control id";
        return false;
    }
    *id = static_cast<int>(value);
    return true;
}

// Splits "TEXT <separator> ID" at the last separator, so the text may hold the word itself.
bool splitTarget(const std::string& rest, const std::string& separator, std::string* text, int* id,
                 std::string* error) {
    const size_t at = lower(rest).rfind(separator);
    if (at == std::string::npos) {
        *error = "\"" + trim(separator) + "\" and a control id are missing";
        return false;
    }
    return parseText(rest.substr(0, at), text, error) && parseId(rest.substr(at + separator.size()), id, error);
}

std::string quote(const std::string& cp1252) {
    const std::string utf8 = cp::cp1252ToUtf8(cp1252);
    const bool plain = !utf8.empty() && utf8.front() != ' ' && utf8.back() != ' ' && utf8.front() != '"' &&
                       utf8.find_first_of("\n\t\\\"") == std::string::npos;
    if (plain) return utf8;
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

}  // namespace

ScriptAction ScriptAction::type(int control, std::string text) {
    ScriptAction a;
    a.kind = Kind::Type;
    a.control = control;
    a.text = std::move(text);
    return a;
}

ScriptAction ScriptAction::select(int control, std::string text) {
    ScriptAction a = type(control, std::move(text));
    a.kind = Kind::Select;
    return a;
}

ScriptAction ScriptAction::check(int control, bool checked) {
    ScriptAction a;
    a.kind = checked ? Kind::Check : Kind::Uncheck;
    a.control = control;
    return a;
}

ScriptAction ScriptAction::press(std::string button) {
    ScriptAction a;
    a.kind = Kind::Press;
    a.text = std::move(button);
    return a;
}

ScriptAction ScriptAction::press(int control) {
    return press(std::to_string(control));
}

ScriptAction ScriptAction::answer(std::string answer) {
    ScriptAction a;
    a.kind = Kind::Answer;
    a.text = std::move(answer);
    return a;
}

ScriptAction ScriptAction::chooseDirectory(std::string path) {
    ScriptAction a;
    a.kind = Kind::ChooseDirectory;
    a.text = std::move(path);
    return a;
}

std::string ScriptAction::toString() const {
    switch (kind) {
        case Kind::Type: return "type " + quote(text) + " into " + std::to_string(control);
        case Kind::Select: return "select " + quote(text) + " in " + std::to_string(control);
        case Kind::Check: return "check " + std::to_string(control);
        case Kind::Uncheck: return "uncheck " + std::to_string(control);
        case Kind::Press: return "press " + quote(text);
        case Kind::Answer: return "answer " + quote(text);
        case Kind::ChooseDirectory: return "choose directory " + text;
    }
    return std::string();
}

std::optional<ScriptAction> parseScriptLine(const std::string& line, std::string* error) {
    std::string scratch;
    if (error == nullptr) error = &scratch;
    error->clear();
    const std::string t = trim(line);
    if (t.empty() || t[0] == '#') return std::nullopt;
    const size_t space = t.find_first_of(" \t");
    const std::string word = lower(t.substr(0, space));
    const std::string rest = space == std::string::npos ? std::string() : trim(t.substr(space + 1));
    ScriptAction action;
    if (word == "type") {
        action.kind = ScriptAction::Kind::Type;
        if (!splitTarget(" " + rest, " into ", &action.text, &action.control, error)) return std::nullopt;
    } else if (word == "select") {
        action.kind = ScriptAction::Kind::Select;
        if (!splitTarget(" " + rest, " in ", &action.text, &action.control, error)) return std::nullopt;
    } else if (word == "check" || word == "uncheck") {
        action.kind = word == "check" ? ScriptAction::Kind::Check : ScriptAction::Kind::Uncheck;
        if (!parseId(rest, &action.control, error)) return std::nullopt;
    } else if (word == "press" || word == "answer") {
        action.kind = word == "press" ? ScriptAction::Kind::Press : ScriptAction::Kind::Answer;
        if (!parseText(rest, &action.text, error)) return std::nullopt;
    } else if (word == "choose") {
        if (lower(rest).rfind("directory", 0) != 0 || trim(rest.substr(9)).empty()) {
            *error = "write \"choose directory <path>\"";
            return std::nullopt;
        }
        action.kind = ScriptAction::Kind::ChooseDirectory;
        action.text = trim(rest.substr(9));
    } else {
        *error = "\"" + word + "\" is no action (type, select, check, uncheck, press, answer, choose directory)";
        return std::nullopt;
    }
    return action;
}

bool parseScript(const std::string& text, std::vector<ScriptAction>* actions, std::string* error) {
    std::istringstream in(text);
    std::string line;
    std::vector<ScriptAction> parsed;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string reason;
        std::optional<ScriptAction> action = parseScriptLine(line, &reason);
        if (!reason.empty()) {
            if (error != nullptr) *error = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
        if (!action) continue;
        action->line = number;
        parsed.push_back(std::move(*action));
    }
    *actions = std::move(parsed);
    return true;
}

bool loadScript(const std::string& path, std::vector<ScriptAction>* actions, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (error != nullptr) *error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parseScript(text.str(), actions, error);
}

}  // namespace vesk::ui
