#include "platform/pdh/objects/network_interface.h"

#include <algorithm>
#include <array>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/sysfs_entries.h"
#include "platform/pdh/sources/net_dev_reader.h"
#include "platform/pdh/sources/net_speed.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { NetDev, Speed, SourceCount };
constexpr SourceMask kNet = src(NetDev);
constexpr SourceMask kSpeed = src(Speed);
static_assert(fitsMasks<f::NetworkFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"Bytes Received/sec", "Bytes received per second, from /proc/net/dev.", N, Rate, kNet, bit(f::RxBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{"Bytes Sent/sec", "Bytes sent per second, from /proc/net/dev.", N, Rate, kNet, bit(f::TxBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{"Bytes Total/sec", "Bytes received and sent per second, from /proc/net/dev.", N, Rate, kNet, bit(f::RxBytes) | bit(f::TxBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{"Packets Received/sec", "Packets received per second, from /proc/net/dev.", A, Rate, kNet, bit(f::RxPackets), 0, 1, Unit::PerSecond},
    CounterDef{"Packets Sent/sec", "Packets sent per second, from /proc/net/dev.", A, Rate, kNet, bit(f::TxPackets), 0, 1, Unit::PerSecond},
    CounterDef{"Packets/sec", "Packets received and sent per second, from /proc/net/dev.", A, Rate, kNet, bit(f::RxPackets) | bit(f::TxPackets), 0, 1, Unit::PerSecond},
    CounterDef{"Packets Received Errors", "Received packets with errors since boot, from /proc/net/dev.", E, Gauge, kNet, bit(f::RxErrs), 0, 1, Unit::Count},
    CounterDef{"Packets Outbound Errors", "Packets that could not be sent because of errors since boot, from /proc/net/dev.", E, Gauge, kNet, bit(f::TxErrs), 0, 1, Unit::Count},
    CounterDef{"Packets Received Discarded", "Received packets dropped since boot, from /proc/net/dev.", E, Gauge, kNet, bit(f::RxDrop), 0, 1, Unit::Count},
    CounterDef{"Packets Outbound Discarded", "Outgoing packets dropped since boot, from /proc/net/dev.", E, Gauge, kNet, bit(f::TxDrop), 0, 1, Unit::Count},
    CounterDef{"Current Bandwidth", "Link speed in bits per second, from /sys/class/net/IF/speed (Mbit/s).", A, Gauge, kSpeed, bit(f::SpeedMbit), 0, 1e6, Unit::BitsPerSecond},
};
// clang-format on

// An interface's own speed file, kept open between collects.
class InterfaceState final : public InstanceState {
public:
    InterfaceState(std::string_view name, const Roots& roots)
        : usable_(sources::isPlainEntryName(name)),
          speed_(roots.sys + "sys/class/net/" + std::string(name) + "/speed") {}

    void read(SourceCache& sources) {
        mbits_.reset();
        if (!usable_) return;
        // A link that is down answers EINVAL: that too is an unknown speed.
        if (speed_.read(sources.reader(), sources.buffer()) == 0) mbits_ = sources::parseNetSpeed(sources.buffer());
        if (!mbits_) speed_.close();  // the interface may have gone and come back
    }
    const std::optional<std::uint32_t>& mbits() const { return mbits_; }

private:
    bool usable_;
    KeptFile speed_;
    std::optional<std::uint32_t> mbits_;
};

class NetworkInterfaceProvider final : public TableProvider {
public:
    NetworkInterfaceProvider()
        : TableProvider({"Network Interface", "Traffic and errors of each network interface, from /proc/net/dev and /sys/class/net.", true, "interface"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string> out;
        if (const sources::NetDevTable* table = sources.get<NetDevTableSource>())
            for (const auto& d : table->devices) out.push_back(d.name);
        return out;
    }

    std::unique_ptr<InstanceState> bind(std::string_view instance, const Roots& roots) const override {
        return std::make_unique<InterfaceState>(instance, roots);
    }

    void collectInstance(const Binding& b, SourceCache& sources) const override {
        if (b.needs.has(Speed)) static_cast<InterfaceState*>(b.state)->read(sources);
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        using namespace field;
        // /proc/net/dev tells whether the interface exists, whatever the counter.
        const sources::NetDevTable* table = sources.get<NetDevTableSource>();
        if (table == nullptr) return void(out.status = PDH_CSTATUS_INVALID_DATA);
        const auto& devices = table->devices;
        const auto dev = std::find_if(devices.begin(), devices.end(),
                                      [&](const sources::NetDevice& d) { return d.name == b.instance; });
        if (dev == devices.end()) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        out.set(RxBytes, dev->rxBytes);
        out.set(TxBytes, dev->txBytes);
        out.set(RxPackets, dev->rxPackets);
        out.set(TxPackets, dev->txPackets);
        out.set(RxErrs, dev->rxErrors);
        out.set(TxErrs, dev->txErrors);
        out.set(RxDrop, dev->rxDropped);
        out.set(TxDrop, dev->txDropped);
        const auto& mbits = static_cast<const InterfaceState*>(b.state)->mbits();
        if (b.needs.has(Speed) && mbits) out.set(SpeedMbit, *mbits);
    }
};

}  // namespace

const Provider& networkInterfaceProvider() {
    static const NetworkInterfaceProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
