// Optional trace of the runtime search: with CV_LAUNCHER_TRACE=1 in the environment, each
// location tried and why it was passed over goes to standard error, one line each, as
//     launcher: <what>: <detail>
// Off by default; nothing else in the launcher depends on it.
#pragma once

#include <windows.h>

namespace launcher {

void Trace(LPCWSTR what, LPCWSTR detail);

} // namespace launcher
