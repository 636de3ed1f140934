#include "platform/pdh/engine/query.h"

#include <unistd.h>

namespace vantorel::pdh {
namespace {

// /proc/stat counts in USER_HZ, which the C library reports.
std::int64_t ticksPerSecond() {
    static const std::int64_t hz = [] {
        const long v = ::sysconf(_SC_CLK_TCK);
        return v > 0 ? static_cast<std::int64_t>(v) : std::int64_t{100};
    }();
    return hz;
}

std::string slotKey(ObjectId object, std::string_view instance) {
    std::string key = std::to_string(object);
    key += '\n';
    key += instance;
    return key;
}

}  // namespace

Query::Query(const Roots& roots, SystemReader& reader, DWORD_PTR userData)
    : roots_{Roots::normalise(roots.proc), Roots::normalise(roots.sys)},
      reader_(reader),
      userData_(userData),
      sources_(roots_, reader_) {}

Counter& Query::add(const CounterDef& def, std::string instance, DWORD_PTR userData) {
    // Counters of one instance share its slot, unless the slot's instance has
    // gone for good: a counter added now looks for it afresh.
    Slot*& live = slotByKey_[slotKey(def.object, instance)];
    if (live == nullptr || (live->state != nullptr && live->state->expired())) {
        auto slot = std::make_unique<Slot>();
        slot->provider = &providerOf(def.object);
        slot->instance = instance;
        slot->state = slot->provider->bind(slot->instance, roots_);
        live = slot.get();
        slots_.push_back(std::move(slot));
    }
    const Needs before = live->needs;
    live->needs.add(def);
    if (live->needs.fields != before.fields || live->needs.sources != before.sources || live->samples == 0)
        planned_ = false;

    auto counter = std::make_unique<Counter>();
    counter->def = &def;
    counter->instance = std::move(instance);
    counter->userData = userData;
    counter->slot = live;
    counter->addedAt = live->samples;
    counters_.push_back(std::move(counter));
    return *counters_.back();
}

void Query::plan() {
    sources_.beginPlan();
    for (const auto& slot : slots_) slot->provider->plan(slot->binding(), sources_);
    planned_ = true;
}

void Query::collect() {
    const double now = reader_.bootSeconds();
    sources_.beginCollect(now);
    if (!planned_) plan();
    for (const auto& slot : slots_) slot->provider->collectInstance(slot->binding(), sources_);
    for (const auto& slot : slots_) {
        RawRecord& r = slot->records[(slot->samples + 1) % 2];
        r = RawRecord{};
        r.status = PDH_CSTATUS_VALID_DATA;
        r.time = now;  // a provider that reads an instance at its own moment says so
        slot->provider->extract(slot->binding(), sources_, r);
        ++slot->samples;  // r is now current()
    }
}

Computed Query::value(const Counter& counter, bool noCap100) const {
    const std::uint64_t samples = counter.samples();
    if (samples == 0) return Computed{PDH_NO_DATA, 0.0};
    const RawRecord* previous = samples > 1 ? &counter.slot->previous() : nullptr;
    return computeValue(*counter.def, previous, counter.slot->current(), noCap100);
}

PDH_RAW_COUNTER Query::raw(const Counter& counter) const {
    if (counter.samples() == 0) return PDH_RAW_COUNTER{PDH_NO_DATA, {}, 0, 0, 0};
    return computeRaw(*counter.def, counter.slot->current(), ticksPerSecond());
}

}  // namespace vantorel::pdh
