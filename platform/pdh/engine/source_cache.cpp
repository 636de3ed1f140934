#include "platform/pdh/engine/source_cache.h"

#include <atomic>

namespace vantorel::pdh {

std::string Roots::normalise(std::string root) {
    if (root.empty() || root.back() != '/') root += '/';
    return root;
}

SourceCache::SourceCache(const Roots& roots, SystemReader& reader)
    : roots_{Roots::normalise(roots.proc), Roots::normalise(roots.sys)}, reader_(reader) {}

SourceCache::~SourceCache() = default;

void SourceCache::beginCollect(double now) {
    ++generation_;
    now_ = now;
}

void SourceCache::beginPlan() {
    for (const auto& entry : entries_)
        if (entry != nullptr) entry->resetPlan();
}

std::size_t SourceCache::nextIndex() {
    static std::atomic<std::size_t> next{0};
    return next++;
}

}  // namespace vantorel::pdh
