#include "platform/pdh/objects/hardware_sensor.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/pdh/objects/device_files.h"
#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/hwmon_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
using sources::HwmonKind;
namespace f = field;

enum Source : unsigned { Input, Max, Crit, SourceCount };
static_assert(fitsMasks<f::SensorFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Temperature", "Temperature in degrees Celsius, tempX_input of /sys/class/hwmon/hwmonN (millidegrees).", N, SignedGauge, src(Input), bit(f::SensorMilliC), 0, 1e-3, Unit::Celsius},
    CounterDef{"Fan Speed", "Fan speed in revolutions per minute, fanX_input of /sys/class/hwmon/hwmonN.", N, Gauge, src(Input), bit(f::SensorRpm), 0, 1, Unit::Rpm},
    CounterDef{"Millivolts", "Voltage in millivolts, inX_input of /sys/class/hwmon/hwmonN.", A, SignedGauge, src(Input), bit(f::SensorMillivolts), 0, 1, Unit::Millivolts},
    CounterDef{"Milliamperes", "Current in milliamperes, currX_input of /sys/class/hwmon/hwmonN.", A, SignedGauge, src(Input), bit(f::SensorMilliamps), 0, 1, Unit::Milliamperes},
    CounterDef{"Watts", "Power in watts, powerX_input or powerX_average of /sys/class/hwmon/hwmonN (microwatts).", N, Gauge, src(Input), bit(f::SensorMicrowatts), 0, 1e-6, Unit::Watts},
    CounterDef{"High Limit", "Temperature in degrees Celsius above which the chip reports an alarm, tempX_max.", E, SignedGauge, src(Max), bit(f::SensorMaxMilliC), 0, 1e-3, Unit::Celsius},
    CounterDef{"Critical Limit", "Temperature in degrees Celsius the chip calls critical, tempX_crit.", E, SignedGauge, src(Crit), bit(f::SensorCritMilliC), 0, 1e-3, Unit::Celsius},
};
// clang-format on

unsigned valueField(HwmonKind kind) {
    switch (kind) {
        case HwmonKind::Temperature: return f::SensorMilliC;
        case HwmonKind::Fan: return f::SensorRpm;
        case HwmonKind::Voltage: return f::SensorMillivolts;
        case HwmonKind::Current: return f::SensorMilliamps;
        case HwmonKind::Power: return f::SensorMicrowatts;
    }
    return f::SensorMilliC;
}

// A channel found by its name in the listing of every chip; found again when
// its files go away (a driver reloaded renumbers the chips).
class ChannelState final : public InstanceState {
public:
    ChannelState(std::string_view instance, const Roots& roots) : instance_(instance), sysRoot_(roots.sys) {}

    void collect(const Needs& needs, SourceCache& sources) {
        SystemReader& reader = sources.reader();
        if (!found_) resolve(reader);
        if (!found_) return;
        BoundedReads& reads = sources.source<BoundedReads>();
        if (needs.has(Input) && !reads.request(input_, reader) && gone(input_->error())) {
            found_ = false;
            return;
        }
        if (needs.has(Max) && max_) reads.request(max_, reader);
        if (needs.has(Crit) && crit_) reads.request(crit_, reader);
    }

    void extract(RawRecord& out) const {
        if (!found_) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        const unsigned field = valueField(kind_);
        if (field == f::SensorRpm || field == f::SensorMicrowatts) {
            setUnsigned(out, field, integerOf(input_));
        } else {
            setSigned(out, field, integerOf(input_));
        }
        setSigned(out, f::SensorMaxMilliC, integerOf(max_));
        setSigned(out, f::SensorCritMilliC, integerOf(crit_));
    }

private:
    static bool gone(int error) { return error == ENOENT || error == ENODEV; }

    void resolve(SystemReader& reader) {
        for (const SensorChannel& c : listSensorChannels(reader, sysRoot_)) {
            if (c.instance != instance_) continue;
            found_ = true;
            kind_ = c.channel.kind;
            input_ = deviceFile(c.dir + c.channel.valueFile);
            max_ = c.channel.hasMax ? deviceFile(c.dir + c.channel.name + "_max") : nullptr;
            crit_ = c.channel.hasCrit ? deviceFile(c.dir + c.channel.name + "_crit") : nullptr;
            return;
        }
    }

    std::string instance_;
    std::string sysRoot_;
    bool found_ = false;
    HwmonKind kind_ = HwmonKind::Temperature;
    std::shared_ptr<DeviceFile> input_, max_, crit_;
};

class HardwareSensorProvider final : public TableProvider {
public:
    HardwareSensorProvider()
        : TableProvider({"Hardware Sensor", "Each channel of each hardware monitoring chip (CHIP/LABEL), from /sys/class/hwmon.", true, "sensor"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string> out;
        for (SensorChannel& c : listSensorChannels(sources.reader(), sources.roots().sys))
            out.push_back(std::move(c.instance));
        return out;
    }

    std::unique_ptr<InstanceState> bind(std::string_view instance, const Roots& roots) const override {
        return std::make_unique<ChannelState>(instance, roots);
    }

    void collectInstance(const Binding& b, SourceCache& sources) const override {
        static_cast<ChannelState*>(b.state)->collect(b.needs, sources);
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        sources.get<BoundedReads>();
        static_cast<const ChannelState*>(b.state)->extract(out);
    }
};

}  // namespace

const Provider& hardwareSensorProvider() {
    static const HardwareSensorProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
