// Windows declares the COM start-up and GUID functions in <objbase.h>;
// the platform layer keeps every declaration in <windows.h>.
#pragma once

#include <windows.h>
