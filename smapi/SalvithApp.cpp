// The plug-in's single host object, constructed when salvith.so is loaded and destroyed when
// it is unloaded. Its operations live in the Smapi*.cpp files by concern.
#include "SalvithApp.h"

VESK_DECLARE_HOST_APP(CSalvithApp)
