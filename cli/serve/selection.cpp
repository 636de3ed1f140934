#include "cli/serve/selection.h"

#include <algorithm>

namespace vantorel::cli::serve {
namespace {

bool matches(const CounterPattern& p, const pdh::ObjectDef& object, std::string_view instance,
             const pdh::CounterDef& counter) {
    return matchesObject(p, object.name, object.hasInstances) && (!object.hasInstances || matchesInstance(p, instance)) &&
           matchesCounter(p, counter.name);
}

}  // namespace

Selection::Selection(std::vector<CounterPattern> includes, std::vector<CounterPattern> excludes)
    : includes_(std::move(includes)), excludes_(std::move(excludes)) {}

bool Selection::mayExport(const pdh::ObjectDef& object) const {
    if (!object.manyInstances) return true;
    return std::any_of(includes_.begin(), includes_.end(),
                       [&](const CounterPattern& p) { return matchesObject(p, object.name, object.hasInstances); });
}

bool Selection::included(const pdh::ObjectDef& object, std::string_view instance,
                         const pdh::CounterDef& counter) const {
    return std::any_of(includes_.begin(), includes_.end(), [&](const CounterPattern& p) {
        // A wildcard never reaches a _Total: only a pattern naming it does.
        if (instance == pdh::kTotal && hasWildcard(p.instance)) return false;
        return matches(p, object, instance, counter);
    });
}

bool Selection::exports(const pdh::ObjectDef& object, std::string_view instance, bool othersExist,
                        const pdh::CounterDef& counter) const {
    for (const CounterPattern& p : excludes_)
        if (matches(p, object, instance, counter)) return false;
    const bool byDefault = !object.manyInstances && !(instance == pdh::kTotal && othersExist);
    return byDefault || included(object, instance, counter);
}

}  // namespace vantorel::cli::serve
