// The local time now and its distance from UTC, as the platform tells them.
#pragma once

#include <ctime>

namespace SMTPClientNS {

// Fills local with the local calendar time now and utcOffsetSeconds with its distance east of
// UTC in seconds, daylight saving time included. When the platform cannot tell, both keep
// what they held.
void LocalTimeNow(std::tm& local, long& utcOffsetSeconds);

} // namespace SMTPClientNS
