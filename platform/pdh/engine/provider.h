// A performance object as one self-contained provider: its catalogue rows, how it
// lists its instances and how it turns the collected sources into one instance's
// raw record. The engine iterates the registered providers and names none.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/raw_record.h"
#include "platform/pdh/engine/source_cache.h"

namespace vantorel::pdh {

// What the counters of one instance in a query need, unioned over them.
struct Needs {
    FieldMask fields = 0;
    SourceMask sources = 0;

    bool has(auto source) const { return (sources & src(source)) != 0; }
    void add(const CounterDef& def) {
        fields |= def.a | def.b;
        sources |= def.sources;
    }
};

// What a query keeps of one instance between collects (a process's identity,
// a file of its own).
class InstanceState {
public:
    virtual ~InstanceState() = default;
    // Can never see its instance again (the process has gone): a counter added
    // now must start afresh instead of sharing it.
    virtual bool expired() const { return false; }
};

// One instance of one object in a query.
struct Binding {
    std::string_view instance;
    InstanceState* state = nullptr;
    Needs needs;
};

class Provider {
public:
    virtual ~Provider() = default;

    virtual ObjectDef object() const = 0;
    virtual std::span<const CounterDef> counters() const = 0;

    // Current instances, in the order a person reads them (_Total first where
    // there is one). Empty for an object without instances.
    virtual std::vector<std::string> instances(SourceCache& sources) const = 0;

    // The state a query keeps for an instance; null when it needs none.
    virtual std::unique_ptr<InstanceState> bind(std::string_view /*instance*/, const Roots& /*roots*/) const {
        return nullptr;
    }
    // After the query's counters changed: tell shared sources what this
    // instance will ask of them.
    virtual void plan(const Binding& /*binding*/, SourceCache& /*sources*/) const {}
    // First step of a collect, for every instance before any is extracted: read
    // what belongs to the instance alone.
    virtual void collectInstance(const Binding& /*binding*/, SourceCache& /*sources*/) const {}
    // Fills `out`, which arrives with status VALID_DATA and no fields; sets a
    // field only from a value that was read.
    virtual void extract(const Binding& binding, SourceCache& sources, RawRecord& out) const = 0;
};

// Every provider, in the order objects are listed.
std::span<const Provider* const> registeredProviders();

}  // namespace vantorel::pdh
