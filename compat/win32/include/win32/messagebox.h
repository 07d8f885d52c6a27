// Message boxes (MessageBoxW).
#pragma once

#include "types.h"
