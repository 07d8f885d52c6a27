// COM initialisation and GUID creation.
#pragma once

#include "types.h"

#define S_OK ((HRESULT)0L)
#define S_FALSE ((HRESULT)1L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_INVALIDARG ((HRESULT)0x80070057L)

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;

// Windows behaviour reproduced: the first call on a thread returns S_OK, every further call on
// the same thread S_FALSE; each of them must be balanced by one CoUninitialize.
// Differences: there is no apartment or COM runtime behind it, only the per-thread count; the
// reserved argument is ignored.
WIN32_API HRESULT WINAPI CoInitialize(LPVOID reserved);

// Windows behaviour reproduced: undoes one CoInitialize of the calling thread; a call without
// a matching CoInitialize does nothing.
WIN32_API void WINAPI CoUninitialize(void);

// Windows behaviour reproduced: fills *guid with a new random GUID (version 4, RFC 4122
// variant), whether or not COM is initialised; S_OK on success, E_INVALIDARG for a null
// pointer. The bits come from the kernel's random source (getrandom); E_FAIL when it fails.
WIN32_API HRESULT WINAPI CoCreateGuid(GUID* guid);
