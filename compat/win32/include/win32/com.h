// COM initialisation and GUID creation.
#pragma once

#include "types.h"
