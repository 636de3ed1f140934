// The library's C++ face: queries and counters behind validated handles, over
// /proc and /sys trees whose roots are given (default the live "/").
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "pdh/pdh.h"
#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {

class Query;
struct Counter;

class Library {
public:
    explicit Library(std::string procRoot = "/", std::string sysRoot = "/",
                     std::shared_ptr<SystemReader> reader = nullptr /* POSIX */);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    PDH_STATUS openQuery(DWORD_PTR userData, PDH_HQUERY* query);
    PDH_STATUS addCounter(PDH_HQUERY query, const char* path, DWORD_PTR userData, PDH_HCOUNTER* counter);
    PDH_STATUS collect(PDH_HQUERY query);
    // Before its first collect a counter reads CStatus PDH_NO_DATA; any read whose
    // CStatus is not good returns PDH_INVALID_DATA.
    PDH_STATUS formattedValue(PDH_HCOUNTER counter, DWORD format, DWORD* type, PDH_FMT_COUNTERVALUE* value);
    PDH_STATUS closeQuery(PDH_HQUERY query);

    // Objects, counters (with descriptions and detail levels) and the instances
    // that exist now, read afresh on each call.
    const Enumeration& enumeration() const;

private:
    struct CounterEntry {
        Query* query = nullptr;
        Counter* counter = nullptr;
    };

    Query* findQuery(PDH_HQUERY handle);
    void* nextHandle();

    std::string procRoot_;
    std::string sysRoot_;
    std::shared_ptr<SystemReader> reader_;
    std::unordered_map<std::uintptr_t, std::unique_ptr<Query>> queries_;
    std::unordered_map<std::uintptr_t, CounterEntry> counters_;
    std::uintptr_t lastHandle_ = 0;
    std::unique_ptr<Enumeration> enumeration_;
};

// The process-wide library over the live system, for the C functions.
Library& defaultLibrary();

// For the messages of the command-line tool: "PDH_INVALID_HANDLE" and a sentence.
const char* statusName(PDH_STATUS status);
const char* statusMeaning(PDH_STATUS status);

}  // namespace vantorel::pdh
