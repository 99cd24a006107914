// The MIME library registers its object types with the type system of the process, which is
// never unloaded. If it were unloaded with this module and loaded again, it would register
// the same types a second time and fail. So this module keeps it loaded for good.
#include <dlfcn.h>

extern "C" void g_mime_init(void);

namespace {

struct PinMimeLibrary {
    PinMimeLibrary() {
        Dl_info info{};
        if (::dladdr(reinterpret_cast<void*>(&g_mime_init), &info) != 0 && info.dli_fname != nullptr) {
            // RTLD_NOLOAD: only marks the library that is already there as never to unload.
            ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
    }
};

const PinMimeLibrary pin;

}  // namespace
