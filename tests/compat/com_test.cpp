// CoInitialize / CoUninitialize counting per thread, and random version-4 GUIDs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <thread>

namespace {

std::string Format(const GUID& g) {
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  unsigned(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                  g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

TEST(Com, InitialiseCountsPerThread) {
    EXPECT_EQ(S_OK, CoInitialize(nullptr));
    EXPECT_EQ(S_FALSE, CoInitialize(nullptr));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));

    // Another thread has its own count.
    HRESULT other = E_FAIL;
    std::thread([&] {
        other = CoInitialize(nullptr);
        CoUninitialize();
    }).join();
    EXPECT_EQ(S_OK, other);

    CoUninitialize();
    EXPECT_EQ(S_FALSE, CoInitialize(nullptr)) << "one initialisation is still open";
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(S_OK, CoInitialize(nullptr)) << "balanced calls start over";
    CoUninitialize();

    // An unbalanced uninitialise must not leave the count below zero.
    CoUninitialize();
    EXPECT_EQ(S_OK, CoInitialize(nullptr));
    CoUninitialize();
}

TEST(Com, GuidsAreRandomVersion4) {
    const std::regex shape("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    unsigned bitsSeen = 0;
    for (int i = 0; i < 200; ++i) {
        GUID g{};
        ASSERT_EQ(S_OK, CoCreateGuid(&g));
        const std::string text = Format(g);
        EXPECT_TRUE(std::regex_match(text, shape)) << text;
        seen.insert(text);
        bitsSeen |= g.Data1;
    }
    EXPECT_EQ(200u, seen.size());
    EXPECT_EQ(0xFFFFFFFFu, bitsSeen) << "every bit of Data1 varies";
}

TEST(Com, CreateGuidRejectsNullAndNeedsNoInitialisation) {
    EXPECT_EQ(E_INVALIDARG, CoCreateGuid(nullptr));
    EXPECT_TRUE(FAILED(E_INVALIDARG));
    HRESULT result = E_FAIL;
    std::thread([&] {
        GUID g{};
        result = CoCreateGuid(&g);
    }).join();
    EXPECT_EQ(S_OK, result);
}

} // namespace
