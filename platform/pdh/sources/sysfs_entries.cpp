#include "platform/pdh/sources/sysfs_entries.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

std::optional<std::uint32_t> numberedEntry(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) return std::nullopt;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.empty() || (digits.size() > 1 && digits.front() == '0')) return std::nullopt;
    return scan::toNumber<std::uint32_t>(digits);
}

std::vector<std::uint32_t> numberedEntries(std::span<const std::string> names, std::string_view prefix) {
    std::vector<std::uint32_t> out;
    for (const std::string& name : names)
        if (const auto n = numberedEntry(name, prefix)) out.push_back(*n);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::vector<std::string> drmCards(std::span<const std::string> names) {
    std::vector<std::string> out;
    for (const std::uint32_t n : numberedEntries(names, "card")) out.push_back("card" + std::to_string(n));
    return out;
}

bool isPlainEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

namespace {

struct KindPrefix {
    std::string_view prefix;
    HwmonKind kind;
};
constexpr std::array<KindPrefix, 5> kKinds{{
    {"temp", HwmonKind::Temperature},
    {"fan", HwmonKind::Fan},
    {"in", HwmonKind::Voltage},
    {"curr", HwmonKind::Current},
    {"power", HwmonKind::Power},
}};

// "temp1_input" -> (Temperature, 1, "input").
bool splitAttribute(std::string_view name, HwmonKind& kind, std::uint32_t& index, std::string_view& item) {
    const std::size_t underscore = name.find('_');
    if (underscore == std::string_view::npos) return false;
    const std::string_view channel = name.substr(0, underscore);
    item = name.substr(underscore + 1);
    for (const KindPrefix& k : kKinds) {
        const auto n = numberedEntry(channel, k.prefix);
        if (n) {
            kind = k.kind;
            index = *n;
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<HwmonChannel> hwmonChannels(std::span<const std::string> names) {
    std::map<std::tuple<HwmonKind, std::uint32_t>, HwmonChannel> found;
    std::map<std::tuple<HwmonKind, std::uint32_t>, bool> hasInput;
    for (const std::string& name : names) {
        HwmonKind kind{};
        std::uint32_t index = 0;
        std::string_view item;
        if (!splitAttribute(name, kind, index, item)) continue;
        HwmonChannel& c = found[{kind, index}];
        c.kind = kind;
        c.index = index;
        c.name = name.substr(0, name.find('_'));
        if (item == "input") {
            c.valueFile = name;
            hasInput[{kind, index}] = true;
        } else if (item == "average" && kind == HwmonKind::Power && !hasInput[{kind, index}]) {
            c.valueFile = name;
        } else if (item == "label") {
            c.hasLabel = true;
        } else if (item == "max" && kind == HwmonKind::Temperature) {
            c.hasMax = true;
        } else if (item == "crit" && kind == HwmonKind::Temperature) {
            c.hasCrit = true;
        }
    }
    std::vector<HwmonChannel> out;
    for (auto& [key, channel] : found)
        if (!channel.valueFile.empty()) out.push_back(std::move(channel));
    return out;
}

}  // namespace vantorel::pdh::sources
