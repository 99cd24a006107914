// maildir-gen: writes a large synthetic Maildir for benchmarks.
//   maildir-gen <folder> <count> [seed]
// e.g. "maildir-gen /tmp/mail-10k 10000" or "maildir-gen /tmp/mail-100k 100000".
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SyntheticMail.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s <folder> <count> [seed]\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    unsigned long count = std::strtoul(argv[2], &end, 10);
    if (*end != '\0' || count == 0) {
        std::fprintf(stderr, "%s: count must be a positive number\n", argv[0]);
        return 2;
    }
    unsigned seed = argc == 4 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1;
    if (!vesk::bench::writeSyntheticMaildir(argv[1], static_cast<unsigned>(count), seed)) return 1;
    std::printf("%lu messages written to %s\n", count, argv[1]);
    return 0;
}
