// Computer name and local time.
#pragma once

#include "types.h"
