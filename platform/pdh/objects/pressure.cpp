#include "platform/pdh/objects/pressure.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/sysfs_entries.h"
#include "platform/pdh/sources/pressure.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { PressureFile, SourceCount };
constexpr SourceMask kPsi = src(PressureFile);
static_assert(fitsMasks<f::PressureFieldCount, SourceCount>());

// Stalled microseconds over elapsed seconds, as a percentage.
constexpr double kUsToPercent = 100.0 / 1e6;

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"% Some Stall Time", "Percentage of the time in which at least one task stalled on the resource, the some total of /proc/pressure/NAME over elapsed time.", N, Rate, kPsi, bit(f::SomeTotalUs), 0, kUsToPercent, Unit::Percent, true},
    CounterDef{"% Full Stall Time", "Percentage of the time in which all non-idle tasks stalled on the resource at once, the full total of /proc/pressure/NAME over elapsed time.", N, Rate, kPsi, bit(f::FullTotalUs), 0, kUsToPercent, Unit::Percent, true},
    CounterDef{"Some Average 10 Seconds", "The kernel's running average of the some stall percentage over 10 seconds, avg10 of /proc/pressure/NAME.", A, Gauge, kPsi, bit(f::SomeAvg10), 0, 0.01, Unit::Percent},
    CounterDef{"Some Average 60 Seconds", "The kernel's running average of the some stall percentage over 60 seconds, avg60 of /proc/pressure/NAME.", A, Gauge, kPsi, bit(f::SomeAvg60), 0, 0.01, Unit::Percent},
    CounterDef{"Some Average 300 Seconds", "The kernel's running average of the some stall percentage over 300 seconds, avg300 of /proc/pressure/NAME.", A, Gauge, kPsi, bit(f::SomeAvg300), 0, 0.01, Unit::Percent},
    CounterDef{"Full Average 10 Seconds", "The kernel's running average of the full stall percentage over 10 seconds, avg10 of /proc/pressure/NAME.", A, Gauge, kPsi, bit(f::FullAvg10), 0, 0.01, Unit::Percent},
    CounterDef{"Full Average 60 Seconds", "The kernel's running average of the full stall percentage over 60 seconds, avg60 of /proc/pressure/NAME.", A, Gauge, kPsi, bit(f::FullAvg60), 0, 0.01, Unit::Percent},
    CounterDef{"Full Average 300 Seconds", "The kernel's running average of the full stall percentage over 300 seconds, avg300 of /proc/pressure/NAME.", A, Gauge, kPsi, bit(f::FullAvg300), 0, 0.01, Unit::Percent},
};
// clang-format on

// The order a person reads them in; a resource a later kernel adds comes after.
constexpr std::array<std::string_view, 4> kKnown{"cpu", "memory", "io", "irq"};

std::size_t rank(std::string_view name) {
    return static_cast<std::size_t>(std::find(kKnown.begin(), kKnown.end(), name) - kKnown.begin());
}

// One resource's file, kept open between collects.
class ResourceFile final : public InstanceState {
public:
    ResourceFile(std::string_view name, const Roots& roots)
        : usable_(sources::isPlainEntryName(name)),
          file_(roots.proc + "proc/pressure/" + std::string(name)) {}

    void read(SourceCache& sources) {
        pressure_.reset();
        error_ = usable_ ? file_.read(sources.reader(), sources.buffer()) : ENOENT;
        if (error_ == 0) pressure_ = sources::parsePressure(sources.buffer());
        if (error_ != 0) file_.close();
    }
    // No file: no such resource. A file that cannot be read (irq answers
    // EOPNOTSUPP when interrupt time is not accounted) or parsed: no value.
    PDH_STATUS status() const {
        if (error_ == ENOENT) return PDH_CSTATUS_NO_INSTANCE;
        return pressure_ ? PDH_CSTATUS_VALID_DATA : PDH_CSTATUS_INVALID_DATA;
    }
    const std::optional<sources::Pressure>& pressure() const { return pressure_; }

private:
    bool usable_;
    KeptFile file_;
    int error_ = ENOENT;
    std::optional<sources::Pressure> pressure_;
};

class PressureProvider final : public TableProvider {
public:
    PressureProvider()
        : TableProvider({"Pressure", "Share of time tasks stalled waiting for a resource (cpu, memory, io, irq), from the kernel's pressure-stall files in /proc/pressure.", true, "resource"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string>& names = sources.listing();
        if (sources.reader().listDirectory(sources.roots().proc + "proc/pressure", names) != 0) return {};
        std::vector<std::string> out(names.begin(), names.end());
        std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
            return rank(a) != rank(b) ? rank(a) < rank(b) : a < b;
        });
        return out;
    }

    std::unique_ptr<InstanceState> bind(std::string_view instance, const Roots& roots) const override {
        return std::make_unique<ResourceFile>(instance, roots);
    }

    void collectInstance(const Binding& b, SourceCache& sources) const override {
        static_cast<ResourceFile*>(b.state)->read(sources);
    }

    void extract(const Binding& b, SourceCache&, RawRecord& out) const override {
        using namespace field;
        const auto* file = static_cast<const ResourceFile*>(b.state);
        out.status = file->status();
        if (out.status != PDH_CSTATUS_VALID_DATA) return;
        if (const auto& some = file->pressure()->some) {
            out.set(SomeTotalUs, some->totalUs);
            out.set(SomeAvg10, some->avg10);
            out.set(SomeAvg60, some->avg60);
            out.set(SomeAvg300, some->avg300);
        }
        if (const auto& full = file->pressure()->full) {
            out.set(FullTotalUs, full->totalUs);
            out.set(FullAvg10, full->avg10);
            out.set(FullAvg60, full->avg60);
            out.set(FullAvg300, full->avg300);
        }
    }
};

}  // namespace

const Provider& pressureProvider() {
    static const PressureProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
