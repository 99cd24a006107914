// Starting and stopping the library, its capabilities, and the default login.
#include "common/Attributes.h"
#include "common/Closing.h"
#include "common/Handles.h"
#include "common/PostOffice.h"
#include "common/Settings.h"

using namespace vesk::vim32;

extern "C" {

vimStatus VIMAPIENTRY VIMInitialize(void) {
    return guarded([] {
        ++startCount();
        return vimStatus(VIMSTS_SUCCESS);
    });
}

vimStatus VIMAPIENTRY VIMTerminate(void) {
    return guarded([] {
        if (startCount() == 0) return vimStatus(VIMSTS_FAILURE);
        if (--startCount() == 0) closeAll(&onClose);
        return vimStatus(VIMSTS_SUCCESS);
    });
}

vimStatus VIMAPIENTRY VIMQueryCapability(vimSelector selType, vimWord sizeData, vimDataPtr pData) {
    return guarded([&] {
        if (pData == nullptr) return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        if (selType != VIMSEL_VERSION) return vimStatus(VIMSTS_NOT_SUPPORTED);
        if (sizeData < 4) return vimStatus(VIMSTS_BUF_TOO_SMALL);
        vimAttrDesc out{VIMSEL_VERSION, 4, pData};
        putNumber(out, 0, VIM_IMPLEMENTATION_VERSION);
        return vimStatus(VIMSTS_SUCCESS);
    });
}

vimStatus VIMAPIENTRY VIMGetDefaultSessionInfo(vimWord sizePath, vimStringPtr psPathSpec, vimWord sizeName,
                                               vimStringPtr psName) {
    return guarded([&] {
        if (psPathSpec == nullptr || psName == nullptr) return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        std::optional<DefaultLogin> login = defaultLogin();
        if (!login) return vimStatus(VIMSTS_NO_DEFAULT);
        // The path as a person would type it back: absolute, whatever the registry wrote.
        std::string path = login->postOffice;
        if (path.front() != '/') path = resolvePostOfficePath(path);
        if (path.size() + 1 > sizePath || login->user.size() + 1 > sizeName) return vimStatus(VIMSTS_BUF_TOO_SMALL);
        copyText(psPathSpec, sizePath, path);
        copyText(psName, sizeName, login->user);
        return vimStatus(VIMSTS_SUCCESS);
    });
}

}  // extern "C"
