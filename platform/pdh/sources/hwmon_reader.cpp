#include "platform/pdh/sources/hwmon_reader.h"

#include <algorithm>
#include <map>

#include "platform/pdh/sources/sysfs_value.h"

namespace vantorel::pdh {
namespace {

struct Chip {
    std::uint32_t number = 0;
    std::string name;
    std::string dir;
    std::vector<std::string> labels;  // per channel, empty without a label file
    std::vector<sources::HwmonChannel> channels;
};

}  // namespace

std::vector<SensorChannel> listSensorChannels(SystemReader& reader, const std::string& sysRoot) {
    const std::string classDir = sysRoot + "sys/class/hwmon/";
    std::vector<std::string> names;
    if (reader.listDirectory(classDir, names) != 0) return {};
    std::vector<Chip> chips;
    std::string text;
    for (const std::uint32_t n : sources::numberedEntries(names, "hwmon")) {
        Chip chip;
        chip.number = n;
        chip.dir = classDir + "hwmon" + std::to_string(n) + "/";
        // Old drivers keep their attributes on the device rather than the class entry.
        if (reader.readFile(chip.dir + "name", text) != 0) {
            chip.dir += "device/";
            if (reader.readFile(chip.dir + "name", text) != 0) continue;
        }
        chip.name = std::string(sources::parseSysfsWord(text));
        if (chip.name.empty()) continue;
        std::vector<std::string> entries;
        if (reader.listDirectory(chip.dir, entries) != 0) continue;
        chip.channels = sources::hwmonChannels(entries);
        for (const sources::HwmonChannel& c : chip.channels) {
            std::string label;
            if (c.hasLabel && reader.readFile(chip.dir + c.name + "_label", text) == 0)
                label = std::string(sources::parseSysfsWord(text));
            chip.labels.push_back(std::move(label));
        }
        chips.push_back(std::move(chip));
    }

    std::map<std::string, int> chipsNamed;
    for (const Chip& chip : chips) ++chipsNamed[chip.name];
    std::vector<SensorChannel> out;
    for (const Chip& chip : chips) {
        std::string prefix = chip.name;
        if (chipsNamed[chip.name] > 1) prefix += ":" + std::to_string(chip.number);
        prefix += '/';
        for (std::size_t i = 0; i < chip.channels.size(); ++i) {
            const std::string& label = chip.labels[i];
            const bool shared = std::count(chip.labels.begin(), chip.labels.end(), label) > 1;
            out.push_back({prefix + (label.empty() || shared ? chip.channels[i].name : label), chip.dir, chip.channels[i]});
        }
    }
    return out;
}

}  // namespace vantorel::pdh
