// The plug-in's single host object, constructed when orvek.so is loaded and destroyed when it
// is unloaded. Its operations live in the Vim*.cpp files by concern.
#include "OrvekApp.h"

VESK_DECLARE_HOST_APP(COrvekApp)
