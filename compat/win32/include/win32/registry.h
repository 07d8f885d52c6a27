// Read-only registry (HKEY_LOCAL_MACHINE) backed by a registry export file.
#pragma once

#include "types.h"
