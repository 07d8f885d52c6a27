// Process environment and command line.
#pragma once

#include "types.h"
