// StringListBuilder: entries in order, the list handed over once.
#include "transfer/string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using SMTPClientNS::StringListBuilder;

std::vector<std::string> Entries(const curl_slist* list) {
    std::vector<std::string> entries;
    for (; list; list = list->next)
        entries.push_back(list->data);
    return entries;
}

TEST(StringListBuilder, KeepsEntriesInOrderAndHandsTheListOverOnce) {
    for (size_t count : {0, 1, 2, 4000}) {
        SCOPED_TRACE(count);
        StringListBuilder builder;
        std::vector<std::string> expected;
        for (size_t i = 0; i < count; ++i) {
            expected.push_back("rcpt" + std::to_string(i) + "@example.org");
            ASSERT_TRUE(builder.Append(expected.back().c_str()));
        }
        curl_slist* list = builder.Release();
        EXPECT_EQ(expected, Entries(list));
        EXPECT_EQ(nullptr, builder.Release());
        // Appending after the hand-over starts a new list.
        ASSERT_TRUE(builder.Append("again"));
        curl_slist* again = builder.Release();
        EXPECT_EQ(std::vector<std::string>{"again"}, Entries(again));
        curl_slist_free_all(again);
        curl_slist_free_all(list);
    }
}

} // namespace
