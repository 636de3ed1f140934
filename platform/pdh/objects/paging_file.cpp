#include "platform/pdh/objects/paging_file.h"

#include <algorithm>
#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/meminfo_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Meminfo, SourceCount };
constexpr SourceMask kMem = src(Meminfo);
static_assert(fitsMasks<f::PagingFileFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"% Usage", "Percentage of swap space in use, (SwapTotal-SwapFree)/SwapTotal of /proc/meminfo; 0 without swap.", N, Ratio, kMem, bit(f::SwapUsed), bit(f::SwapTotal), 1, Unit::Percent, true},
};
// clang-format on

class PagingFileProvider final : public TableProvider {
public:
    PagingFileProvider() : TableProvider({"Paging File", "Use of the swap space, from /proc/meminfo.", true, "swap"}, kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {std::string(kTotal)}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.instance != kTotal) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        const sources::Meminfo* mi = sources.get<MeminfoSource>();
        if (mi == nullptr || !mi->swapTotal || !mi->swapFree) return;
        const std::uint64_t total = *mi->swapTotal;
        const std::uint64_t free = std::min(*mi->swapFree, total);
        out.set(field::SwapUsed, total - free);
        out.set(field::SwapTotal, total);
    }
};

}  // namespace

const Provider& pagingFileProvider() {
    static const PagingFileProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
