// Pressure over its parser and over trees shaped like a laptop on 6.1 (all
// four files, irq with only `full`), a server on 5.4 (no `full` line for cpu,
// no irq file), an older kernel without pressure files (vm-4.19) and the
// build machine's two moments (vm618-t0/t1, 3.75 s apart).
#include <gtest/gtest.h>

#include "platform/pdh/sources/pressure.h"
#include "tests/pdh_counters/fixture_tree.h"

namespace vantorel::pdh {
namespace {

using sources::parsePressure;
using sources::PressureLine;
using testing::TreeQuery;

TEST(PressureParser, BothLinesSomeOnlyOrFullOnly) {
    const auto io = parsePressure("some avg10=0.05 avg60=0.28 avg300=12.4 total=12809826\n"
                                  "full avg10=0.04 avg60=0.22 avg300=0.38 total=11472116\n");
    ASSERT_TRUE(io.has_value());
    EXPECT_EQ(io->some, (PressureLine{5, 28, 1240, 12809826}));
    EXPECT_EQ(io->full, (PressureLine{4, 22, 38, 11472116}));
    const auto irq = parsePressure("full avg10=0.12 avg60=0.05 avg300=0.01 total=123456\n");
    ASSERT_TRUE(irq.has_value());
    EXPECT_FALSE(irq->some.has_value());
    EXPECT_EQ(irq->full->totalUs, 123456u);
    const auto oldCpu = parsePressure("some avg10=86.56 avg60=37.99 avg300=28.07 total=223536273\n");
    ASSERT_TRUE(oldCpu.has_value());
    EXPECT_EQ(oldCpu->some->avg10, 8656u);
    EXPECT_FALSE(oldCpu->full.has_value());
}

TEST(PressureParser, MalformedLinesAreNoValue) {
    for (const char* text : {"", "some avg10=0.05 avg60=0.28 avg300=0.44\n", "some avg10=x avg60=0 avg300=0 total=1\n",
                             "some avg10=0.055 avg60=0 avg300=0 total=1\n", "some avg10=-1 avg60=0 avg300=0 total=1\n",
                             "some avg10=0.05 avg60=0.28 avg300=0.44 total=1", "other avg10=0 avg60=0 avg300=0 total=1\n",
                             "some avg10=nan avg60=0 avg300=0 total=1\n", "some avg10=0 avg60=0 avg300=0 total=-5\n"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parsePressure(text).has_value());
    }
    // One good line is enough; the bad one stays no value.
    const auto half = parsePressure("some avg10=0.05 avg60=0.28 total=5\nfull avg10=0 avg60=0 avg300=0 total=7\n");
    ASSERT_TRUE(half.has_value());
    EXPECT_FALSE(half->some.has_value());
    EXPECT_EQ(half->full->totalUs, 7u);
    // A line the kernel never writes twice: the first whole one stands.
    const auto twice = parsePressure("some avg10=0 avg60=0 avg300=0 total=5\nsome avg10=0 avg60=0 avg300=0 total=9\n");
    ASSERT_TRUE(twice.has_value());
    EXPECT_EQ(twice->some->totalUs, 5u);
}

TEST(PressureObject, InstancesAreTheFilesThatExistInReadingOrder) {
    EXPECT_EQ(TreeQuery("laptop-6.1", 1000).instances("Pressure"),
              (std::vector<std::string>{"cpu", "memory", "io", "irq"}));
    EXPECT_EQ(TreeQuery("server-5.4", 1000).instances("Pressure"), (std::vector<std::string>{"cpu", "memory", "io"}));
    // No pressure files: still listed, with no instances.
    TreeQuery old("vm-4.19", 1000);
    EXPECT_TRUE(old.instances("Pressure").empty());
    bool listed = false;
    for (const auto& object : old.lib.enumeration().objects()) listed = listed || object.name == "Pressure";
    EXPECT_TRUE(listed);
    PDH_HCOUNTER cpu = old.add("Pressure", "cpu", "% Some Stall Time");
    old.collect();
    EXPECT_EQ(old.status(cpu), PDH_CSTATUS_NO_INSTANCE);
}

TEST(PressureObject, StallSharesSinceBootThenOverTheInterval) {
    TreeQuery q("vm618-t0", 1452.91);
    PDH_HCOUNTER cpuSome = q.add("Pressure", "cpu", "% Some Stall Time");
    PDH_HCOUNTER cpuFull = q.add("Pressure", "cpu", "% Full Stall Time");
    PDH_HCOUNTER ioSome = q.add("Pressure", "io", "% Some Stall Time");
    PDH_HCOUNTER ioFull = q.add("Pressure", "io", "% Full Stall Time");
    PDH_HCOUNTER ioAvg10 = q.add("Pressure", "io", "Some Average 10 Seconds");
    PDH_HCOUNTER ioFull300 = q.add("Pressure", "io", "Full Average 300 Seconds");
    PDH_HCOUNTER irq = q.add("Pressure", "irq", "% Full Stall Time");
    q.collect();
    // cpu some total=853439718 us at 1452.91 s since boot.
    EXPECT_NEAR(q.value(cpuSome), 100.0 * 853.439718 / 1452.91, 1e-6);
    q.moment("vm618-t1", 1456.66);
    // cpu some 853439718 -> 857103297, io some 14579245 -> 14587167 us; the
    // full totals did not move.
    EXPECT_NEAR(q.value(cpuSome), 100.0 * (857103297.0 - 853439718) / 3.75e6, 1e-6);  // 97.70
    EXPECT_DOUBLE_EQ(q.value(cpuFull), 0.0);
    EXPECT_NEAR(q.value(ioSome), 100.0 * (14587167.0 - 14579245) / 3.75e6, 1e-6);  // 0.21
    EXPECT_DOUBLE_EQ(q.value(ioFull), 0.0);
    EXPECT_NEAR(q.value(ioAvg10), 0.25, 1e-12);    // "some avg10=0.25" at t1
    EXPECT_NEAR(q.value(ioFull300), 0.01, 1e-12);  // "full ... avg300=0.01"
    EXPECT_EQ(q.status(irq), PDH_CSTATUS_NO_INSTANCE);  // this kernel has no irq file
}

TEST(PressureObject, AMissingLineReadsInvalidDataAndTheRestWork) {
    TreeQuery laptop("laptop-6.1", 1000);
    PDH_HCOUNTER irqSome = laptop.add("Pressure", "irq", "% Some Stall Time");
    PDH_HCOUNTER irqSomeAvg = laptop.add("Pressure", "irq", "Some Average 60 Seconds");
    PDH_HCOUNTER irqFull = laptop.add("Pressure", "irq", "% Full Stall Time");
    PDH_HCOUNTER irqFullAvg = laptop.add("Pressure", "irq", "Full Average 10 Seconds");
    PDH_HCOUNTER cpuAvg = laptop.add("Pressure", "cpu", "Some Average 60 Seconds");
    laptop.collect();
    EXPECT_EQ(laptop.status(irqSome), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(laptop.status(irqSomeAvg), PDH_CSTATUS_INVALID_DATA);
    EXPECT_NEAR(laptop.value(irqFull), 100.0 * 0.123456 / 1000, 1e-9);  // total=123456 since boot
    EXPECT_NEAR(laptop.value(irqFullAvg), 0.12, 1e-12);
    EXPECT_NEAR(laptop.value(cpuAvg), 8.25, 1e-12);

    TreeQuery server("server-5.4", 1000);
    PDH_HCOUNTER cpuFull = server.add("Pressure", "cpu", "% Full Stall Time");
    PDH_HCOUNTER cpuFullAvg = server.add("Pressure", "cpu", "Full Average 300 Seconds");
    PDH_HCOUNTER cpuSome = server.add("Pressure", "cpu", "% Some Stall Time");
    server.collect();
    EXPECT_EQ(server.status(cpuFull), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(server.status(cpuFullAvg), PDH_CSTATUS_INVALID_DATA);
    EXPECT_NEAR(server.value(cpuSome), 100.0 * 7.654321 / 1000, 1e-9);
}

TEST(PressureObject, ANameThatLeavesTheDirectoryIsNoInstance) {
    TreeQuery q("laptop-6.1", 1000);
    PDH_HCOUNTER up = q.add("Pressure", "../pressure/cpu", "% Some Stall Time");
    PDH_HCOUNTER dot = q.add("Pressure", "..", "% Some Stall Time");
    q.collect();
    EXPECT_EQ(q.status(up), PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(q.status(dot), PDH_CSTATUS_NO_INSTANCE);
}

}  // namespace
}  // namespace vantorel::pdh
