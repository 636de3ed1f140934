// How device files are read: a failing or sleeping driver costs only its own
// counter, files no counter needs are never read (a sleeping GPU stays
// asleep), and GPU engines follow the process they were found in.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../pdh_engine/fake_reader.h"
#include "machine.h"

namespace vantorel::pdh::testing {
namespace {

class OnFakeKernel : public ::testing::Test {
protected:
    PDH_HCOUNTER add(const std::string& object, const std::string& instance, const std::string& counter) {
        const std::string path = makeCounterPath(object, instance, counter, true);
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib.addCounter(query, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    PDH_FMT_COUNTERVALUE value(PDH_HCOUNTER c) {
        PDH_FMT_COUNTERVALUE v{};
        lib.formattedValue(c, PDH_FMT_DOUBLE, nullptr, &v);
        return v;
    }
    void collect() { ASSERT_EQ(lib.collect(query), ERROR_SUCCESS); }

    std::shared_ptr<FakeReader> kernel = std::make_shared<FakeReader>();
    Library lib{"/", "/", kernel};
    PDH_HQUERY query = nullptr;
    void SetUp() override { ASSERT_EQ(lib.openQuery(0, &query), ERROR_SUCCESS); }
};

TEST_F(OnFakeKernel, DriverErrorsInvalidateOnlyTheirOwnCounter) {
    kernel->directories["/sys/class/hwmon/"] = {"hwmon0", "hwmon1"};
    kernel->files["/sys/class/hwmon/hwmon0/name"] = "nvme\n";
    kernel->directories["/sys/class/hwmon/hwmon0/"] = {"name", "temp1_input", "temp1_label"};
    kernel->files["/sys/class/hwmon/hwmon0/temp1_label"] = "Composite\n";
    kernel->errors["/sys/class/hwmon/hwmon0/temp1_input"] = EIO;  // a drive in a low-power state
    kernel->files["/sys/class/hwmon/hwmon1/name"] = "coretemp\n";
    kernel->directories["/sys/class/hwmon/hwmon1/"] = {"name", "temp1_input"};
    kernel->files["/sys/class/hwmon/hwmon1/temp1_input"] = "51000\n";
    kernel->directories["/sys/class/power_supply/BAT0/"] = {"power_now", "capacity", "voltage_now", "current_now"};
    kernel->errors["/sys/class/power_supply/BAT0/power_now"] = ENODATA;  // the driver cannot tell now
    kernel->files["/sys/class/power_supply/BAT0/voltage_now"] = "12000000\n";
    kernel->files["/sys/class/power_supply/BAT0/current_now"] = "1000000\n";
    kernel->files["/sys/class/power_supply/BAT0/capacity"] = "64\n";

    PDH_HCOUNTER nvme = add("Hardware Sensor", "nvme/Composite", "Temperature");
    PDH_HCOUNTER core = add("Hardware Sensor", "coretemp/temp1", "Temperature");
    PDH_HCOUNTER watts = add("Power Supply", "BAT0", "Watts");
    PDH_HCOUNTER charge = add("Power Supply", "BAT0", "% Charge");
    collect();
    EXPECT_EQ(value(nvme).CStatus, PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(value(core).CStatus, PDH_CSTATUS_VALID_DATA);
    EXPECT_DOUBLE_EQ(value(core).doubleValue, 51.0);
    // power_now exists and failed: no value, not a figure made up from others.
    EXPECT_EQ(value(watts).CStatus, PDH_CSTATUS_INVALID_DATA);
    EXPECT_DOUBLE_EQ(value(charge).doubleValue, 64.0);

    kernel->errors.clear();  // the drive woke up
    kernel->files["/sys/class/hwmon/hwmon0/temp1_input"] = "37850\n";
    kernel->files["/sys/class/power_supply/BAT0/power_now"] = "11000000\n";
    collect();
    EXPECT_DOUBLE_EQ(value(nvme).doubleValue, 37.85);
    EXPECT_DOUBLE_EQ(value(watts).doubleValue, 11.0);
}

// "firefox" as /proc/4242 shows it, holding the given fdinfo texts.
void setFirefox(FakeReader& kernel, unsigned long long starttime, const std::vector<std::string>& fdinfos) {
    kernel.setProcess(4242, statLine(4242, "firefox", 100, 10, starttime));
    std::vector<std::string>& fds = kernel.directories["/proc/4242/fdinfo/"];
    fds.clear();
    for (std::size_t i = 0; i < fdinfos.size(); ++i) {
        const std::string fd = std::to_string(30 + i);
        fds.push_back(fd);
        kernel.files["/proc/4242/fdinfo/" + fd] = fdinfos[i];
    }
}
std::string client(int id, unsigned long long renderNs) {
    return "pos:\t0\ndrm-driver:\ti915\ndrm-client-id:\t" + std::to_string(id) +
           "\ndrm-pdev:\t0000:00:02.0\ndrm-engine-render:\t" + std::to_string(renderNs) + " ns\n";
}

TEST_F(OnFakeKernel, EngineTimeNeverRunsBackwardsWhenAClientCloses) {
    setFirefox(*kernel, 50000, {client(1, 4000000000), client(2, 1000000000)});
    PDH_HCOUNTER render = add("GPU Engine", "firefox:4242/render", "% Utilization");
    kernel->now = 1000.0;
    collect();
    // Client 2 closed; client 1 did 0.5 s more in 1 s. The sum fell by 0.5 s,
    // which must read as 50 %, not as a wrap or a reset.
    setFirefox(*kernel, 50000, {client(1, 4500000000)});
    kernel->now = 1001.0;
    collect();
    EXPECT_EQ(value(render).CStatus, PDH_CSTATUS_VALID_DATA);
    EXPECT_DOUBLE_EQ(value(render).doubleValue, 50.0);
}

TEST_F(OnFakeKernel, EngineFollowsTheProcessItFound) {
    setFirefox(*kernel, 50000, {client(1, 4000000000)});
    PDH_HCOUNTER render = add("GPU Engine", "firefox:4242/render", "% Utilization");
    PDH_HCOUNTER copy = add("GPU Engine", "firefox:4242/copy", "% Utilization");
    PDH_HCOUNTER bad = add("GPU Engine", "firefox/render", "% Utilization");
    collect();
    EXPECT_EQ(value(render).CStatus, PDH_CSTATUS_VALID_DATA);
    EXPECT_EQ(value(copy).CStatus, PDH_CSTATUS_NO_INSTANCE);  // no client reports a copy engine
    EXPECT_EQ(value(bad).CStatus, PDH_CSTATUS_NO_INSTANCE);
    // Another firefox on the same pid: not this instance's process.
    setFirefox(*kernel, 70000, {client(1, 4000000000)});
    collect();
    EXPECT_EQ(value(render).CStatus, PDH_CSTATUS_NO_INSTANCE);
}

TEST(DeviceReads, ASleepingBatteryCostsOneWaitAndOnlyItsOwnCounter) {
    Machine m{fixture("laptop/t0"), fixture("laptop")};
    PDH_HCOUNTER energy = m.add("Power Supply", "BAT0", "Energy Remaining Wh");
    PDH_HCOUNTER charge = m.add("Power Supply", "BAT0", "% Charge");
    PDH_HCOUNTER package = m.add("Hardware Sensor", "coretemp/Package id 0", "Temperature");
    PDH_HCOUNTER zone = m.add("Thermal Zone", "acpitz:0", "Temperature");
    m.reader->holdReads("BAT0/energy_now");

    m.collect();  // returns although energy_now does not
    EXPECT_EQ(m.status(energy), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(m.l(charge), 76);
    EXPECT_EQ(m.l(package), 56);
    EXPECT_EQ(m.l(zone), 48);

    m.collect();  // the read still hangs: not asked again
    EXPECT_EQ(m.reader->readsEndingWith("BAT0/energy_now"), 1);
    EXPECT_EQ(m.status(energy), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(m.l(charge), 76);

    m.reader->release();  // the driver answers; a later collect reads it again
    PDH_STATUS status = PDH_CSTATUS_INVALID_DATA;
    for (int i = 0; i < 200 && status != PDH_CSTATUS_VALID_DATA; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        m.collect();
        status = m.status(energy);
    }
    EXPECT_EQ(status, PDH_CSTATUS_VALID_DATA);
    EXPECT_DOUBLE_EQ(m.d(energy), 38.52);
}

TEST(DeviceReads, OnlyTheFilesACounterNeedsAreRead) {
    Machine m{fixture("desktop"), fixture("desktop")};
    // Listing the adapters and sensors reads no value of the GPU.
    EXPECT_EQ(m.instances("GPU Adapter").size(), 1u);
    EXPECT_EQ(m.instances("Hardware Sensor").size(), 9u);
    PDH_HCOUNTER total = m.add("GPU Adapter", "card1", "Dedicated Memory Total Bytes");
    PDH_HCOUNTER tctl = m.add("Hardware Sensor", "k10temp/Tctl", "Temperature");
    PDH_HCOUNTER tctlAgain = m.add("Hardware Sensor", "k10temp/Tctl", "Temperature");
    m.collect();
    m.collect();
    EXPECT_EQ(m.value(total, PDH_FMT_LARGE).largeValue, 8573157376LL);
    EXPECT_DOUBLE_EQ(m.d(tctl), m.d(tctlAgain));
    EXPECT_EQ(m.reader->readsEndingWith("gpu_busy_percent"), 0);
    EXPECT_EQ(m.reader->readsEndingWith("pp_dpm_sclk"), 0);
    EXPECT_EQ(m.reader->readsEndingWith("mem_info_vram_used"), 0);
    EXPECT_EQ(m.reader->readsEndingWith("hwmon0/temp1_input"), 0);  // amdgpu's own sensor
    EXPECT_EQ(m.reader->readsEndingWith("mem_info_vram_total"), 2);  // once per collect
    EXPECT_EQ(m.reader->readsEndingWith("hwmon1/temp1_input"), 2);   // two counters, one read
}

}  // namespace
}  // namespace vantorel::pdh::testing
