#include "platform/pdh/objects/power_supply.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "platform/pdh/objects/device_files.h"
#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/sysfs_entries.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Capacity, Power, Energy, Status, Online, SourceCount };
static_assert(fitsMasks<f::SupplyFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100
    CounterDef{"% Charge", "Charge of the battery in percent of full, capacity of /sys/class/power_supply/NAME.", N, Gauge, src(Capacity), bit(f::SupplyCapacity), 0, 1, Unit::Percent, true},
    CounterDef{"Watts", "Rate of charge or discharge in watts, power_now, else voltage_now times current_now.", N, Gauge, src(Power), bit(f::SupplyMicrowatts), 0, 1e-6, Unit::Watts},
    CounterDef{"Energy Remaining Wh", "Energy left in the battery in watt-hours, energy_now, else charge_now times voltage_now.", A, Gauge, src(Energy), bit(f::SupplyMicrowattHours), 0, 1e-6, Unit::WattHours},
    CounterDef{"Seconds To Empty", "Seconds until the battery is empty at the present rate of discharge; no value unless discharging.", N, Gauge, src(Power) | src(Energy) | src(Status), bit(f::SupplySecondsToEmpty), 0, 1, Unit::Seconds},
    CounterDef{"Online", "1 when the mains supply is connected, 0 when not, the online file of the supply.", N, Gauge, src(Online), bit(f::SupplyOnline), 0, 1, Unit::Count},
};
// clang-format on

class SupplyState final : public InstanceState {
public:
    SupplyState(std::string_view name, const Roots& roots)
        : usable_(sources::isPlainEntryName(name)),
          dir_(roots.sys + "sys/class/power_supply/" + std::string(name) + "/"),
          capacity_(deviceFile(dir_ + "capacity")),
          powerNow_(deviceFile(dir_ + "power_now")),
          voltageNow_(deviceFile(dir_ + "voltage_now")),
          currentNow_(deviceFile(dir_ + "current_now")),
          energyNow_(deviceFile(dir_ + "energy_now")),
          chargeNow_(deviceFile(dir_ + "charge_now")),
          status_(deviceFile(dir_ + "status")),
          online_(deviceFile(dir_ + "online")) {}

    void collect(const Needs& needs, SourceCache& sources) {
        SystemReader& reader = sources.reader();
        // Listing the directory asks the driver nothing; a battery taken out
        // takes its directory with it.
        present_ = usable_ && reader.listDirectory(dir_, sources.listing()) == 0;
        if (!present_) return;
        BoundedReads& reads = sources.source<BoundedReads>();
        const auto ask = [&](const std::shared_ptr<DeviceFile>& file) { reads.request(file, reader); };
        if (needs.has(Capacity)) ask(capacity_);
        if (needs.has(Power)) {
            // The product is read only for drivers without power_now.
            if (!reads.request(powerNow_, reader)) {
                ask(voltageNow_);
                ask(currentNow_);
            }
        }
        if (needs.has(Energy)) {
            if (!reads.request(energyNow_, reader)) {
                ask(chargeNow_);
                ask(voltageNow_);
            }
        }
        if (needs.has(Status)) ask(status_);
        if (needs.has(Online)) ask(online_);
    }

    void extract(RawRecord& out) const {
        if (!present_) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        setUnsigned(out, f::SupplyCapacity, integerOf(capacity_));
        setUnsigned(out, f::SupplyOnline, integerOf(online_));
        const std::optional<double> power = microwatts();
        const std::optional<double> energy = microwattHours();
        if (power) out.set(f::SupplyMicrowatts, static_cast<std::uint64_t>(std::llround(*power)));
        if (energy) out.set(f::SupplyMicrowattHours, static_cast<std::uint64_t>(std::llround(*energy)));
        const std::string* status = status_->text();
        if (status != nullptr && sources::parseSysfsWord(*status) == "Discharging" && power && energy && *power > 0)
            out.set(f::SupplySecondsToEmpty, static_cast<std::uint64_t>(std::llround(*energy * 3600.0 / *power)));
    }

private:
    // Some drivers sign the rate (negative while discharging): the rate is its size.
    std::optional<double> microwatts() const {
        if (const auto p = integerOf(powerNow_)) return std::abs(static_cast<double>(*p));
        if (powerNow_->error() != ENOENT) return std::nullopt;
        const auto v = integerOf(voltageNow_);
        const auto i = integerOf(currentNow_);
        if (!v || !i || *v < 0) return std::nullopt;
        return static_cast<double>(*v) * std::abs(static_cast<double>(*i)) / 1e6;
    }
    std::optional<double> microwattHours() const {
        if (const auto e = integerOf(energyNow_)) return *e >= 0 ? std::optional<double>(static_cast<double>(*e)) : std::nullopt;
        if (energyNow_->error() != ENOENT) return std::nullopt;
        const auto q = integerOf(chargeNow_);
        const auto v = integerOf(voltageNow_);
        if (!q || !v || *q < 0 || *v < 0) return std::nullopt;
        return static_cast<double>(*q) * static_cast<double>(*v) / 1e6;
    }

    bool usable_;
    std::string dir_;
    std::shared_ptr<DeviceFile> capacity_, powerNow_, voltageNow_, currentNow_, energyNow_, chargeNow_, status_, online_;
    bool present_ = false;
};

class PowerSupplyProvider final : public TableProvider {
public:
    PowerSupplyProvider()
        : TableProvider({"Power Supply", "Batteries and mains adapters, from /sys/class/power_supply.", true, "supply"}, kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string>& names = sources.listing();
        if (sources.reader().listDirectory(sources.roots().sys + "sys/class/power_supply", names) != 0) return {};
        std::vector<std::string> out;
        for (const std::string& n : names)
            if (sources::isPlainEntryName(n)) out.push_back(n);
        std::sort(out.begin(), out.end());
        return out;
    }

    std::unique_ptr<InstanceState> bind(std::string_view instance, const Roots& roots) const override {
        return std::make_unique<SupplyState>(instance, roots);
    }

    void collectInstance(const Binding& b, SourceCache& sources) const override {
        static_cast<SupplyState*>(b.state)->collect(b.needs, sources);
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        sources.get<BoundedReads>();
        static_cast<const SupplyState*>(b.state)->extract(out);
    }
};

}  // namespace

const Provider& powerSupplyProvider() {
    static const PowerSupplyProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
