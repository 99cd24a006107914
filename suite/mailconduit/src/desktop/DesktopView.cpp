#include "desktop/DesktopView.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <iomanip>

#include "display/Display.h"
#include "desktop/FileIo.h"
#include "sync/Record.h"
#include "host/ResultCodes.h"

namespace conduit {

namespace {

constexpr const char* kHomeToken = "@VESK_HOME@";

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The first header line named `name` (without folded continuation), or "".
std::string headerLine(const std::string& message, const std::string& name) {
    size_t pos = 0;
    while (pos < message.size()) {
        size_t end = message.find('\n', pos);
        if (end == std::string::npos) end = message.size();
        std::string line = message.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) break;  // end of the header
        if (line.size() > name.size() && strncasecmp(line.c_str(), name.c_str(), name.size()) == 0 &&
            line[name.size()] == ':') {
            return line.substr(name.size() + 1 + (line.size() > name.size() + 1 && line[name.size() + 1] == ' '));
        }
        pos = end + 1;
    }
    return "";
}

}  // namespace

int printDesktopMailbox(std::ostream& out, const PluginExports& plugin, const std::string& configFile) {
    int rc = plugin.Initialize();
    if (rc == MAILHOST_OK) {
        rc = plugin.Logon(1, configFile.c_str());
        if (rc == MAILHOST_OK) {
            MailMsg** records = nullptr;
            int count = 0;
            rc = plugin.GetAllMsgs(&records, &count, 1);
            if (rc == MAILHOST_OK) {
                out << "  " << count << " message" << (count == 1 ? "" : "s") << " in the desktop mailbox:\n";
            }
            for (int i = 0; records && i < count; ++i) {
                if (!records[i]) continue;
                RecordFields r = fieldsFromRecord(*records[i]);
                out << "    " << (desktopReadOf(r) ? ' ' : '*')
                    << (desktopPriorityOf(r) == 0 ? '!' : desktopPriorityOf(r) == 2 ? '-' : ' ') << " "
                    << std::left << std::setw(17) << formatTime(r.timeReceived ? r.timeReceived : r.timeSent)
                    << std::right << " " << shown(r.from.substr(0, 34)) << "  |  " << shown(r.subject) << "\n";
            }
            if (records) plugin.FreeMailMsg(records, count);
            plugin.Logoff();
        }
    }
    plugin.Uninitialize();
    if (rc != MAILHOST_OK) out << "  the desktop mailbox could not be listed: " << describeResult(rc) << "\n";
    return rc;
}

int printCapturedMail(std::ostream& out, const std::string& folder) {
    std::vector<std::string> files = listFiles(folder);
    if (files.empty()) {
        out << "  no mail left the desktop\n";
        return 0;
    }
    out << "  " << files.size() << " message" << (files.size() == 1 ? "" : "s")
        << " handed to sendmail (captured in " << folder << "):\n";
    for (const std::string& file : files) {
        std::string bytes;
        readFile(folder + "/" + file, bytes);
        out << "    " << file << "  To: " << headerLine(bytes, "To") << "  |  Subject: " << headerLine(bytes, "Subject")
            << "\n";
    }
    return static_cast<int>(files.size());
}

std::optional<std::string> prepareDesktop(const std::string& home) {
    // Gather first: creating folders while walking the tree would disturb the walk.
    std::vector<std::string> mailFolders;
    std::error_code ec;
    for (std::filesystem::recursive_directory_iterator it(home, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if ((name == "cur" || name == "new") && it->is_directory(ec)) {
            mailFolders.push_back(it->path().parent_path().string());
        }
    }
    for (const std::string& mailFolder : mailFolders) {
        for (const char* sub : {"/cur", "/new", "/tmp"}) {
            if (int err = makeFolders(mailFolder + sub)) {
                return "cannot create " + mailFolder + sub + ": " + std::strerror(err);
            }
        }
    }
    for (const std::string& file : listFiles(home)) {
        if (!endsWith(file, ".reg") && !endsWith(file, ".ini")) continue;
        std::string path = home + "/" + file;
        std::string text;
        if (int err = readFile(path, text)) return "cannot read " + path + ": " + std::strerror(err);
        size_t pos = 0;
        bool changed = false;
        while ((pos = text.find(kHomeToken, pos)) != std::string::npos) {
            text.replace(pos, std::strlen(kHomeToken), home);
            pos += home.size();
            changed = true;
        }
        if (changed) {
            if (int err = replaceFile(path, text)) return "cannot write " + path + ": " + std::strerror(err);
        }
    }
    return std::nullopt;
}

}  // namespace conduit
