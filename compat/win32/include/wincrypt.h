// Windows declares the CryptoAPI encoders in <wincrypt.h>;
// the platform layer keeps every declaration in <windows.h>.
#pragma once

#include <windows.h>
