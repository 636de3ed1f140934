// Several threads calling one library at once: each with its own queries, and
// several on one query while another closes it. Run under ThreadSanitizer by
// `make test-threads`; in the other builds it still catches crashes and wrong
// statuses.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/pdh/engine/library.h"

namespace vantorel::pdh {
namespace {

const std::string kTree = std::string(VANTOREL_FIXTURES) + "/vm-t0";
const char* const kPaths[] = {
    "\\Processor(_Total)\\% Processor Time", "\\Memory\\Available Bytes", "\\Process(_Total)\\Working Set",
    "\\Process(bash:4278)\\% Processor Time", "\\System\\Processes", "\\PhysicalDisk(_Total)\\Disk Reads/sec",
};

TEST(Threads, QueriesOfTheirOwnRunSideBySide) {
    Library lib(kTree, kTree);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 150; ++round) {
                PDH_HQUERY q = nullptr;
                if (lib.openQuery(0, &q) != ERROR_SUCCESS) ++failures;
                std::vector<PDH_HCOUNTER> counters;
                for (const char* path : kPaths) {
                    PDH_HCOUNTER c = nullptr;
                    if (lib.addCounter(q, path, 0, &c) != ERROR_SUCCESS) ++failures;
                    counters.push_back(c);
                }
                if (lib.collect(q) != ERROR_SUCCESS) ++failures;
                for (PDH_HCOUNTER c : counters) {
                    PDH_FMT_COUNTERVALUE v{};
                    if (lib.formattedValue(c, PDH_FMT_DOUBLE, nullptr, &v) != ERROR_SUCCESS) ++failures;
                }
                if (lib.closeQuery(q) != ERROR_SUCCESS) ++failures;
                PDH_FMT_COUNTERVALUE v{};
                if (lib.formattedValue(counters.front(), PDH_FMT_LONG, nullptr, &v) != PDH_INVALID_HANDLE) ++failures;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST(Threads, OneQuerySharedAndClosedUnderfootAnswersOrRefusesNeverBreaks) {
    Library lib(kTree, kTree);
    for (int round = 0; round < 40; ++round) {
        PDH_HQUERY q = nullptr;
        ASSERT_EQ(lib.openQuery(0, &q), ERROR_SUCCESS);
        PDH_HCOUNTER first = nullptr;
        ASSERT_EQ(lib.addCounter(q, kPaths[0], 0, &first), ERROR_SUCCESS);
        std::atomic<bool> closed{false};
        std::atomic<int> wrong{0};
        std::vector<std::thread> users;
        for (int t = 0; t < 3; ++t) {
            users.emplace_back([&, t] {
                for (int i = 0; i < 30; ++i) {
                    const bool wasClosed = closed.load();
                    PDH_HCOUNTER c = nullptr;
                    const PDH_STATUS added = lib.addCounter(q, kPaths[(t + i) % 6], 0, &c);
                    const PDH_STATUS collected = lib.collect(q);
                    PDH_FMT_COUNTERVALUE v{};
                    const PDH_STATUS read = lib.formattedValue(first, PDH_FMT_LONG, nullptr, &v);
                    for (const PDH_STATUS s : {added, collected})
                        if (s != ERROR_SUCCESS && s != PDH_INVALID_HANDLE) ++wrong;
                    if (read != ERROR_SUCCESS && read != PDH_INVALID_HANDLE && read != PDH_INVALID_DATA) ++wrong;
                    if (wasClosed && (added != PDH_INVALID_HANDLE || collected != PDH_INVALID_HANDLE)) ++wrong;
                }
            });
        }
        std::thread closer([&] {
            EXPECT_EQ(lib.closeQuery(q), ERROR_SUCCESS);
            closed = true;
        });
        for (auto& t : users) t.join();
        closer.join();
        EXPECT_EQ(wrong.load(), 0);
        EXPECT_EQ(lib.closeQuery(q), PDH_INVALID_HANDLE);
    }
}

}  // namespace
}  // namespace vantorel::pdh
