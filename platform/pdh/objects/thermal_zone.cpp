#include "platform/pdh/objects/thermal_zone.h"

#include <array>

#include "platform/pdh/objects/device_files.h"
#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/sysfs_entries.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Temp, Critical, SourceCount };
static_assert(fitsMasks<f::ThermalFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Temperature", "Temperature of the zone in degrees Celsius, temp of /sys/class/thermal/thermal_zoneN (millidegrees).", N, SignedGauge, src(Temp), bit(f::ZoneMilliC), 0, 1e-3, Unit::Celsius},
    CounterDef{"Critical Temperature", "Temperature in degrees Celsius at which the kernel shuts the machine down, the zone's trip point of type critical.", A, SignedGauge, src(Critical), bit(f::ZoneCriticalMilliC), 0, 1e-3, Unit::Celsius},
};
// clang-format on

std::string zoneDir(const std::string& sysRoot, std::uint32_t n) {
    return sysRoot + "sys/class/thermal/thermal_zone" + std::to_string(n) + "/";
}

// "TYPE:N": the zone number after the last ':'.
struct ZoneName {
    std::string type;
    std::uint32_t number = 0;
};
std::optional<ZoneName> parseZoneName(std::string_view instance) {
    const std::size_t colon = instance.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    const auto n = sources::numberedEntry(instance.substr(colon + 1), "");
    if (!n) return std::nullopt;
    return ZoneName{std::string(instance.substr(0, colon)), *n};
}

class ZoneState final : public InstanceState {
public:
    ZoneState(ZoneName name, const Roots& roots)
        : name_(std::move(name)), dir_(zoneDir(roots.sys, name_.number)), temp_(deviceFile(dir_ + "temp")) {}

    void collect(const Needs& needs, SourceCache& sources) {
        SystemReader& reader = sources.reader();
        std::string& text = sources.buffer();
        // The type says whether thermal_zoneN is still this zone (numbers follow
        // the order drivers load in).
        present_ = reader.readFile(dir_ + "type", text) == 0 && sources::parseSysfsWord(text) == name_.type;
        if (!present_) {
            critical_.reset();
            criticalKnown_ = false;
            return;
        }
        if (needs.has(Temp)) sources.source<BoundedReads>().request(temp_, reader);
        if (needs.has(Critical)) {
            if (!criticalKnown_) findCritical(reader, sources);
            if (critical_) sources.source<BoundedReads>().request(critical_, reader);
        }
    }

    void extract(RawRecord& out) const {
        if (!present_) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        setSigned(out, f::ZoneMilliC, integerOf(temp_));
        setSigned(out, f::ZoneCriticalMilliC, integerOf(critical_));
    }

private:
    void findCritical(SystemReader& reader, SourceCache& sources) {
        criticalKnown_ = true;
        std::vector<std::string>& names = sources.listing();
        if (reader.listDirectory(dir_, names) != 0) return;
        const std::vector<std::string> entries = names;
        for (const std::string& entry : entries) {
            if (!entry.starts_with("trip_point_") || !entry.ends_with("_type")) continue;
            if (reader.readFile(dir_ + entry, sources.buffer()) != 0) continue;
            if (sources::parseSysfsWord(sources.buffer()) != "critical") continue;
            critical_ = deviceFile(dir_ + entry.substr(0, entry.size() - 4) + "temp");
            return;
        }
    }

    ZoneName name_;
    std::string dir_;
    std::shared_ptr<DeviceFile> temp_;
    std::shared_ptr<DeviceFile> critical_;
    bool criticalKnown_ = false;
    bool present_ = false;
};

class NoSuchZone final : public InstanceState {};

class ThermalZoneProvider final : public TableProvider {
public:
    ThermalZoneProvider()
        : TableProvider({"Thermal Zone", "Temperatures of the kernel's thermal zones (TYPE:N), from /sys/class/thermal.", true, "zone"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string> out;
        SystemReader& reader = sources.reader();
        std::vector<std::string>& names = sources.listing();
        if (reader.listDirectory(sources.roots().sys + "sys/class/thermal", names) != 0) return out;
        for (const std::uint32_t n : sources::numberedEntries(names, "thermal_zone")) {
            if (reader.readFile(zoneDir(sources.roots().sys, n) + "type", sources.buffer()) != 0) continue;
            const std::string_view type = sources::parseSysfsWord(sources.buffer());
            if (!type.empty()) out.push_back(std::string(type) + ":" + std::to_string(n));
        }
        return out;
    }

    std::unique_ptr<InstanceState> bind(std::string_view instance, const Roots& roots) const override {
        if (auto name = parseZoneName(instance)) return std::make_unique<ZoneState>(std::move(*name), roots);
        return std::make_unique<NoSuchZone>();
    }

    void collectInstance(const Binding& b, SourceCache& sources) const override {
        if (auto* zone = dynamic_cast<ZoneState*>(b.state)) zone->collect(b.needs, sources);
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        sources.get<BoundedReads>();
        const auto* zone = dynamic_cast<const ZoneState*>(b.state);
        if (zone == nullptr) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        zone->extract(out);
    }
};

}  // namespace

const Provider& thermalZoneProvider() {
    static const ThermalZoneProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
