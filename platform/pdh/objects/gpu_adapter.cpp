#include "platform/pdh/objects/gpu_adapter.h"

#include <algorithm>
#include <array>

#include "platform/pdh/objects/device_files.h"
#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/sysfs_entries.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Busy, VramUsed, VramTotal, Clock, SourceCount };
static_assert(fitsMasks<f::AdapterFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100
    CounterDef{"% Busy", "Percentage of time the GPU was busy, gpu_busy_percent of the adapter's device (amdgpu).", N, Gauge, src(Busy), bit(f::AdapterBusy), 0, 1, Unit::Percent, true},
    CounterDef{"Dedicated Memory Used Bytes", "Video memory in use in bytes, mem_info_vram_used of the adapter's device.", N, Gauge, src(VramUsed), bit(f::AdapterVramUsed), 0, 1, Unit::Bytes},
    CounterDef{"Dedicated Memory Total Bytes", "Video memory of the adapter in bytes, mem_info_vram_total of its device.", A, Gauge, src(VramTotal), bit(f::AdapterVramTotal), 0, 1, Unit::Bytes},
    CounterDef{"Current Frequency MHz", "Graphics clock now in MHz, gt_cur_freq_mhz (Intel) or the starred level of pp_dpm_sclk (amdgpu).", A, Gauge, src(Clock), bit(f::AdapterMhz), 0, 1, Unit::Megahertz},
};
// clang-format on

bool hasDevice(const std::vector<std::string>& entries) {
    return std::find(entries.begin(), entries.end(), "device") != entries.end();
}

// Every file is read only when a counter asks for it: reading one wakes a
// discrete GPU that the kernel has put to sleep.
class AdapterState final : public InstanceState {
public:
    AdapterState(std::string_view card, const Roots& roots)
        : usable_(sources::numberedEntry(card, "card").has_value()),
          dir_(roots.sys + "sys/class/drm/" + std::string(card) + "/"),
          busy_(deviceFile(dir_ + "device/gpu_busy_percent")),
          vramUsed_(deviceFile(dir_ + "device/mem_info_vram_used")),
          vramTotal_(deviceFile(dir_ + "device/mem_info_vram_total")),
          gtFreq_(deviceFile(dir_ + "gt_cur_freq_mhz")),
          sclk_(deviceFile(dir_ + "device/pp_dpm_sclk")) {}

    void collect(const Needs& needs, SourceCache& sources) {
        SystemReader& reader = sources.reader();
        present_ = usable_ && reader.listDirectory(dir_, sources.listing()) == 0 && hasDevice(sources.listing());
        if (!present_) return;
        BoundedReads& reads = sources.source<BoundedReads>();
        if (needs.has(Busy)) reads.request(busy_, reader);
        if (needs.has(VramUsed)) reads.request(vramUsed_, reader);
        if (needs.has(VramTotal)) reads.request(vramTotal_, reader);
        if (needs.has(Clock)) {
            intelClock_ = reads.request(gtFreq_, reader);
            if (!intelClock_) reads.request(sclk_, reader);
        }
    }

    void extract(RawRecord& out) const {
        if (!present_) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        setUnsigned(out, f::AdapterBusy, integerOf(busy_));
        setUnsigned(out, f::AdapterVramUsed, integerOf(vramUsed_));
        setUnsigned(out, f::AdapterVramTotal, integerOf(vramTotal_));
        if (intelClock_) {
            setUnsigned(out, f::AdapterMhz, integerOf(gtFreq_));
        } else if (const std::string* text = sclk_->text()) {
            if (const auto mhz = sources::parseStarredClockMhz(*text)) out.set(f::AdapterMhz, *mhz);
        }
    }

private:
    bool usable_;
    std::string dir_;
    std::shared_ptr<DeviceFile> busy_, vramUsed_, vramTotal_, gtFreq_, sclk_;
    bool intelClock_ = false;
    bool present_ = false;
};

class GpuAdapterProvider final : public TableProvider {
public:
    GpuAdapterProvider()
        : TableProvider({"GPU Adapter", "Each graphics adapter (cardN), from /sys/class/drm and its device.", true, "card"}, kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        SystemReader& reader = sources.reader();
        const std::string dir = sources.roots().sys + "sys/class/drm/";
        std::vector<std::string> names;
        if (reader.listDirectory(dir, names) != 0) return {};
        std::vector<std::string> out;
        for (std::string& card : sources::drmCards(names))
            if (reader.listDirectory(dir + card, sources.listing()) == 0 && hasDevice(sources.listing()))
                out.push_back(std::move(card));
        return out;
    }

    std::unique_ptr<InstanceState> bind(std::string_view instance, const Roots& roots) const override {
        return std::make_unique<AdapterState>(instance, roots);
    }

    void collectInstance(const Binding& b, SourceCache& sources) const override {
        static_cast<AdapterState*>(b.state)->collect(b.needs, sources);
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        sources.get<BoundedReads>();
        static_cast<const AdapterState*>(b.state)->extract(out);
    }
};

}  // namespace

const Provider& gpuAdapterProvider() {
    static const GpuAdapterProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
