#include "platform/pdh/engine/query.h"

#include <algorithm>

#include "platform/pdh/engine/extract.h"

namespace vantorel::pdh {
namespace {

constexpr SourceSet kPidFiles = Source::PidStat | Source::PidStatus | Source::PidIo | Source::PidFd;

}  // namespace

Query::Query(const Roots& roots, SystemReader& reader, const ProcessUnits& units, DWORD_PTR userData)
    : roots_{Roots::normalise(roots.proc), Roots::normalise(roots.sys)},
      reader_(reader),
      units_(units),
      userData_(userData),
      machine_(roots_, reader_),
      scan_(roots_) {}

Counter& Query::add(const CounterDef& def, std::string instance, DWORD_PTR userData) {
    auto counter = std::make_unique<Counter>();
    counter->def = &def;
    counter->userData = userData;
    if (def.object == ObjectId::Process && instance != kTotal) {
        // Counters of one instance share its tracker, unless the tracker's
        // process has gone: a counter added now looks for the pid afresh.
        auto found = std::find_if(trackers_.rbegin(), trackers_.rend(), [&](const auto& t) {
            return !t->lost() && processInstanceName(t->instance().name, t->instance().pid) == instance;
        });
        if (found != trackers_.rend()) {
            counter->tracker = *found;
        } else if (std::optional<ProcessInstance> parsed = parseProcessInstance(instance)) {
            counter->tracker = std::make_shared<ProcessTracker>(std::move(*parsed), roots_);
            trackers_.push_back(counter->tracker);
        }
    }
    if (!counter->tracker && !(def.object == ObjectId::Process && instance != kTotal)) {
        auto slot = std::find_if(slots_.begin(), slots_.end(),
                                 [&](const Slot& s) { return s.object == def.object && s.instance == instance; });
        if (slot == slots_.end()) slot = slots_.insert(slots_.end(), Slot{def.object, instance, RawRecord{}});
        counter->slot = static_cast<std::size_t>(slot - slots_.begin());
    }
    counter->instance = std::move(instance);
    counters_.push_back(std::move(counter));
    planSources();
    return *counters_.back();
}

void Query::planSources() {
    machineNeeds_ = 0;
    scanFiles_ = 0;
    scanNeeded_ = false;
    speedInterfaces_.clear();
    trackerFiles_.assign(trackers_.size(), 0);
    for (const auto& c : counters_) {
        const CounterDef& def = *c->def;
        const SourceSet pidFiles = static_cast<SourceSet>(def.sources & kPidFiles);
        machineNeeds_ = static_cast<SourceSet>(machineNeeds_ | (def.sources & ~kPidFiles & ~static_cast<SourceSet>(Source::ProcessList)));
        if (def.object == ObjectId::NetworkInterface) {
            machineNeeds_ = machineNeeds_ | Source::NetDev;  // tells whether the interface exists
            if (has(def.sources, Source::NetSpeed) &&
                std::find(speedInterfaces_.begin(), speedInterfaces_.end(), c->instance) == speedInterfaces_.end())
                speedInterfaces_.push_back(c->instance);
        }
        if (def.object == ObjectId::System && has(def.sources, Source::ProcessList)) {
            scanNeeded_ = true;
            scanFiles_ = static_cast<SourceSet>(scanFiles_ | pidFiles);
        } else if (def.object == ObjectId::Process) {
            // Every process counter needs stat: it is what tells the process apart.
            const SourceSet files = static_cast<SourceSet>(pidFiles | static_cast<SourceSet>(Source::PidStat));
            if (c->instance == kTotal) {
                scanNeeded_ = true;
                scanFiles_ = static_cast<SourceSet>(scanFiles_ | files);
            } else if (c->tracker) {
                const auto it = std::find(trackers_.begin(), trackers_.end(), c->tracker);
                if (it != trackers_.end()) {
                    SourceSet& f = trackerFiles_[static_cast<std::size_t>(it - trackers_.begin())];
                    f = static_cast<SourceSet>(f | files);
                }
            }
        }
    }
    trackerViews_.clear();
    for (const auto& t : trackers_) trackerViews_.push_back(t.get());
}

void Query::collect() {
    const double now = reader_.bootSeconds();
    machine_.collect(machineNeeds_, speedInterfaces_);
    for (std::size_t i = 0; i < trackers_.size(); ++i)
        if (trackerFiles_[i] != 0) trackers_[i]->collect(reader_, trackerFiles_[i], buffer_, listing_);
    if (scanNeeded_) scan_.collect(reader_, scanFiles_, trackerViews_, units_, now, buffer_, listing_);

    const CollectedSources sources{machine_, scan_, units_};
    for (Slot& slot : slots_) {
        extractRecord(slot.object, slot.instance, sources, slot.record);
        slot.record.time = now;
    }
    for (const auto& c : counters_) {
        RawRecord& r = c->records[(c->samples + 1) % 2];
        if (c->def->object == ObjectId::Process && c->instance != kTotal) {
            r = RawRecord{};
            if (c->tracker) {
                r.status = c->tracker->status();
                if (r.status == PDH_CSTATUS_VALID_DATA) fillProcessRecord(c->tracker->files(), units_, r);
            } else {
                r.status = PDH_CSTATUS_NO_INSTANCE;  // not "name:pid": no process is called that
            }
        } else {
            r = slots_[c->slot].record;
        }
        r.time = now;
        ++c->samples;  // r is now current()
    }
}

Computed Query::value(const Counter& counter, bool noCap100) const {
    if (counter.samples == 0) return Computed{PDH_NO_DATA, 0.0};
    const RawRecord* previous = counter.samples > 1 ? &counter.previous() : nullptr;
    return computeValue(*counter.def, previous, counter.current(), noCap100);
}

}  // namespace vantorel::pdh
