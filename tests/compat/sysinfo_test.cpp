// GetComputerNameExA (NetBIOS name, Windows size conventions) and GetLocalTime.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

namespace {

std::string ExpectedNetBiosName() {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::string name(host);
    name = name.substr(0, name.find('.')).substr(0, 15);
    for (char& c : name)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

TEST(ComputerName, NetBiosNameWithWindowsSizeConventions) {
    const std::string expected = ExpectedNetBiosName();
    ASSERT_FALSE(expected.empty());

    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    DWORD size = sizeof buffer;
    ASSERT_TRUE(GetComputerNameExA(ComputerNameNetBIOS, buffer, &size));
    EXPECT_EQ(expected, std::string(buffer));
    EXPECT_EQ(expected.size(), size) << "success reports the length without terminator";
    EXPECT_LE(size, 15u);

    // Exactly the name's length leaves no room for the terminator.
    size = DWORD(expected.size());
    SetLastError(0);
    EXPECT_FALSE(GetComputerNameExA(ComputerNameNetBIOS, buffer, &size));
    EXPECT_EQ(DWORD(ERROR_MORE_DATA), GetLastError());
    EXPECT_EQ(expected.size() + 1, size) << "failure reports the size with terminator";

    size = 0;
    EXPECT_FALSE(GetComputerNameExA(ComputerNameNetBIOS, nullptr, &size));
    EXPECT_EQ(DWORD(ERROR_MORE_DATA), GetLastError());
    EXPECT_EQ(expected.size() + 1, size);

    // A buffer of exactly the size asked for works.
    std::string exact(size, 'x');
    ASSERT_TRUE(GetComputerNameExA(ComputerNameNetBIOS, exact.data(), &size));
    EXPECT_EQ(expected, exact.c_str());

    EXPECT_FALSE(GetComputerNameExA(ComputerNameNetBIOS, buffer, nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
}

// Sets TZ for one test and restores it afterwards.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            hadOld_ = true;
            old_ = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (hadOld_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool hadOld_ = false;
    std::string old_;
};

TEST(LocalTime, FollowsTheLocalTimeZone) {
    // Five hours east of UTC, no daylight saving time.
    ScopedTimeZone zone("XYZ-5");
    // The bounds come from the clock GetLocalTime reads: time() may lag it by a tick, and then
    // by a second across a second's boundary.
    const auto now = [] {
        timespec clock{};
        clock_gettime(CLOCK_REALTIME, &clock);
        return clock.tv_sec;
    };
    const time_t before = now();
    SYSTEMTIME st{};
    GetLocalTime(&st);
    const time_t after = now();

    tm fields{};
    fields.tm_year = st.wYear - 1900;
    fields.tm_mon = st.wMonth - 1;
    fields.tm_mday = st.wDay;
    fields.tm_hour = st.wHour;
    fields.tm_min = st.wMinute;
    fields.tm_sec = st.wSecond;
    const time_t asUtc = timegm(&fields);
    const time_t utc = asUtc - 5 * 3600;
    EXPECT_GE(utc, before);
    EXPECT_LE(utc, after);

    EXPECT_GE(st.wMonth, 1);
    EXPECT_LE(st.wMonth, 12);
    EXPECT_LT(st.wMilliseconds, 1000);
    EXPECT_EQ(fields.tm_wday, st.wDayOfWeek) << "day of week matches the date (0 = Sunday)";
}

} // namespace
