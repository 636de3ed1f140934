#include "platform/pdh/objects/paging_file.h"

#include <algorithm>
#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/meminfo_reader.h"
#include "platform/pdh/sources/swaps_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

// _Total reads /proc/meminfo, a swap area /proc/swaps.
enum Source : unsigned { Meminfo, Swaps, SourceCount };
constexpr SourceMask kSwap = src(Meminfo) | src(Swaps);
static_assert(fitsMasks<f::PagingFileFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"% Usage", "Percentage of the swap space in use, from /proc/swaps, and for _Total (SwapTotal-SwapFree)/SwapTotal of /proc/meminfo; 0 without swap.", N, Ratio, kSwap, bit(f::SwapUsed), bit(f::SwapTotal), 1, Unit::Percent, true},
    CounterDef{"Usage Bytes", "Swap space in use in bytes, Used of /proc/swaps, and for _Total SwapTotal-SwapFree of /proc/meminfo.", A, Gauge, kSwap, bit(f::SwapUsed), 0, 1, Unit::Bytes},
    CounterDef{"Size Bytes", "Size of the swap space in bytes, Size of /proc/swaps, and for _Total SwapTotal of /proc/meminfo.", A, Gauge, kSwap, bit(f::SwapTotal), 0, 1, Unit::Bytes},
};
// clang-format on

class PagingFileProvider final : public TableProvider {
public:
    PagingFileProvider()
        : TableProvider({"Paging File", "Use of each swap area and of all swap space, from /proc/swaps and /proc/meminfo.", true, "swap"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string> out{std::string(kTotal)};
        if (const sources::SwapTable* swaps = sources.get<SwapsSource>())
            for (const sources::SwapArea& area : swaps->areas) out.push_back(area.path);
        return out;
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.instance == kTotal) {
            const sources::Meminfo* mi = sources.get<MeminfoSource>();
            if (mi == nullptr || !mi->swapTotal || !mi->swapFree) return;
            const std::uint64_t total = *mi->swapTotal;
            const std::uint64_t free = std::min(*mi->swapFree, total);
            out.set(field::SwapUsed, total - free);
            out.set(field::SwapTotal, total);
            return;
        }
        const sources::SwapTable* swaps = sources.get<SwapsSource>();
        if (swaps == nullptr) return void(out.status = PDH_CSTATUS_INVALID_DATA);
        for (const sources::SwapArea& area : swaps->areas) {
            if (area.path != b.instance) continue;
            out.set(field::SwapUsed, std::min(area.usedBytes, area.sizeBytes));
            out.set(field::SwapTotal, area.sizeBytes);
            return;
        }
        out.status = PDH_CSTATUS_NO_INSTANCE;
    }
};

}  // namespace

const Provider& pagingFileProvider() {
    static const PagingFileProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
