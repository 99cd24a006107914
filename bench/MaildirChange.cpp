#include "MaildirChange.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "FloorProbe.h"

namespace vesk::bench {
namespace {

// The flags a mail reader would leave after touching a message named `name` in cur/.
std::string otherFlags(const std::string& name, std::mt19937& r) {
    std::size_t info = name.find(":2,");
    std::string base = info == std::string::npos ? name : name.substr(0, info);
    std::string flags = info == std::string::npos ? "" : name.substr(info + 3);
    if (r() % 2 == 0 && flags.find('R') == std::string::npos) {
        flags += 'R';  // replied to
    } else if (std::size_t seen = flags.find('S'); seen != std::string::npos) {
        flags.erase(seen, 1);  // marked unread again
    } else {
        flags += 'S';
    }
    std::sort(flags.begin(), flags.end());
    return base + ":2," + flags;
}

std::string failure(const std::string& what, const std::string& path) {
    return "cannot " + what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

MaildirChangeCount changeMaildir(const std::string& maildir, double fraction, unsigned round, MailMix mix) {
    MaildirChangeCount done;
    std::vector<std::string> files = maildirFiles(maildir);
    std::sort(files.begin(), files.end());
    std::mt19937 r(0x5eed0000u + round);
    std::shuffle(files.begin(), files.end(), r);
    std::size_t touched = std::max<std::size_t>(10, static_cast<std::size_t>(files.size() * fraction));
    touched = std::min(touched, files.size());
    std::size_t removals = touched / 10, renames = touched - 2 * removals;

    for (std::size_t i = 0; i < renames; ++i) {
        const std::string& path = files[i];
        std::size_t slash = path.rfind('/');
        std::string folder = path.substr(0, slash), name = path.substr(slash + 1);
        std::string to = folder.size() >= 4 && folder.compare(folder.size() - 4, 4, "/new") == 0
                             ? maildir + "/cur/" + name + ":2,S"
                             : maildir + "/cur/" + otherFlags(name, r);
        if (::rename(path.c_str(), to.c_str()) != 0) {
            done.error = failure("rename", path);
            return done;
        }
        ++done.renamed;
    }
    for (std::size_t i = renames; i < renames + removals; ++i) {
        if (::unlink(files[i].c_str()) != 0) {
            done.error = failure("remove", files[i]);
            return done;
        }
        ++done.removed;
    }
    for (std::size_t i = 0; i < removals; ++i) {
        // Another seed than the generator's, so they are new messages; indexes small enough for
        // dates that fit the records' 32-bit times.
        unsigned index = 150000u + round * 1000u + static_cast<unsigned>(i);
        char name[128];
        std::snprintf(name, sizeof name, "%u.M%uP%u.arrived", 1700000000u + index, round, static_cast<unsigned>(i));
        if (!writeMailFile(maildir, "new", name, mixMessage(mix, index, 7))) {
            done.error = "cannot write a new message into " + maildir + "/new";
            return done;
        }
        ++done.added;
    }
    return done;
}

}  // namespace vesk::bench
