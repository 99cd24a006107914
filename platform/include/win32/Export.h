// Marks the functions a stand-in library offers to other modules; everything else stays hidden.
#pragma once

#define VESK_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
#define VESK_EXTERN_C extern "C"
#else
#define VESK_EXTERN_C
#endif

/// A Win32 function of a stand-in: C linkage, visible to every module of the process.
#define WIN32_API VESK_EXTERN_C VESK_EXPORT
