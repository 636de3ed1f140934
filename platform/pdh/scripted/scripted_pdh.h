// A scripted stand-in for the performance-data functions: a test makes any
// call fail, scripts every value and CStatus, and reads back what was called.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pdh/pdh.h"

namespace vantorel::pdh::scripted {

struct ReadResult {
    PDH_STATUS status = ERROR_SUCCESS;
    DWORD cStatus = PDH_CSTATUS_VALID_DATA;
    LONG value = 0;
    // A failing library may leave the caller's record as it was.
    bool writesValue = true;
};

struct RawResult {
    PDH_STATUS status = ERROR_SUCCESS;
    PDH_RAW_COUNTER value{PDH_CSTATUS_VALID_DATA, {}, 0, 1, 1};
};

struct ScriptedCounter {
    std::string path;
    DWORD_PTR userData = 0;
    PDH_HCOUNTER handle = nullptr;
};

struct Calls {
    int open = 0;
    int add = 0;
    int collect = 0;
    int read = 0;
    int rawRead = 0;
    int close = 0;
    int browse = 0;
};

class Script {
public:
    // The one script the functions follow; reset() before every test.
    static Script& instance();
    void reset();

    PDH_STATUS openStatus = ERROR_SUCCESS;
    // Statuses of the next collects, in order; then collectStatus.
    std::deque<PDH_STATUS> nextCollects;
    PDH_STATUS collectStatus = ERROR_SUCCESS;
    // Decides an add; by default every path is taken.
    std::function<PDH_STATUS(std::string_view path)> add;
    // Decides a read of counter `index` (in the order of adding).
    std::function<ReadResult(std::size_t index, const ScriptedCounter& counter)> read;
    // Decides a raw read of counter `index`; by default 0 / 1, valid.
    std::function<RawResult(std::size_t index, const ScriptedCounter& counter)> rawRead;
    // Runs the browser; by default the user cancels.
    std::function<PDH_STATUS(PDH_BROWSE_DLG_CONFIG_A& config)> browse;
    // Runs inside every collect, after it is counted.
    std::function<void()> onCollect;

    Calls calls;
    std::vector<ScriptedCounter> counters;
    bool queryOpen = false;
    PDH_HQUERY queryHandle() const;
    DWORD_PTR openUserData = 0;
    // The last configuration the browser was given.
    PDH_BROWSE_DLG_CONFIG_A lastBrowseConfig{};
};

// For a browse script: writes `path` as a user's choice would be written.
PDH_STATUS choosePath(PDH_BROWSE_DLG_CONFIG_A& config, std::string_view path);

}  // namespace vantorel::pdh::scripted
