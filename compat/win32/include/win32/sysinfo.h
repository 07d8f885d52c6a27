// Computer name and local time.
#pragma once

#include "types.h"

typedef enum _COMPUTER_NAME_FORMAT {
    ComputerNameNetBIOS,
    ComputerNameDnsHostname,
    ComputerNameDnsDomain,
    ComputerNameDnsFullyQualified,
    ComputerNamePhysicalNetBIOS,
    ComputerNamePhysicalDnsHostname,
    ComputerNamePhysicalDnsDomain,
    ComputerNamePhysicalDnsFullyQualified,
    ComputerNameMax
} COMPUTER_NAME_FORMAT;

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *PSYSTEMTIME, *LPSYSTEMTIME;

// Windows behaviour reproduced for ComputerNameNetBIOS: *size is the buffer size in characters
// including the terminator. When the name and its terminator fit, the call copies them, sets
// *size to the length without terminator and returns TRUE. Otherwise (a null buffer included)
// it returns FALSE with ERROR_MORE_DATA and sets *size to the length including the terminator.
// A null size pointer gives FALSE with ERROR_INVALID_PARAMETER.
// Differences: the NetBIOS name is the host name (its first label when the system reports a
// dotted name) in upper case, cut to 15 characters. Every other format fails with
// ERROR_INVALID_PARAMETER.
WIN32_API BOOL WINAPI GetComputerNameExA(COMPUTER_NAME_FORMAT format, LPSTR buffer, LPDWORD size);

// Windows behaviour reproduced: the current local date and time, wMonth 1 to 12, wDayOfWeek 0
// (Sunday) to 6, with milliseconds. The local time zone is the C library's (TZ).
WIN32_API void WINAPI GetLocalTime(LPSYSTEMTIME time);
