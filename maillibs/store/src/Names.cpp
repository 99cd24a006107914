#include "Names.h"

#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "store/Store.h"

namespace vesk::store {

bool isValidId(std::string_view id) {
    if (id.empty() || id.size() > 255 || id.front() == '.') return false;
    for (char c : id) {
        if (c == '/' || c == ':' || c == '\0') return false;
    }
    return true;
}

std::uint64_t keyOfId(std::string_view id) {
    // FNV-1a: stable across processes and builds, which the key must be.
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (char c : id) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h == 0 ? 1 : h;
}

}  // namespace vesk::store

namespace vesk::store::detail {

SplitName splitFileName(std::string_view fileName) {
    SplitName out;
    std::size_t colon = fileName.find(':');
    out.id = fileName.substr(0, colon);
    if (colon == std::string_view::npos) return out;
    out.info = fileName.substr(colon + 1);
    if (out.info.size() >= 2 && out.info[0] == '2' && out.info[1] == ',') out.flags = out.info.substr(2);
    return out;
}

std::string curName(std::string_view id, std::string_view flags) {
    std::string name(id);
    name += ":2,";
    name += flags;
    return name;
}

std::string uniqueId(std::time_t sec, long usec) {
    static std::atomic<unsigned long> counter{0};
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') std::snprintf(host, sizeof host, "localhost");
    std::string safeHost;
    for (const char* p = host; *p; ++p) {
        if (*p == '/') safeHost += "\\057";
        else if (*p == ':') safeHost += "\\072";
        else safeHost += *p;
    }
    unsigned long long random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random))
        random = static_cast<unsigned long long>(usec) * 2654435761ull ^ static_cast<unsigned long long>(::getpid());
    char buf[128];
    std::snprintf(buf, sizeof buf, "%lld.M%06ldP%dQ%luR%016llx.", static_cast<long long>(sec), usec,
                  static_cast<int>(::getpid()), ++counter, random);
    return buf + safeHost;
}

bool deliveryTimeOf(std::string_view id, std::time_t& sec, long& usec) {
    std::size_t i = 0;
    long long s = 0;
    while (i < id.size() && id[i] >= '0' && id[i] <= '9' && i < 12) s = s * 10 + (id[i++] - '0');
    if (i == 0 || (i < id.size() && id[i] != '.')) return false;
    sec = static_cast<std::time_t>(s);
    usec = 0;
    if (i + 2 < id.size() && id[i + 1] == 'M') {
        long u = 0;
        std::size_t j = i + 2, start = j;
        while (j < id.size() && id[j] >= '0' && id[j] <= '9' && j - start < 6) u = u * 10 + (id[j++] - '0');
        if (j > start) usec = u;
    }
    return true;
}

}  // namespace vesk::store::detail
