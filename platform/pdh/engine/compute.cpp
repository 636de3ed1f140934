#include "platform/pdh/engine/compute.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

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

double signedSumOf(const RawRecord& r, FieldMask mask) {
    double sum = 0.0;
    forEachField(mask, [&](unsigned i) { sum += static_cast<double>(static_cast<std::int64_t>(r.values[i])); });
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

// Events of one kind among events of another (retransmitted among sent
// segments): unlike ticks, a drop is a wrap or a reset, never noise.
Computed eventShare(const CounterDef& def, const RawRecord* prev, const RawRecord& cur) {
    double part = 0.0;
    double total = 0.0;
    bool ok = true;
    forEachField(def.a | def.b, [&](unsigned i) {
        std::uint64_t d = cur.values[i];
        if (prev != nullptr) ok = ok && cumulativeDelta(prev->values[i], cur.values[i], d);
        if ((def.a & (FieldMask{1} << i)) != 0) part += static_cast<double>(d);
        if ((def.b & (FieldMask{1} << i)) != 0) total += static_cast<double>(d);
    });
    if (!ok) return invalid();
    if (total == 0.0) return {PDH_CSTATUS_VALID_DATA, def.stillValue};
    return {PDH_CSTATUS_VALID_DATA, 100.0 * part / total};
}

// Since the source began counting when there is no earlier sample, as iostat's
// first report divides the totals.
Computed deltaRatio(const CounterDef& def, const RawRecord* prev, const RawRecord& cur) {
    double part = 0.0;
    double whole = 0.0;
    bool ok = true;
    forEachField(def.a | def.b, [&](unsigned i) {
        std::uint64_t d = cur.values[i];
        if (prev != nullptr) ok = ok && cumulativeDelta(prev->values[i], cur.values[i], d);
        if ((def.a & (FieldMask{1} << i)) != 0) part += static_cast<double>(d);
        if ((def.b & (FieldMask{1} << i)) != 0) whole += static_cast<double>(d);
    });
    if (!ok) return invalid();
    return {PDH_CSTATUS_VALID_DATA, whole == 0.0 ? 0.0 : part * def.scale / whole};
}

std::uint64_t sumOfWhole(const RawRecord& r, FieldMask mask) {
    std::uint64_t sum = 0;
    forEachField(mask, [&](unsigned i) { sum += r.values[i]; });
    return sum;
}

// A factor to the base unit as whole numbers: value x multiplier / divisor.
struct WholeFactor {
    std::int64_t multiplier = 1;
    std::int64_t divisor = 1;
};

WholeFactor wholeFactor(double factor) {
    if (factor >= 1.0) {
        const double m = std::round(factor);
        if (std::abs(m - factor) <= 1e-9 * factor && m < 9e15) return {static_cast<std::int64_t>(m), 1};
    } else if (factor > 0.0) {
        const double inverse = 1.0 / factor;
        const double d = std::round(inverse);
        if (std::abs(d - inverse) <= 1e-6 * inverse && d < 9e15) return {1, static_cast<std::int64_t>(d)};
    }
    // No whole factor either way: keep six decimals.
    return {static_cast<std::int64_t>(std::llround(factor * 1e6)), 1000000};
}

constexpr std::int64_t kElapsedTicks = 10000000;  // 100 ns, as the time stamp

std::int64_t asLong(std::uint64_t value) {
    return value > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(value);
}

PDH_RAW_COUNTER rawFailure(PDH_STATUS cstatus) {
    PDH_RAW_COUNTER out{};
    out.CStatus = cstatus;
    return out;
}

}  // namespace

