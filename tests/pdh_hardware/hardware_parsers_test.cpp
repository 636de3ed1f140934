// The parsers of the hardware objects' files, on text shaped as the kernel writes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/pdh/sources/drm_fdinfo.h"
#include "platform/pdh/sources/sysfs_entries.h"
#include "platform/pdh/sources/sysfs_value.h"

namespace vantorel::pdh::sources {
namespace {

TEST(SysfsValue, NumbersAreSignedAndMustBeWholeLines) {
    const struct {
        std::string text;
        std::optional<std::int64_t> want;
    } cases[] = {
        {"48000\n", 48000},
        {"-5000\n", -5000},  // a zone below freezing
        {"0\n", 0},          // a stopped fan is a reading
        {"48000", std::nullopt},  // cut short by the read
        {"\n", std::nullopt},
        {"N/A\n", std::nullopt},
        {"12 34\n", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parseSysfsInteger(c.text), c.want) << c.text;
    EXPECT_EQ(parseSysfsWord("Discharging\n"), "Discharging");
    EXPECT_EQ(parseSysfsWord("Package id 0\n"), "Package id 0");
    EXPECT_EQ(parseSysfsWord("critical"), "");
}

TEST(SysfsValue, StarredClockIsTheCurrentLevel) {
    EXPECT_EQ(parseStarredClockMhz("0: 500Mhz \n1: 1800Mhz *\n2: 2450Mhz \n"), 1800u);
    EXPECT_EQ(parseStarredClockMhz("0: 500Mhz *\n1: 1800Mhz \n"), 500u);
    EXPECT_EQ(parseStarredClockMhz("0: 500Mhz \n1: 1800Mhz \n"), std::nullopt);  // no level marked
    EXPECT_EQ(parseStarredClockMhz("1: fastMhz *\n"), std::nullopt);
    EXPECT_EQ(parseStarredClockMhz("1: 1800Mhz *"), std::nullopt);  // no whole line
}

TEST(SysfsEntries, ClassListingsKeepTheirOwnEntriesOnly) {
    const std::vector<std::string> drm{"card1-DP-1", "renderD128", "card0", "card0-HDMI-A-1", "version", "card10", "card01"};
    EXPECT_EQ(drmCards(drm), (std::vector<std::string>{"card0", "card10"}));
    const std::vector<std::string> thermal{"thermal_zone10", "cooling_device0", "thermal_zone2", "thermal_zoneX"};
    EXPECT_EQ(numberedEntries(thermal, "thermal_zone"), (std::vector<std::uint32_t>{2, 10}));
    EXPECT_FALSE(isPlainEntryName(".."));
    EXPECT_FALSE(isPlainEntryName("BAT0/../../etc"));
    EXPECT_TRUE(isPlainEntryName("ucsi-source-psy-USBC000:001"));
}

TEST(SysfsEntries, HwmonChannelsAreThoseWithAValue) {
    const std::vector<std::string> names{"name", "temp1_input", "temp1_label", "temp1_max", "temp1_crit", "temp1_crit_alarm",
                                         "fan2_input", "fan2_min", "pwm1", "in0_input", "power1_average", "power1_cap",
                                         "curr1_label", "temp10_input", "uevent", "power2_input", "power2_average"};
    const std::vector<HwmonChannel> channels = hwmonChannels(names);
    ASSERT_EQ(channels.size(), 6u);
    EXPECT_EQ(channels[0].name, "temp1");
    EXPECT_TRUE(channels[0].hasLabel && channels[0].hasMax && channels[0].hasCrit);
    EXPECT_EQ(channels[1].name, "temp10");
    EXPECT_FALSE(channels[1].hasLabel);
    EXPECT_EQ(channels[2].valueFile, "fan2_input");
    EXPECT_EQ(channels[3].valueFile, "in0_input");
    EXPECT_EQ(channels[4].valueFile, "power1_average");  // no power1_input
    EXPECT_EQ(channels[5].valueFile, "power2_input");    // input wins over average
    // curr1 has a label and nothing to read: no channel.
}

TEST(DrmFdinfo, EnginesCapacitiesAndRegions) {
    const std::string text =
        "pos:\t0\nflags:\t02100002\nmnt_id:\t24\nino:\t1178\n"
        "drm-driver:\ti915\ndrm-client-id:\t37\ndrm-pdev:\t0000:00:02.0\n"
        "drm-total-system0:\t131072 KiB\ndrm-resident-system0:\t98304 KiB\n"
        "drm-memory-vram:\t2 MiB\ndrm-memory-gtt:\t4096\n"
        "drm-engine-render:\t25000000000 ns\ndrm-engine-capacity-video:\t2\ndrm-engine-video:\t1000000000 ns\n"
        "drm-engine-copy:\tlots ns\ndrm-cycles-render:\t5\n";
    const auto client = parseDrmFdinfo(text);
    ASSERT_TRUE(client);
    EXPECT_EQ(client->clientId, 37u);
    EXPECT_EQ(client->pdev, "0000:00:02.0");
    EXPECT_EQ(client->driver, "i915");
    ASSERT_EQ(client->engines.size(), 2u);  // a malformed engine line is no engine
    EXPECT_EQ(client->engines[0].name, "render");
    EXPECT_EQ(client->engines[0].busyNs, 25000000000u);
    EXPECT_EQ(client->engines[0].capacity, std::nullopt);
    EXPECT_EQ(client->engines[1].name, "video");
    EXPECT_EQ(client->engines[1].capacity, 2u);  // given before its engine line
    ASSERT_EQ(client->regions.size(), 3u);
    EXPECT_EQ(client->regions[0].name, "system0");
    EXPECT_EQ(client->regions[0].residentBytes, 98304u * 1024);
    EXPECT_EQ(client->regions[1].memoryBytes, 2u * 1024 * 1024);
    EXPECT_EQ(client->regions[2].memoryBytes, 4096u);  // no unit: bytes

    EXPECT_FALSE(parseDrmFdinfo("pos:\t0\nflags:\t02\nmnt_id:\t29\nino:\t1051\n"));  // not a DRM file
    EXPECT_FALSE(parseDrmFdinfo("drm-driver:\ti915\ndrm-engine-render:\t5 ns\n"));   // no client id
    EXPECT_FALSE(parseDrmFdinfo("drm-client-id:\t37"));                               // cut short
}

}  // namespace
}  // namespace vantorel::pdh::sources
