#include "handheld/HandheldFile.h"

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

#include "handheld/Base64.h"
#include "handheld/JsonNumber.h"
#include "desktop/FileIo.h"
#include "platform/Codepage.h"

namespace conduit {

using nlohmann::json;

namespace {

constexpr int kFormat = 1;

// The texts of a record and their JSON names, in record order.
struct TextField {
    const char* key;
    std::string RecordFields::*member;
};
constexpr TextField kTexts[] = {
    {"from", &RecordFields::from},           {"to", &RecordFields::to},
    {"cc", &RecordFields::cc},               {"bcc", &RecordFields::bcc},
    {"extraText1", &RecordFields::extraText1}, {"extraText2", &RecordFields::extraText2},
    {"subject", &RecordFields::subject},     {"body", &RecordFields::body},
    {"attachments", &RecordFields::attachments},
};
constexpr TextField kIds[] = {
    {"extraId1", &RecordFields::extraId1},
    {"hostMsgId", &RecordFields::hostMsgId},
    {"extraId2", &RecordFields::extraId2},
};

json recordToJson(const RecordFields& r) {
    json j = json::object();
    // Only what is set is written, so the file stays readable to a person.
    for (const TextField& f : kIds) {
        if (!(r.*f.member).empty()) j[f.key] = encodeBase64(r.*f.member);
    }
    j["extraWord"] = r.extraWord;
    j["timeSent"] = r.timeSent;
    j["timeReceived"] = r.timeReceived;
    j["size"] = r.size;
    j["extraLong"] = r.extraLong;
    j["status"] = r.status;
    j["flags"] = r.flags;
    for (const TextField& f : kTexts) {
        if (!(r.*f.member).empty()) j[f.key] = vesk::cp::cp1252ToUtf8(r.*f.member);
    }
    return j;
}

// Reading throws nlohmann's exceptions for wrong types; the caller turns them into one error.
RecordFields recordFromJson(const json& j) {
    RecordFields r;
    for (const TextField& f : kIds) {
        if (!j.contains(f.key)) continue;
        std::optional<std::string> bytes = decodeBase64(j.at(f.key).get<std::string>());
        if (!bytes) throw std::runtime_error(std::string(f.key) + " is not base64");
        r.*f.member = *bytes;
    }
    r.extraWord = wholeNumber(j, "extraWord", std::uint16_t{0});
    r.timeSent = wholeNumber(j, "timeSent", std::int32_t{0});
    r.timeReceived = wholeNumber(j, "timeReceived", std::int32_t{0});
    r.size = wholeNumber(j, "size", std::uint32_t{0});
    r.extraLong = wholeNumber(j, "extraLong", std::uint32_t{0});
    r.status = wholeNumber(j, "status", std::uint16_t{0x0400});
    r.flags = wholeNumber(j, "flags", std::uint32_t{0x002A0000});
    for (const TextField& f : kTexts) {
        if (j.contains(f.key)) r.*f.member = vesk::cp::utf8ToCp1252(j.at(f.key).get<std::string>());
    }
    return r;
}

json messageToJson(const HandheldMessage& m, Folder folder) {
    json j = json::object();
    j["id"] = m.id;
    j["record"] = recordToJson(m.record);
    j["read"] = m.read;
    j["priority"] = m.priority;
    if (folder == Folder::Inbox) {
        j["deleted"] = m.deleted;
        j["desktopRead"] = m.desktopRead;
        j["desktopPriority"] = m.desktopPriority;
    } else {
        j["readReceipt"] = m.readReceipt;
        j["deliveryReport"] = m.deliveryReport;
        j["unsure"] = m.unsure;
    }
    return j;
}

HandheldMessage messageFromJson(const json& j, Folder folder) {
    HandheldMessage m;
    m.id = wholeNumber<std::uint64_t>(j.at("id"), "id");
    m.record = recordFromJson(j.at("record"));
    m.read = j.value("read", false);
    m.priority = wholeNumber(j, "priority", int{kPriorityNormal});
    if (m.priority < kPriorityHigh || m.priority > kPriorityLow) {
        throw std::runtime_error("message #" + std::to_string(m.id) + " has priority " +
                                 std::to_string(m.priority));
    }
    if (folder == Folder::Inbox) {
        m.deleted = j.value("deleted", false);
        m.desktopRead = j.value("desktopRead", m.read);
        m.desktopPriority = wholeNumber(j, "desktopPriority", m.priority);
    } else {
        m.readReceipt = j.value("readReceipt", false);
        m.deliveryReport = j.value("deliveryReport", false);
        m.unsure = j.value("unsure", false);
        m.desktopRead = m.read;
        m.desktopPriority = m.priority;
    }
    return m;
}

}  // namespace

std::string handheldToJson(const Handheld& handheld) {
    json j = json::object();
    j["format"] = kFormat;
    j["plugin"] = handheld.plugin;
    j["nextId"] = handheld.nextId;
    j["lastSync"] = handheld.lastSync;
    for (Folder folder : {Folder::Inbox, Folder::Outbox, Folder::Filed}) {
        json list = json::array();
        for (const HandheldMessage& m : handheld.messages(folder)) list.push_back(messageToJson(m, folder));
        j[folderName(folder)] = std::move(list);
    }
    return j.dump(2) + "\n";
}

std::optional<std::string> handheldFromJson(const std::string& text, Handheld& handheld) {
    try {
        json j = json::parse(text);
        if (!j.is_object()) return std::string("not a handheld file");
        int format = wholeNumber(j, "format", 0);
        if (format != kFormat) return "unknown handheld file format " + std::to_string(format);
        Handheld parsed;
        parsed.plugin = j.value("plugin", std::string());
        parsed.nextId = wholeNumber(j, "nextId", std::uint64_t{1});
        parsed.lastSync = j.value("lastSync", std::string());
        std::uint64_t highest = 0;
        for (Folder folder : {Folder::Inbox, Folder::Outbox, Folder::Filed}) {
            if (!j.contains(folderName(folder))) continue;
            for (const json& m : j.at(folderName(folder))) {
                HandheldMessage message = messageFromJson(m, folder);
                if (message.id == 0 || parsed.find(message.id)) {
                    return "message number " + std::to_string(message.id) + " is not unique";
                }
                highest = std::max(highest, message.id);
                parsed.messages(folder).push_back(std::move(message));
            }
        }
        // Numbers are never reused, even when the counter was edited by hand.
        parsed.nextId = std::max(parsed.nextId, highest + 1);
        handheld = std::move(parsed);
        return std::nullopt;
    } catch (const json::parse_error& e) {
        // The parser's own wording ("[json.exception...]") means nothing to a person.
        return "it is not a JSON file (the text stops making sense at byte " + std::to_string(e.byte) + ")";
    } catch (const json::exception&) {
        return std::string("a value in it is not of the kind a handheld file holds");
    } catch (const std::exception& e) {
        return std::string(e.what());
    }
}

std::optional<std::string> loadHandheld(const std::string& path, Handheld& handheld) {
    std::string text;
    int err = readFile(path, text);
    if (err == ENOENT) {
        handheld = Handheld();
        return std::nullopt;
    }
    if (err != 0) return "cannot read " + path + ": " + std::strerror(err);
    std::optional<std::string> error = handheldFromJson(text, handheld);
    if (error) return path + " is damaged: " + *error;
    return std::nullopt;
}

std::optional<std::string> saveHandheld(const std::string& path, const Handheld& handheld) {
    int err = makeFolders(folderOf(path));
    if (err == 0) err = replaceFile(path, handheldToJson(handheld));
    if (err != 0) return "cannot write " + path + ": " + std::strerror(err);
    return std::nullopt;
}

}  // namespace conduit