PDH_RAW_COUNTER computeRaw(const CounterDef& def, const RawRecord& current, std::int64_t ticksPerSecond) {
    if (current.status != PDH_CSTATUS_VALID_DATA) return rawFailure(current.status);
    if (((def.a | def.b) & ~current.valid) != 0) return rawFailure(PDH_CSTATUS_INVALID_DATA);

    PDH_RAW_COUNTER out{};
    out.CStatus = PDH_CSTATUS_VALID_DATA;
    const auto ticks = static_cast<std::uint64_t>(std::max(current.time, 0.0) * 1e7);
    out.TimeStamp = FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    out.MultiCount = static_cast<DWORD>(std::max(current.members, 1.0));
    const double toBase = unitToBase(def.unit);
    const std::uint64_t a = sumOfWhole(current, def.a);
    switch (def.kind) {
        case Kind::SignedGauge: {
            const WholeFactor f = wholeFactor(def.scale * toBase);
            out.FirstValue = std::llround(signedSumOf(current, def.a)) * f.multiplier;
            out.SecondValue = f.divisor;
            break;
        }
        case Kind::Gauge:
        case Kind::Rate: {
            const WholeFactor f = wholeFactor(def.scale * toBase);
            const std::int64_t value = asLong(a) * f.multiplier;
            // "100 minus": the ceiling in the same whole units.
            out.FirstValue = def.complement ? std::llround(100.0 * toBase * static_cast<double>(f.divisor)) - value : value;
            out.SecondValue = f.divisor;
            break;
        }
        case Kind::TickShare: {
            const std::uint64_t total = sumOfWhole(current, def.b);
            out.FirstValue = asLong(def.complement ? (total > a ? total - a : 0) : a);
            out.SecondValue = ticksPerSecond > 0 ? ticksPerSecond : 100;
            break;
        }
        // A share of events is a ratio of their counts so far: a cumulative
        // ratio, as near as one raw pair comes to it.
        case Kind::EventShare:
        case Kind::Ratio: {
            const std::uint64_t b = sumOfWhole(current, def.b);
            const WholeFactor f = wholeFactor(100.0 * toBase * def.scale);
            out.FirstValue = b == 0 ? 0 : asLong(a) * f.multiplier;
            out.SecondValue = b == 0 ? 1 : asLong(b) * f.divisor;
            break;
        }
        // Whole counts so far, of one over the other: the average since counting began.
        case Kind::DeltaRatio: {
            const std::uint64_t b = sumOfWhole(current, def.b);
            const WholeFactor f = wholeFactor(toBase * def.scale);
            out.FirstValue = b == 0 ? 0 : asLong(a) * f.multiplier;
            out.SecondValue = b == 0 ? 1 : asLong(b) * f.divisor;
            break;
        }
        case Kind::Elapsed: {
            const double elapsed = current.time - current.start;
            out.FirstValue = elapsed > 0.0 ? std::llround(elapsed * kElapsedTicks) : 0;
            out.SecondValue = kElapsedTicks;
            break;
        }
    }
    return out;
}

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
        case Kind::SignedGauge: c.value = signedSumOf(current, def.a) * def.scale; break;
        case Kind::Rate: c = rate(def, previous, current); break;
        case Kind::TickShare: c = tickShare(def, previous, current); break;
        case Kind::EventShare: c = eventShare(def, previous, current); break;
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
        case Kind::DeltaRatio: c = deltaRatio(def, previous, current); break;
    }
    if (c.cstatus != PDH_CSTATUS_VALID_DATA) return c;
    // A busy share of several disks is their mean, so a _Total keeps 100 as ceiling.
    if (def.ceiling100 && def.kind == Kind::Rate && current.members > 1.0) c.value /= current.members;
    if (def.complement) c.value = 100.0 - c.value;
    if (def.ceiling100) {
        c.value = std::max(c.value, 0.0);
        if (!noCap100) c.value = std::min(c.value, 100.0);
    }
    // A share of time that runs past 100 (a process on several processors)
    // still cannot pass them all.
    if (def.unit == Unit::Percent && current.ceiling > 0.0) c.value = std::clamp(c.value, 0.0, current.ceiling);
    if (!std::isfinite(c.value)) return invalid();
    return c;
}

DWORD counterType(const CounterDef& def) {
    switch (def.kind) {
        case Kind::Gauge:
        case Kind::SignedGauge: return 0x00010100;  // PERF_COUNTER_LARGE_RAWCOUNT
        case Kind::Rate: return 0x10410500;       // PERF_COUNTER_BULK_COUNT
        case Kind::TickShare: return 0x20570500;  // PERF_100NSEC_TIMER
        case Kind::Ratio: return 0x20020400;      // PERF_RAW_FRACTION
        case Kind::Elapsed: return 0x30240500;    // PERF_ELAPSED_TIME
        case Kind::EventShare: return 0x20C20400; // PERF_SAMPLE_FRACTION
        case Kind::DeltaRatio: return 0x40020500;  // PERF_AVERAGE_BULK
    }
    return 0;
}

}  // namespace vantorel::pdh
