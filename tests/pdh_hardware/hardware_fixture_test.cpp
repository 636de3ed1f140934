// The hardware objects over captured machines: a laptop (Intel graphics, on
// battery), an AMD desktop and a box of awkward shapes. Every expected number
// is worked out by hand from the fixture files, quoted beside it.
#include <gtest/gtest.h>

#include "machine.h"

namespace vantorel::pdh::testing {
namespace {

using Names = std::vector<std::string>;

class Laptop : public ::testing::Test {
protected:
    Machine m{fixture("laptop/t0"), fixture("laptop")};

    // /proc as captured two seconds later.
    void secondMoment() {
        m.reader->from = "/laptop/t0/";
        m.reader->to = "/laptop/t1/";
        m.reader->now = 1002.0;
        m.collect();
    }
};

TEST_F(Laptop, InstancesAreTheBrowsersLists) {
    EXPECT_EQ(m.instances("Thermal Zone"), (Names{"acpitz:0", "x86_pkg_temp:1"}));
    EXPECT_EQ(m.instances("Hardware Sensor"),
              (Names{"acpitz/temp1", "nvme/Composite", "nvme/Sensor 1", "coretemp/Package id 0", "coretemp/Core 0",
                     "coretemp/Core 1", "thinkpad/temp1", "thinkpad/temp2", "thinkpad/fan1", "thinkpad/fan2", "BAT0/in0"}));
    EXPECT_EQ(m.instances("Power Supply"), (Names{"AC", "BAT0"}));
    EXPECT_EQ(m.instances("GPU Adapter"), (Names{"card0"}));  // not card0-eDP-1, renderD128, version
    // bash holds no DRM file; firefox's two fds of client 37 make one client.
    EXPECT_EQ(m.instances("GPU Engine"),
              (Names{"firefox:4242/copy", "firefox:4242/render", "firefox:4242/video", "firefox:4242/video-enhance",
                     "gnome-shell:1234/copy", "gnome-shell:1234/render", "gnome-shell:1234/video",
                     "gnome-shell:1234/video-enhance"}));
}

TEST_F(Laptop, TemperaturesFansAndBattery) {
    PDH_HCOUNTER acpitz = m.add("Thermal Zone", "acpitz:0", "Temperature");
    PDH_HCOUNTER acpitzCrit = m.add("Thermal Zone", "acpitz:0", "Critical Temperature");
    PDH_HCOUNTER pkgCrit = m.add("Thermal Zone", "x86_pkg_temp:1", "Critical Temperature");
    PDH_HCOUNTER package = m.add("Hardware Sensor", "coretemp/Package id 0", "Temperature");
    PDH_HCOUNTER packageHigh = m.add("Hardware Sensor", "coretemp/Package id 0", "High Limit");
    PDH_HCOUNTER nvme = m.add("Hardware Sensor", "nvme/Composite", "Temperature");
    PDH_HCOUNTER nvmeCrit = m.add("Hardware Sensor", "nvme/Composite", "Critical Limit");
    PDH_HCOUNTER acpitzHigh = m.add("Hardware Sensor", "acpitz/temp1", "High Limit");
    PDH_HCOUNTER fan = m.add("Hardware Sensor", "thinkpad/fan1", "Fan Speed");
    PDH_HCOUNTER fanAsTemp = m.add("Hardware Sensor", "thinkpad/fan1", "Temperature");
    PDH_HCOUNTER batteryVolts = m.add("Hardware Sensor", "BAT0/in0", "Millivolts");
    PDH_HCOUNTER charge = m.add("Power Supply", "BAT0", "% Charge");
    PDH_HCOUNTER watts = m.add("Power Supply", "BAT0", "Watts");
    PDH_HCOUNTER energy = m.add("Power Supply", "BAT0", "Energy Remaining Wh");
    PDH_HCOUNTER toEmpty = m.add("Power Supply", "BAT0", "Seconds To Empty");
    PDH_HCOUNTER batteryOnline = m.add("Power Supply", "BAT0", "Online");
    PDH_HCOUNTER mains = m.add("Power Supply", "AC", "Online");
    PDH_HCOUNTER mainsToEmpty = m.add("Power Supply", "AC", "Seconds To Empty");
    m.collect();

    EXPECT_EQ(m.l(acpitz), 48);              // 48000
    EXPECT_EQ(m.l(acpitzCrit), 128);         // trip_point_0 critical 128000
    EXPECT_EQ(m.status(pkgCrit), PDH_CSTATUS_INVALID_DATA);  // passive trips only
    EXPECT_EQ(m.l(package), 56);
    EXPECT_EQ(m.l(packageHigh), 100);
    EXPECT_DOUBLE_EQ(m.d(nvme), 38.85);      // 38850
    EXPECT_DOUBLE_EQ(m.d(nvmeCrit), 84.85);
    EXPECT_EQ(m.status(acpitzHigh), PDH_CSTATUS_INVALID_DATA);  // no temp1_max
    EXPECT_EQ(m.l(fan), 2650);
    EXPECT_EQ(m.status(fanAsTemp), PDH_CSTATUS_INVALID_DATA);   // a fan channel has no temperature
    EXPECT_EQ(m.l(batteryVolts), 11850);
    EXPECT_EQ(m.l(charge), 76);
    EXPECT_DOUBLE_EQ(m.d(watts), 9.45);      // power_now 9450000 uW
    EXPECT_DOUBLE_EQ(m.d(energy), 38.52);    // energy_now 38520000 uWh
    EXPECT_EQ(m.l(toEmpty), 14674);          // 38.52 Wh / 9.45 W = 4.0762 h
    EXPECT_EQ(m.status(batteryOnline), PDH_CSTATUS_INVALID_DATA);  // a battery has no online file
    EXPECT_EQ(m.l(mains), 0);
    EXPECT_EQ(m.status(mainsToEmpty), PDH_CSTATUS_INVALID_DATA);
}

TEST_F(Laptop, IntegratedAdapterHasAClockButNoVideoMemory) {
    PDH_HCOUNTER mhz = m.add("GPU Adapter", "card0", "Current Frequency MHz");
    PDH_HCOUNTER busy = m.add("GPU Adapter", "card0", "% Busy");
    PDH_HCOUNTER vram = m.add("GPU Adapter", "card0", "Dedicated Memory Used Bytes");
    PDH_HCOUNTER connector = m.add("GPU Adapter", "card0-eDP-1", "Current Frequency MHz");
    m.collect();
    EXPECT_EQ(m.l(mhz), 350);  // gt_cur_freq_mhz
    EXPECT_EQ(m.status(busy), PDH_CSTATUS_INVALID_DATA);  // i915 has no gpu_busy_percent
    EXPECT_EQ(m.status(vram), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(m.status(connector), PDH_CSTATUS_NO_INSTANCE);
}

TEST_F(Laptop, EngineUtilizationFromProcessStartThenOverTheInterval) {
    PDH_HCOUNTER ffRender = m.add("GPU Engine", "firefox:4242/render", "% Utilization");
    PDH_HCOUNTER ffVideo = m.add("GPU Engine", "firefox:4242/video", "% Utilization");
    PDH_HCOUNTER ffMemory = m.add("GPU Engine", "firefox:4242/render", "Memory Bytes");
    PDH_HCOUNTER shellRender = m.add("GPU Engine", "gnome-shell:1234/render", "% Utilization");
    PDH_HCOUNTER shellMemory = m.add("GPU Engine", "gnome-shell:1234/copy", "Memory Bytes");
    PDH_HCOUNTER notDrm = m.add("GPU Engine", "bash:900/render", "% Utilization");
    m.collect();
    // firefox started at 50000 ticks = 500 s; now 1000 s. Client 37 counted once.
    EXPECT_DOUBLE_EQ(m.d(ffRender), 100.0 * 25e9 / 500e9);       // 5 %
    EXPECT_DOUBLE_EQ(m.d(ffVideo), 100.0 * (1e9 / 2) / 500e9);   // capacity 2: 0.1 %
    EXPECT_DOUBLE_EQ(m.d(shellRender), 100.0 * 50e9 / 985e9);    // started at 15 s
    EXPECT_EQ(m.value(ffMemory, PDH_FMT_LARGE).largeValue, 98304LL * 1024);  // drm-resident-system0, once
    EXPECT_EQ(m.value(shellMemory, PDH_FMT_LARGE).largeValue, 204800LL * 1024);
    EXPECT_EQ(m.status(notDrm), PDH_CSTATUS_NO_INSTANCE);

    secondMoment();
    EXPECT_DOUBLE_EQ(m.d(ffRender), 30.0);     // +0.6e9 ns in 2 s
    EXPECT_DOUBLE_EQ(m.d(ffVideo), 10.0);      // +0.4e9 ns / 2 engines in 2 s
    EXPECT_DOUBLE_EQ(m.d(shellRender), 10.0);  // +0.2e9 ns in 2 s
}

TEST(Desktop, DiscreteAmdAdapterAndItsSensors) {
    Machine m{fixture("desktop"), fixture("desktop")};
    EXPECT_EQ(m.instances("GPU Adapter"), (Names{"card1"}));
    EXPECT_EQ(m.instances("Hardware Sensor"),
              (Names{"amdgpu/edge", "amdgpu/junction", "amdgpu/mem", "amdgpu/fan1", "amdgpu/vddgfx", "amdgpu/PPT",
                     "k10temp/Tctl", "k10temp/Tccd1", "nvme/Composite"}));
    EXPECT_EQ(m.instances("GPU Engine"), (Names{"blender:3100/compute", "blender:3100/dma", "blender:3100/gfx"}));
    EXPECT_TRUE(m.instances("Thermal Zone").empty());  // listed, with no instances
    EXPECT_TRUE(m.instances("Power Supply").empty());

    PDH_HCOUNTER busy = m.add("GPU Adapter", "card1", "% Busy");
    PDH_HCOUNTER used = m.add("GPU Adapter", "card1", "Dedicated Memory Used Bytes");
    PDH_HCOUNTER total = m.add("GPU Adapter", "card1", "Dedicated Memory Total Bytes");
    PDH_HCOUNTER mhz = m.add("GPU Adapter", "card1", "Current Frequency MHz");
    PDH_HCOUNTER tctl = m.add("Hardware Sensor", "k10temp/Tctl", "Temperature");
    PDH_HCOUNTER ppt = m.add("Hardware Sensor", "amdgpu/PPT", "Watts");
    PDH_HCOUNTER vddgfx = m.add("Hardware Sensor", "amdgpu/vddgfx", "Millivolts");
    PDH_HCOUNTER fan = m.add("Hardware Sensor", "amdgpu/fan1", "Fan Speed");
    PDH_HCOUNTER gfx = m.add("GPU Engine", "blender:3100/gfx", "% Utilization");
    PDH_HCOUNTER vram = m.add("GPU Engine", "blender:3100/gfx", "Memory Bytes");
    m.reader->now = 2000.0;
    m.collect();
    EXPECT_EQ(m.l(busy), 37);
    EXPECT_EQ(m.value(used, PDH_FMT_LARGE).largeValue, 1073741824LL);
    EXPECT_EQ(m.value(total, PDH_FMT_LARGE).largeValue, 8573157376LL);
    EXPECT_EQ(m.l(mhz), 1800);                 // the starred level of pp_dpm_sclk
    EXPECT_DOUBLE_EQ(m.d(tctl), 62.125);
    EXPECT_DOUBLE_EQ(m.d(ppt), 35.0);          // power1_average 35000000 uW
    EXPECT_EQ(m.l(vddgfx), 850);
    EXPECT_EQ(m.l(fan), 1200);
    EXPECT_DOUBLE_EQ(m.d(gfx), 12.0);          // 120e9 ns since start at 1000 s, now 2000 s
    EXPECT_EQ(m.value(vram, PDH_FMT_LARGE).largeValue, 524288LL * 1024);  // drm-memory-vram, not gtt
}

TEST(EdgeBox, AwkwardShapes) {
    Machine m{fixture("edge-box"), fixture("edge-box")};
    EXPECT_EQ(m.instances("Thermal Zone"), (Names{"acpitz:0", "iwlwifi_1:1"}));
    // Two chips named nvme take their hwmon numbers; nct6775 keeps its files on
    // the device; a label two channels share, or none, gives the channel name.
    EXPECT_EQ(m.instances("Hardware Sensor"),
              (Names{"nvme:0/Composite", "nvme:1/Composite", "nct6775/temp1", "nct6775/temp2", "nct6775/fan1",
                     "nct6775/CPU Fan", "nct6775/Vcore", "ina3221/in1", "ina3221/curr1"}));
    EXPECT_EQ(m.instances("Power Supply"), (Names{"BAT1", "ucsi-source-psy-USBC000:001"}));

    PDH_HCOUNTER cold = m.add("Thermal Zone", "acpitz:0", "Temperature");
    PDH_HCOUNTER crit = m.add("Thermal Zone", "acpitz:0", "Critical Temperature");
    PDH_HCOUNTER wrongType = m.add("Thermal Zone", "acpitz:1", "Temperature");
    PDH_HCOUNTER wifi = m.add("Thermal Zone", "iwlwifi_1:1", "Temperature");
    m.reader->failReads("thermal_zone1/temp", EIO);  // the radio is off
    PDH_HCOUNTER nvme0 = m.add("Hardware Sensor", "nvme:0/Composite", "Temperature");
    PDH_HCOUNTER nvme1 = m.add("Hardware Sensor", "nvme:1/Composite", "Temperature");
    PDH_HCOUNTER unnamedNvme = m.add("Hardware Sensor", "nvme/Composite", "Temperature");
    PDH_HCOUNTER stopped = m.add("Hardware Sensor", "nct6775/fan1", "Fan Speed");
    PDH_HCOUNTER belowZero = m.add("Hardware Sensor", "nct6775/temp2", "Temperature");
    PDH_HCOUNTER amps = m.add("Hardware Sensor", "ina3221/curr1", "Milliamperes");
    PDH_HCOUNTER watts = m.add("Power Supply", "BAT1", "Watts");
    PDH_HCOUNTER energy = m.add("Power Supply", "BAT1", "Energy Remaining Wh");
    PDH_HCOUNTER toEmpty = m.add("Power Supply", "BAT1", "Seconds To Empty");
    PDH_HCOUNTER usb = m.add("Power Supply", "ucsi-source-psy-USBC000:001", "Online");
    PDH_HCOUNTER escape = m.add("Power Supply", "..", "Online");
    PDH_HCOUNTER render = m.add("GPU Engine", "glxgears:77/render", "% Utilization");
    PDH_HCOUNTER local = m.add("GPU Engine", "glxgears:77/render", "Memory Bytes");
    m.reader->now = 101.0;
    m.collect();

    EXPECT_EQ(m.l(cold), -5);  // -5000
    EXPECT_EQ(m.l(crit), 95);  // trip_point_1, the critical one; trip_point_0 is hot
    EXPECT_EQ(m.status(wrongType), PDH_CSTATUS_NO_INSTANCE);  // zone 1 is iwlwifi_1
    EXPECT_EQ(m.status(wifi), PDH_CSTATUS_INVALID_DATA);
    EXPECT_DOUBLE_EQ(m.d(nvme0), 35.85);
    EXPECT_DOUBLE_EQ(m.d(nvme1), 33.85);
    EXPECT_EQ(m.status(unnamedNvme), PDH_CSTATUS_NO_INSTANCE);
    const PDH_FMT_COUNTERVALUE zero = m.value(stopped, PDH_FMT_LONG);
    EXPECT_EQ(zero.CStatus, PDH_CSTATUS_VALID_DATA);  // a stopped fan is a reading
    EXPECT_EQ(zero.longValue, 0);
    EXPECT_EQ(m.l(belowZero), -2);
    EXPECT_EQ(m.l(amps), 250);
    EXPECT_DOUBLE_EQ(m.d(watts), 18.0);    // no power_now: 12 V x 1.5 A
    EXPECT_DOUBLE_EQ(m.d(energy), 36.0);   // no energy_now: 3 Ah x 12 V
    EXPECT_EQ(m.l(toEmpty), 7200);         // 36 Wh / 18 W = 2 h
    EXPECT_EQ(m.l(usb), 1);
    EXPECT_EQ(m.status(escape), PDH_CSTATUS_NO_INSTANCE);
    // Two clients (5 and 6) without capacity keys: 3e9 + 1e9 ns since start at 1 s.
    EXPECT_DOUBLE_EQ(m.d(render), 100.0 * 4e9 / 100e9);
    // Device-local memory only: local0 8192 KiB + 2 MiB; system0 is left out.
    EXPECT_EQ(m.value(local, PDH_FMT_LARGE).largeValue, 8192LL * 1024 + 2 * 1024 * 1024);
}

}  // namespace
}  // namespace vantorel::pdh::testing
