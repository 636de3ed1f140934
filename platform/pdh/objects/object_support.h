// What every provider file uses: the detail levels in short, and a base that
// serves the provider's object and counter rows.
#pragma once

#include <span>
#include <string_view>

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh::objects {

inline constexpr DWORD N = PERF_DETAIL_NOVICE;
inline constexpr DWORD A = PERF_DETAIL_ADVANCED;
inline constexpr DWORD E = PERF_DETAIL_EXPERT;
inline constexpr DWORD W = PERF_DETAIL_WIZARD;

class TableProvider : public Provider {
public:
    TableProvider(ObjectDef object, std::span<const CounterDef> counters) : object_(object), counters_(counters) {}
    ObjectDef object() const override { return object_; }
    std::span<const CounterDef> counters() const override { return counters_; }

private:
    ObjectDef object_;
    std::span<const CounterDef> counters_;
};

// A row's fields and sources must fit the masks, and its detail level the range.
template <std::size_t FieldCount, std::size_t SourceCount>
constexpr bool fitsMasks() {
    return FieldCount <= kMaxFields && SourceCount <= kMaxSources;
}

}  // namespace vantorel::pdh::objects
