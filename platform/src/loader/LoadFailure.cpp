#include "loader/LoadFailure.h"

#include <elf.h>
#include <link.h>

#include <cstring>
#include <fstream>

#include "win32/Module.h"

namespace vesk::loader {
namespace {

#if defined(__x86_64__)
constexpr int kMachine = EM_X86_64;
#elif defined(__i386__)
constexpr int kMachine = EM_386;
#elif defined(__aarch64__)
constexpr int kMachine = EM_AARCH64;
#else
constexpr int kMachine = -1;  // unknown here: leave the machine check to dlopen
#endif

bool isLibraryForThisMachine(const std::string& path) {
    ElfW(Ehdr) header;
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(&header), sizeof header)) return false;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) return false;
    const int wantedClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    if (header.e_ident[EI_CLASS] != wantedClass) return false;
    if (header.e_type != ET_DYN) return false;
    return kMachine < 0 || header.e_machine == kMachine;
}

}  // namespace

DWORD loadFailureCode(const std::string& path, const char* reason) {
    if (!path.empty() && !isLibraryForThisMachine(path)) return ERROR_BAD_EXE_FORMAT;
    if (reason != nullptr && std::strstr(reason, "undefined symbol") != nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    return ERROR_MOD_NOT_FOUND;
}

}  // namespace vesk::loader
