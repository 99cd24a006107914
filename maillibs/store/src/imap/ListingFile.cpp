#include "ListingFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "Flags.h"

namespace vesk::store::detail {
namespace {

std::string pathOf(const std::string& stateDir, const std::string& mailbox) {
    static const char kHex[] = "0123456789abcdef";
    std::string name;
    for (unsigned char c : mailbox) {
        name += kHex[c >> 4];
        name += kHex[c & 15];
    }
    return stateDir + "/vesk-imap-list-" + name;
}

}  // namespace

bool loadListing(const std::string& stateDir, const std::string& mailbox, Listing& out) {
    std::ifstream in(pathOf(stateDir, mailbox));
    if (!in) return false;
    std::string line;
    if (!std::getline(in, line)) return false;
    std::istringstream head(line);
    Listing l;
    if (!(head >> l.validity >> l.highestModSeq >> l.uidNext) || l.validity == 0) return false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        ListedMessage m;
        long long date = 0;
        if (!(fields >> m.uid >> m.flags >> date >> m.size) || m.uid == 0) return false;
        if (m.flags == "-") m.flags.clear();
        if (!validFlagLetters(m.flags)) return false;
        m.date = static_cast<std::time_t>(date);
        l.messages.push_back(std::move(m));
    }
    out = std::move(l);
    return true;
}

void saveListing(const std::string& stateDir, const std::string& mailbox, const Listing& listing) {
    std::string text = std::to_string(listing.validity) + " " + std::to_string(listing.highestModSeq) + " " +
                       std::to_string(listing.uidNext) + "\n";
    for (const ListedMessage& m : listing.messages) {
        text += std::to_string(m.uid) + " " + (m.flags.empty() ? "-" : m.flags) + " " +
                std::to_string(static_cast<long long>(m.date)) + " " + std::to_string(m.size) + "\n";
    }
    std::string path = pathOf(stateDir, mailbox);
    std::string tmp = path + ".new";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) ::unlink(tmp.c_str());
}

}  // namespace vesk::store::detail
