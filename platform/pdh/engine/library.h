// The library's C++ face: queries and counters behind validated handles, over
// /proc and /sys trees whose roots are given (default the live "/").
//
// Threads: every call may come from any thread. Calls on different queries run
// side by side; calls on one query (its counters included) are serialised.
// A handle closed by one thread is refused to the others from then on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pdh/pdh.h"
#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {

class Query;
struct Counter;

class Library {
public:
    // Without a reader: the live system's, or one for a captured tree when a
    // root is not "/".
    explicit Library(std::string procRoot = "/", std::string sysRoot = "/",
                     std::shared_ptr<SystemReader> reader = nullptr);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    PDH_STATUS openQuery(DWORD_PTR userData, PDH_HQUERY* query);
    PDH_STATUS addCounter(PDH_HQUERY query, const char* path, DWORD_PTR userData, PDH_HCOUNTER* counter);
    PDH_STATUS collect(PDH_HQUERY query);
    // Before its first collect a counter reads CStatus PDH_NO_DATA; any read whose
    // CStatus is not good returns PDH_INVALID_DATA.
    PDH_STATUS formattedValue(PDH_HCOUNTER counter, DWORD format, DWORD* type, PDH_FMT_COUNTERVALUE* value);
    // The latest collect's raw value (see PDH_RAW_COUNTER), with the same
    // statuses as formattedValue.
    PDH_STATUS rawValue(PDH_HCOUNTER counter, DWORD* type, PDH_RAW_COUNTER* value);
    PDH_STATUS closeQuery(PDH_HQUERY query);

    // Objects, counters (with descriptions and detail levels) and the instances
    // that exist now, read afresh on each call.
    const Enumeration& enumeration() const;

private:
    struct LiveQuery;
    struct Entry;
    class Handles;

    // What a handle names now, copied under the table's lock; empty when the
    // handle is not a live one of that kind.
    Entry resolve(const void* handle, bool counter) const;

    std::string procRoot_;
    std::string sysRoot_;
    std::shared_ptr<SystemReader> reader_;
    std::unique_ptr<Handles> handles_;
    std::unique_ptr<Enumeration> enumeration_;
};

// The process-wide library over the live system, for the C functions.
Library& defaultLibrary();

// For the messages of the command-line tool: "PDH_INVALID_HANDLE" and a sentence.
const char* statusName(PDH_STATUS status);
const char* statusMeaning(PDH_STATUS status);

}  // namespace vantorel::pdh
