// The plug-in's single host object, constructed when dunmere.so is loaded and destroyed when
// it is unloaded. Its operations live in the Mapi*.cpp files by concern.
#include "DunmereApp.h"

VESK_DECLARE_HOST_APP(CDunmereApp)
