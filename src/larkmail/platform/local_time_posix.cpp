// The C library's local time: localtime_r, whose result carries its UTC offset.
#include "platform/local_time.h"

namespace SMTPClientNS {

void LocalTimeNow(std::tm& local, long& utcOffsetSeconds) {
    const std::time_t now = std::time(nullptr);
    std::tm fields{};
    if (!localtime_r(&now, &fields))
        return;
    local = fields;
    utcOffsetSeconds = fields.tm_gmtoff;
}

} // namespace SMTPClientNS
