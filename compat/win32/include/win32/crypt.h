// CryptoAPI base64 encoding (CryptBinaryToStringA).
#pragma once

#include "types.h"
