// A query: its counters, the sources they need, and collecting them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "pdh/pdh.h"
#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/compute.h"
#include "platform/pdh/engine/machine_sources.h"
#include "platform/pdh/engine/process_sources.h"
#include "platform/pdh/engine/raw_record.h"
#include "platform/pdh/engine/system_reader.h"

namespace vantorel::pdh {

struct Counter {
    const CounterDef* def = nullptr;
    std::string instance;
    DWORD_PTR userData = 0;
    std::shared_ptr<ProcessTracker> tracker;  // Process instances other than _Total
    std::size_t slot = 0;                     // the other instances: index into the query's slots
    RawRecord records[2];    // the latest is records[samples % 2]; a collect overwrites the older
    std::uint64_t samples = 0;  // collects since the counter was added

    const RawRecord& current() const { return records[samples % 2]; }
    const RawRecord& previous() const { return records[(samples + 1) % 2]; }
};

class Query {
public:
    Query(const Roots& roots, SystemReader& reader, const ProcessUnits& units, DWORD_PTR userData);

    // The path must already be resolved to a catalogue entry; the instance is
    // empty for objects without instances.
    Counter& add(const CounterDef& def, std::string instance, DWORD_PTR userData);
    void collect();
    Computed value(const Counter& counter, bool noCap100) const;

    const std::vector<std::unique_ptr<Counter>>& counters() const { return counters_; }

private:
    void planSources();

    // One extraction per distinct instance per collect, shared by its counters.
    struct Slot {
        ObjectId object;
        std::string instance;
        RawRecord record;
    };

    Roots roots_;
    SystemReader& reader_;
    ProcessUnits units_;
    DWORD_PTR userData_;
    MachineSources machine_;
    ProcessScan scan_;
    std::vector<std::unique_ptr<Counter>> counters_;
    std::vector<Slot> slots_;
    std::vector<std::shared_ptr<ProcessTracker>> trackers_;
    std::vector<SourceSet> trackerFiles_;  // per tracker: the files its counters need
    std::vector<const ProcessTracker*> trackerViews_;
    std::vector<std::string> speedInterfaces_;
    SourceSet machineNeeds_ = 0;
    SourceSet scanFiles_ = 0;
    bool scanNeeded_ = false;
    std::string buffer_;
    std::vector<std::string> listing_;
};

}  // namespace vantorel::pdh
