// maildir-gen: writes a large synthetic Maildir for benchmarks.
//   maildir-gen [--mix] <folder> <count> [seed]
// e.g. "maildir-gen /tmp/mail-10k 10000" or "maildir-gen --mix /tmp/mix-10k 10000".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SyntheticMail.h"

int main(int argc, char** argv) {
    vesk::bench::MailMix mix = vesk::bench::MailMix::Synthetic;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--mix") == 0) {
        mix = vesk::bench::MailMix::RealWorld;
        first = 2;
    }
    int given = argc - first;
    if (given < 2 || given > 3) {
        std::fprintf(stderr, "usage: %s [--mix] <folder> <count> [seed]\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    unsigned long count = std::strtoul(argv[first + 1], &end, 10);
    if (*end != '\0' || count == 0) {
        std::fprintf(stderr, "%s: count must be a positive number\n", argv[0]);
        return 2;
    }
    unsigned seed = given == 3 ? static_cast<unsigned>(std::strtoul(argv[first + 2], nullptr, 10)) : 1;
    if (!vesk::bench::writeSyntheticMaildir(argv[first], static_cast<unsigned>(count), seed, mix)) return 1;
    std::printf("%lu messages written to %s\n", count, argv[first]);
    return 0;
}
