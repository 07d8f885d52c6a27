// The library's two entry points.
#include <larkmail/larkmail.h>
