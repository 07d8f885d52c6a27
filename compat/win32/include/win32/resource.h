// String resources (LoadStringW).
#pragma once

#include "types.h"
