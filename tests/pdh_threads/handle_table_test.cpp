#include <gtest/gtest.h>

#include "platform/pdh/engine/handle_table.h"

namespace vantorel::pdh {
namespace {

TEST(HandleTable, FreedSlotsAreReusedAndStaleHandlesNeverReachTheNewTarget) {
    GenerationTable<int> table;
    void* first = table.insert(1);
    ASSERT_TRUE(table.erase(first));
    void* second = table.insert(2);
    EXPECT_NE(first, second);
    EXPECT_EQ(table.find(first), nullptr);
    EXPECT_FALSE(table.erase(first));
    ASSERT_NE(table.find(second), nullptr);
    EXPECT_EQ(*table.find(second), 2);
    for (int i = 0; i < 100000; ++i) ASSERT_TRUE(table.erase(table.insert(i)));
    EXPECT_EQ(table.capacity(), 2U);  // "second" and one more: the most alive at once, not the most ever made
}

TEST(HandleTable, ForeignValuesAreRefused) {
    GenerationTable<int> table;
    void* real = table.insert(7);
    const auto bits = reinterpret_cast<std::uintptr_t>(real);
    int local = 0;
    for (const void* h : {static_cast<const void*>(nullptr), static_cast<const void*>(&local),
                          reinterpret_cast<const void*>(bits ^ 0x1), reinterpret_cast<const void*>(bits + 0x10),
                          reinterpret_cast<const void*>(bits + (std::uintptr_t{1} << 36))})
        EXPECT_EQ(table.find(h), nullptr) << h;
}

}  // namespace
}  // namespace vantorel::pdh
