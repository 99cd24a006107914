// Win32 type names used across the plug-ins and the stand-ins.
//
// Handles are opaque pointers as in a STRICT Windows build, so a window can never be passed
// where a module is expected. Integer types keep their Windows widths: ULONG and DWORD are
// 32 bits on every target, ULONG_PTR and LHANDLE follow the pointer size.
#pragma once

#include <stdint.h>

#define VESK_DECLARE_HANDLE(name) typedef struct name##__* name

VESK_DECLARE_HANDLE(HWND);
VESK_DECLARE_HANDLE(HINSTANCE);
VESK_DECLARE_HANDLE(HKEY);
VESK_DECLARE_HANDLE(HFONT);
VESK_DECLARE_HANDLE(HDC);
VESK_DECLARE_HANDLE(HBITMAP);
VESK_DECLARE_HANDLE(HICON);
VESK_DECLARE_HANDLE(HCURSOR);
VESK_DECLARE_HANDLE(HGDIOBJ_);
typedef HINSTANCE HMODULE;
typedef void* HGDIOBJ;
typedef void* HANDLE;

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t UINT;
typedef int32_t HRESULT;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef ULONG_PTR LHANDLE;
typedef ULONG FLAGS;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef ULONG_PTR DWORD_PTR;
typedef DWORD REGSAM;
typedef LONG LSTATUS;
typedef intptr_t (*FARPROC)(void);

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Calling conventions mean nothing on the targets we build for; the names stay so that
// declarations read as they do on Windows.
#define WINAPI
#define CALLBACK
#define APIENTRY

#define MAKEINTRESOURCEA(i) ((LPSTR)(ULONG_PTR)(WORD)(i))
#define IS_INTRESOURCE(p) ((((ULONG_PTR)(p)) >> 16) == 0)
