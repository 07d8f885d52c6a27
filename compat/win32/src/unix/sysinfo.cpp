// Computer name (from the host name) and local time (from the C library's time zone).
#include <windows.h>

#include <cctype>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

namespace {

constexpr size_t kNetBiosNameLength = 15;

std::string NetBiosName() {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0)
        return std::string();
    std::string name(host, strnlen(host, sizeof host));
    name = name.substr(0, name.find('.'));
    if (name.size() > kNetBiosNameLength)
        name.resize(kNetBiosNameLength);
    for (char& c : name)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

} // namespace

BOOL WINAPI GetComputerNameExA(COMPUTER_NAME_FORMAT format, LPSTR buffer, LPDWORD size) {
    if (!size || format != ComputerNameNetBIOS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string name = NetBiosName();
    const DWORD needed = DWORD(name.size() + 1);
    if (!buffer || *size < needed) {
        *size = needed;
        SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *size = needed - 1;
    return TRUE;
}

void WINAPI GetLocalTime(LPSYSTEMTIME time) {
    if (!time)
        return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    const time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    time->wYear = WORD(local.tm_year + 1900);
    time->wMonth = WORD(local.tm_mon + 1);
    time->wDayOfWeek = WORD(local.tm_wday);
    time->wDay = WORD(local.tm_mday);
    time->wHour = WORD(local.tm_hour);
    time->wMinute = WORD(local.tm_min);
    // A leap second (60) is folded into 59: Windows never reports one.
    time->wSecond = WORD(local.tm_sec > 59 ? 59 : local.tm_sec);
    time->wMilliseconds = WORD(now.tv_nsec / 1000000);
}
