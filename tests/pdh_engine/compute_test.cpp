#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/objects/memory.h"
#include "platform/pdh/objects/network_interface.h"
#include "platform/pdh/objects/paging_file.h"
#include "platform/pdh/objects/physical_disk.h"
#include "platform/pdh/objects/process.h"
#include "platform/pdh/engine/compute.h"
#include "platform/pdh/engine/formatting.h"

namespace vantorel::pdh {
namespace {

TEST(Formatting, WholeNumbersRoundHalfAwayFromZero) {
    const struct {
        double in;
        LONG out;
    } cases[] = {{0.9, 1}, {0.5, 1}, {0.49, 0}, {-0.5, -1}, {-0.49, 0}, {2.5, 3}, {-2.5, -3}, {99.5, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        PDH_FMT_COUNTERVALUE v{};
        EXPECT_EQ(formatValue(c.in, PDH_FMT_LONG, v), PDH_CSTATUS_VALID_DATA);
        EXPECT_EQ(v.longValue, c.out);
        EXPECT_EQ(formatValue(c.in, PDH_FMT_LARGE, v), PDH_CSTATUS_VALID_DATA);
        EXPECT_EQ(v.largeValue, c.out);
    }
}

TEST(Formatting, OutOfRangeSaturatesAndIsInvalid) {
    PDH_FMT_COUNTERVALUE v{};
    EXPECT_EQ(formatValue(2147483647.4, PDH_FMT_LONG, v), PDH_CSTATUS_VALID_DATA);
    EXPECT_EQ(v.longValue, std::numeric_limits<LONG>::max());
    EXPECT_EQ(formatValue(2147483647.5, PDH_FMT_LONG, v), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(v.longValue, std::numeric_limits<LONG>::max());
    EXPECT_EQ(formatValue(-3e9, PDH_FMT_LONG, v), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(v.longValue, std::numeric_limits<LONG>::min());
    EXPECT_EQ(formatValue(5e9, PDH_FMT_LARGE, v), PDH_CSTATUS_VALID_DATA);
    EXPECT_EQ(v.largeValue, 5000000000);
    EXPECT_EQ(formatValue(9.3e18, PDH_FMT_LARGE, v), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(v.largeValue, std::numeric_limits<LONGLONG>::max());
    EXPECT_EQ(formatValue(std::nan(""), PDH_FMT_DOUBLE, v), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(v.largeValue, 0);
}

TEST(Formatting, AcceptsOneFormatWithOptionalNoCap) {
    EXPECT_TRUE(validFormat(PDH_FMT_LONG));
    EXPECT_TRUE(validFormat(PDH_FMT_DOUBLE | PDH_FMT_NOCAP100));
    EXPECT_TRUE(validFormat(PDH_FMT_LARGE));
    EXPECT_FALSE(validFormat(0));
    EXPECT_FALSE(validFormat(PDH_FMT_LONG | PDH_FMT_DOUBLE));
    EXPECT_FALSE(validFormat(PDH_FMT_LONG | 0x1));
    EXPECT_FALSE(validFormat(PDH_FMT_NOCAP100));
}

TEST(CumulativeDelta, WrapBelow32BitsResetAbove) {
    std::uint64_t d = 7;
    EXPECT_TRUE(cumulativeDelta(10, 25, d));
    EXPECT_EQ(d, 15u);
    EXPECT_TRUE(cumulativeDelta(0xFFFFFFF0u, 0x10, d));  // 32-bit wrap
    EXPECT_EQ(d, 0x20u);
    EXPECT_FALSE(cumulativeDelta(0x100000010ull, 0x10, d));  // reset of a 64-bit counter
}

RawRecord sample(double time, std::initializer_list<std::pair<unsigned, std::uint64_t>> fields) {
    RawRecord r;
    r.status = PDH_CSTATUS_VALID_DATA;
    r.time = time;
    for (const auto& [f, v] : fields) r.set(f, v);
    return r;
}

const CounterDef& def(std::string_view object, std::string_view counter) {
    const ObjectDef* o = findObject(object);
    EXPECT_NE(o, nullptr);
    const CounterDef* c = o != nullptr ? findCounter(*o, counter) : nullptr;
    EXPECT_NE(c, nullptr);
    return *c;
}

TEST(Compute, DiskBusyAboveElapsedIsCappedUnlessNoCap) {
    const CounterDef& busy = def("PhysicalDisk", "% Disk Time");
    const RawRecord a = sample(100.0, {{field::IoTicksMs, 1000}});
    const RawRecord b = sample(101.0, {{field::IoTicksMs, 2100}});  // 1.1 s busy in 1 s
    EXPECT_DOUBLE_EQ(computeValue(busy, &a, b, false).value, 100.0);
    EXPECT_NEAR(computeValue(busy, &a, b, true).value, 110.0, 1e-9);
}

TEST(Compute, ProcessShareIsNotCappedAt100) {
    const CounterDef& cpu = def("Process", "% Processor Time");
    RawRecord a = sample(100.0, {{field::Utime, 0}, {field::Stime, 0}});
    RawRecord b = sample(102.0, {{field::Utime, 3000000}, {field::Stime, 500000}});  // 3.5 s in 2 s
    const Computed c = computeValue(cpu, &a, b, false);
    EXPECT_EQ(c.cstatus, PDH_CSTATUS_VALID_DATA);
    EXPECT_NEAR(c.value, 175.0, 1e-9);
}

TEST(Compute, CommittedInUseMayExceed100AndNoSwapIsZero) {
    EXPECT_NEAR(computeValue(def("Memory", "% Committed Bytes In Use"), nullptr,
                             sample(1, {{field::CommittedAs, 300}, {field::CommitLimit, 200}}), false).value,
                150.0, 1e-9);
    const Computed swap = computeValue(def("Paging File", "% Usage"), nullptr,
                                       sample(1, {{field::SwapUsed, 0}, {field::SwapTotal, 0}}), false);
    EXPECT_EQ(swap.cstatus, PDH_CSTATUS_VALID_DATA);
    EXPECT_EQ(swap.value, 0.0);
}

TEST(Compute, MissingFieldOrResetIsInvalidNeverNegative) {
    const CounterDef& rx = def("Network Interface", "Bytes Received/sec");
    EXPECT_EQ(computeValue(rx, nullptr, sample(10, {}), false).cstatus, PDH_CSTATUS_INVALID_DATA);
    const RawRecord a = sample(10, {{field::RxBytes, 0x200000000ull}});
    const RawRecord b = sample(11, {{field::RxBytes, 5}});
    const Computed c = computeValue(rx, &a, b, false);
    EXPECT_EQ(c.cstatus, PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(c.value, 0.0);
}

TEST(Catalogue, EveryEntryIsCompleteAndUniqueWithinItsObject) {
    for (const CounterDef& c : counterCatalogue()) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_FALSE(c.description.empty());
        EXPECT_TRUE(c.description.ends_with("."));
        EXPECT_LE(c.detailLevel, PERF_DETAIL_WIZARD);
        EXPECT_EQ(findCounter(objectDef(c.object), c.name), &c);
        if (c.kind != Kind::Elapsed) {
            EXPECT_NE(c.a, 0u);
        }
        if (c.kind == Kind::TickShare || c.kind == Kind::Ratio) {
            EXPECT_NE(c.b, 0u);
        }
    }
    for (const ObjectDef& o : objectCatalogue()) EXPECT_EQ(&objectDef(o.id), &o);
}

// The unit is the unit of the value as shown: a scale that turns bytes into KiB
// or MiB must come with that unit, or a reader (and the exporter) is misled.
TEST(Catalogue, ByteUnitsAgreeWithTheirScale) {
    for (const CounterDef& c : counterCatalogue()) {
        SCOPED_TRACE(std::string(objectDef(c.object).name) + "\\" + std::string(c.name));
        if (c.kind != Kind::Gauge) continue;
        switch (c.unit) {
            case Unit::Kibibytes: EXPECT_EQ(c.scale, 1.0 / 1024); break;
            case Unit::Mebibytes: EXPECT_EQ(c.scale, 1.0 / (1024 * 1024)); break;
            case Unit::Bytes: EXPECT_EQ(c.scale, 1.0); break;
            default: EXPECT_NE(c.scale, 1.0 / 1024) << "a KiB value needs the KiB unit"; break;
        }
    }
}

}  // namespace
}  // namespace vantorel::pdh
