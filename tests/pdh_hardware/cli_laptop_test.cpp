// vantorel-cli itself, pointed at the captured laptop with --proc-root and
// --sys-root: the hardware objects read end to end, on the tree's own clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string runCli(const std::string& args) {
    const std::string fixtures = VANTOREL_FIXTURES;
    const std::string command = std::string(VANTOREL_CLI_BINARY) + " --proc-root " + fixtures + "/laptop/t0 --sys-root " +
                                fixtures + "/laptop " + args + " 2>&1";
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
    EXPECT_EQ(::pclose(pipe), 0) << out;
    return out;
}

TEST(CliOnLaptop, ListsAndSamplesTheHardware) {
    const std::string listed = runCli("list \"GPU Engine\" \"Power Supply\" --instances");
    EXPECT_NE(listed.find("\\GPU Engine(firefox:4242/render)\\% Utilization\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("\\Power Supply(BAT0)\\Seconds To Empty\n"), std::string::npos) << listed;

    const std::string sampled = runCli(
        "sample --samples 1 '\\Thermal Zone(acpitz:0)\\Temperature' '\\Hardware Sensor(nvme/Composite)\\Temperature' "
        "'\\Hardware Sensor(thinkpad/fan1)\\Fan Speed' '\\Power Supply(BAT0)\\Seconds To Empty' "
        "'\\Power Supply(BAT0)\\Watts' '\\GPU Adapter(card0)\\Current Frequency MHz' "
        "'\\GPU Engine(firefox:4242/render)\\% Utilization' '\\GPU Engine(firefox:4242/render)\\Memory Bytes'");
    // 48000 m°C; 38850 m°C; 2650 RPM; 38.52 Wh / 9.45 W in s; 9450000 uW; 350 MHz;
    // 25e9 ns over the 500 s since firefox started (uptime 1000 s); 98304 KiB once.
    EXPECT_NE(sampled.find(",48,38.85,2650,14674,9.45,350,5,100663296\n"), std::string::npos) << sampled;
}

}  // namespace
