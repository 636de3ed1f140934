// A query: its counters, the instances they read, and collecting them.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "pdh/pdh.h"
#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/compute.h"
#include "platform/pdh/engine/provider.h"
#include "platform/pdh/engine/raw_record.h"
#include "platform/pdh/engine/source_cache.h"
#include "platform/pdh/engine/system_reader.h"

namespace vantorel::pdh {

// One instance of one object, extracted once per collect for all its counters.
struct Slot {
    const Provider* provider = nullptr;
    std::string instance;
    std::unique_ptr<InstanceState> state;
    Needs needs;
    RawRecord records[2];       // the latest is records[samples % 2]
    std::uint64_t samples = 0;  // collects since the slot was made

    Binding binding() const { return Binding{instance, state.get(), needs}; }
    const RawRecord& current() const { return records[samples % 2]; }
    const RawRecord& previous() const { return records[(samples + 1) % 2]; }
};

struct Counter {
    const CounterDef* def = nullptr;
    std::string instance;
    DWORD_PTR userData = 0;
    Slot* slot = nullptr;
    std::uint64_t addedAt = 0;  // the slot's samples when the counter was added

    std::uint64_t samples() const { return slot->samples - addedAt; }
};

class Query {
public:
    Query(const Roots& roots, SystemReader& reader, DWORD_PTR userData);

    // The path must already be resolved to a catalogue entry; the instance is
    // empty for objects without instances.
    Counter& add(const CounterDef& def, std::string instance, DWORD_PTR userData);
    void collect();
    Computed value(const Counter& counter, bool noCap100) const;
    PDH_RAW_COUNTER raw(const Counter& counter) const;

    const std::vector<std::unique_ptr<Counter>>& counters() const { return counters_; }

private:
    void plan();

    Roots roots_;
    SystemReader& reader_;
    DWORD_PTR userData_;
    SourceCache sources_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::unordered_map<std::string, Slot*> slotByKey_;  // object id and instance -> its live slot
    std::vector<std::unique_ptr<Counter>> counters_;
    bool planned_ = true;
};

}  // namespace vantorel::pdh
