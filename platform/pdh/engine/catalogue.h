// The catalogue as data: every object and counter the library offers, one table
// entry per counter, gathered from the registered providers. The query engine
// computes a counter from its entry alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "pdh/pdh.h"

namespace vantorel::pdh {

class Provider;

// An object's place in the registry of providers.
using ObjectId = std::uint16_t;

// The raw numbers an object's instance yields on one collect. Each provider
// names its own field indices into RawRecord::values and checks at compile time
// that they fit.
inline constexpr std::size_t kMaxFields = 64;
using FieldMask = std::uint64_t;
constexpr FieldMask bit(auto field) { return FieldMask{1} << static_cast<unsigned>(field); }

// The kernel sources a counter needs, in the bits its provider defines: the
// engine only gathers them per instance and hands them back to the provider.
using SourceMask = std::uint32_t;
inline constexpr std::size_t kMaxSources = 32;
constexpr SourceMask src(auto source) { return SourceMask{1} << static_cast<unsigned>(source); }

enum class Kind : std::uint8_t {
    Gauge,      // scale x sum(a) now
    SignedGauge,  // as Gauge, each field holding a two's-complement signed number (a temperature below zero)
    Rate,       // scale x delta sum(a) / elapsed seconds; a share of time is a rate of busy seconds x 100
    TickShare,  // 100 x delta sum(a) / delta sum(b), per-field negative deltas as 0
    Ratio,      // 100 x sum(a) / sum(b) of gauges; 0 when b is 0
    Elapsed,    // seconds from the instance's start (boot or process start) to now
    EventShare, // 100 x delta sum(a) / delta sum(b) of event counts, under the wrap rule
    DeltaRatio, // scale x delta sum(a) / delta sum(b) of cumulative fields; 0 when b did not move
};

// The unit of a counter's value as computed (after its scale).
enum class Unit : std::uint8_t {
    Percent,
    Bytes,
    Kibibytes,
    Mebibytes,
    Count,
    PerSecond,
    BytesPerSecond,
    KibibytesPerSecond,
    BitsPerSecond,
    Seconds,
    Milliseconds,
    Megahertz,
    Celsius,
    Rpm,
    Millivolts,
    Milliamperes,
    Watts,
    WattHours,
};
std::string_view unitName(Unit unit);
// What one of the unit is in its base unit (bytes, seconds, a 0..1 ratio, a
// count, hertz): 0.01 for a percent, 2^20 for a MiB.
double unitToBase(Unit unit);

struct CounterDef {
    std::string_view name;
    std::string_view description;
    DWORD detailLevel;
    Kind kind;
    SourceMask sources;
    FieldMask a;
    FieldMask b = 0;
    double scale = 1.0;
    Unit unit = Unit::Count;
    bool ceiling100 = false;    // 100 is the true ceiling: clamp to 0..100
    bool complement = false;    // value is 100 minus the computation
    double stillValue = 0.0;    // TickShare or EventShare whose total did not move
    ObjectId object = 0;        // set when the catalogue gathers the providers' rows
};

struct ObjectDef {
    std::string_view name;
    std::string_view description;
    bool hasInstances = false;
    // What an instance is, in one lower-case word (cpu, device, interface,
    // mountpoint, cgroup, process, ...): the label an exporter gives it.
    std::string_view instanceLabel = "instance";
    // Instances come and go by the hundred (processes): left out of an export
    // unless asked for by name.
    bool manyInstances = false;
    ObjectId id = 0;  // set when the catalogue gathers the providers
};

std::span<const ObjectDef> objectCatalogue();
std::span<const CounterDef> counterCatalogue();

// Case-insensitive lookups; null when unknown.
const ObjectDef* findObject(std::string_view name);
const CounterDef* findCounter(const ObjectDef& object, std::string_view name);
const ObjectDef& objectDef(ObjectId id);
const Provider& providerOf(ObjectId id);

// The name of the instance that sums the others, where an object has one.
inline constexpr std::string_view kTotal = "_Total";

}  // namespace vantorel::pdh
