// The C runtime's local time: localtime_s; the offset is that local time read as UTC minus
// the time itself.
#include "platform/local_time.h"

namespace SMTPClientNS {

void LocalTimeNow(std::tm& local, long& utcOffsetSeconds) {
    const std::time_t now = std::time(nullptr);
    std::tm fields{};
    if (localtime_s(&fields, &now) != 0)
        return;
    std::tm asUtc = fields; // _mkgmtime normalises what it is given
    const std::time_t shifted = _mkgmtime(&asUtc);
    if (shifted == std::time_t(-1))
        return;
    local = fields;
    utcOffsetSeconds = long(shifted - now);
}

} // namespace SMTPClientNS
