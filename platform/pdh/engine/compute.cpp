#include "platform/pdh/engine/compute.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vantorel::pdh {
namespace {

constexpr std::uint64_t k32 = std::uint64_t{1} << 32;

template <typename Fn>
void forEachField(FieldMask mask, Fn&& fn) {
    for (; mask != 0; mask &= mask - 1) fn(static_cast<unsigned>(std::countr_zero(mask)));
}

double sumOf(const RawRecord& r, FieldMask mask) {
    double sum = 0.0;
    forEachField(mask, [&](unsigned i) { sum += static_cast<double>(r.values[i]); });
    return sum;
}

Computed invalid() { return Computed{PDH_CSTATUS_INVALID_DATA, 0.0}; }

Computed rate(const CounterDef& def, const RawRecord* prev, const RawRecord& cur) {
    if (prev == nullptr) {
        if (std::isnan(cur.start)) return Computed{PDH_NO_DATA, 0.0};
        const double elapsed = cur.time - cur.start;
        if (!(elapsed > 0.0)) return invalid();
        return {PDH_CSTATUS_VALID_DATA, sumOf(cur, def.a) * def.scale / elapsed};
    }
    const double elapsed = cur.time - prev->time;
    if (!(elapsed > 0.0)) return invalid();
    double delta = 0.0;
    bool ok = true;
    forEachField(def.a, [&](unsigned i) {
        std::uint64_t d = 0;
        ok = ok && cumulativeDelta(prev->values[i], cur.values[i], d);
        delta += static_cast<double>(d);
    });
    if (!ok) return invalid();
    return {PDH_CSTATUS_VALID_DATA, delta * def.scale / elapsed};
}

Computed tickShare(const CounterDef& def, const RawRecord* prev, const RawRecord& cur) {
    double part = 0.0;
    double total = 0.0;
    forEachField(def.a | def.b, [&](unsigned i) {
        const std::uint64_t before = prev != nullptr ? prev->values[i] : 0;
        // iowait (and on some kernels idle) can go backwards on a tickless idle cpu.
        const std::uint64_t d = cur.values[i] > before ? cur.values[i] - before : 0;
        if ((def.a & (FieldMask{1} << i)) != 0) part += static_cast<double>(d);
        if ((def.b & (FieldMask{1} << i)) != 0) total += static_cast<double>(d);
    });
    if (total == 0.0) return {PDH_CSTATUS_VALID_DATA, def.stillValue};
    return {PDH_CSTATUS_VALID_DATA, 100.0 * part / total};
}

}  // namespace

bool cumulativeDelta(std::uint64_t before, std::uint64_t now, std::uint64_t& delta) {
    if (now >= before) {
        delta = now - before;
        return true;
    }
    if (before < k32) {
        delta = now + (k32 - before);
        return now < k32;
    }
    delta = 0;
    return false;
}

Computed computeValue(const CounterDef& def, const RawRecord* previous, const RawRecord& current,
                      bool noCap100) {
    if (current.status != PDH_CSTATUS_VALID_DATA) return {current.status, 0.0};
    if (((def.a | def.b) & ~current.valid) != 0) return invalid();
    if (previous != nullptr &&
        (previous->status != PDH_CSTATUS_VALID_DATA || ((def.a | def.b) & ~previous->valid) != 0))
        previous = nullptr;

    Computed c;
    switch (def.kind) {
        case Kind::Gauge: c.value = sumOf(current, def.a) * def.scale; break;
        case Kind::Rate: c = rate(def, previous, current); break;
        case Kind::TickShare: c = tickShare(def, previous, current); break;
        case Kind::Ratio: {
            const double denominator = sumOf(current, def.b);
            c.value = denominator == 0.0 ? 0.0 : 100.0 * sumOf(current, def.a) * def.scale / denominator;
            break;
        }
        case Kind::Elapsed: {
            if (std::isnan(current.start)) return invalid();
            const double elapsed = current.time - current.start;
            c.value = elapsed > 0.0 ? elapsed : 0.0;
            break;
        }
    }
    if (c.cstatus != PDH_CSTATUS_VALID_DATA) return c;
    // A busy share of several disks is their mean, so a _Total keeps 100 as ceiling.
    if (def.ceiling100 && def.kind == Kind::Rate && current.members > 1.0) c.value /= current.members;
    if (def.complement) c.value = 100.0 - c.value;
    if (def.ceiling100) {
        c.value = std::max(c.value, 0.0);
        if (!noCap100) c.value = std::min(c.value, 100.0);
    }
    if (!std::isfinite(c.value)) return invalid();
    return c;
}

DWORD counterType(const CounterDef& def) {
    switch (def.kind) {
        case Kind::Gauge: return 0x00010100;      // PERF_COUNTER_LARGE_RAWCOUNT
        case Kind::Rate: return 0x10410500;       // PERF_COUNTER_BULK_COUNT
        case Kind::TickShare: return 0x20570500;  // PERF_100NSEC_TIMER
        case Kind::Ratio: return 0x20020400;      // PERF_RAW_FRACTION
        case Kind::Elapsed: return 0x30240500;    // PERF_ELAPSED_TIME
    }
    return 0;
}

}  // namespace vantorel::pdh
