// A source that is one kernel file, kept open and parsed whole on each collect.
// Spec gives `using Value`, `static std::string path(const Roots&)` and
// `static ... parse(std::string_view)` returning a Value or an optional one.
#pragma once

#include <optional>
#include <string>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/source_cache.h"

namespace vantorel::pdh {

template <class Spec>
class KernelFileSource {
public:
    using Value = typename Spec::Value;

    explicit KernelFileSource(const Roots& roots) : file_(Spec::path(roots)) {}

    const Value* load(SourceCache& cache) {
        value_.reset();
        if (file_.read(cache.reader(), cache.buffer()) == 0) value_ = Spec::parse(cache.buffer());
        return value_ ? &*value_ : nullptr;
    }

private:
    KeptFile file_;
    std::optional<Value> value_;
};

}  // namespace vantorel::pdh
