// Which series a scrape exports: by default every counter of every object
// whose instances are not counted by the hundred, each instance but a _Total
// that merely sums the others; --include opts more in, --exclude takes out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/counter_pattern.h"
#include "platform/pdh/engine/catalogue.h"

namespace vantorel::cli::serve {

class Selection {
public:
    Selection(std::vector<CounterPattern> includes, std::vector<CounterPattern> excludes);

    // Worth listing the object's instances at all.
    bool mayExport(const pdh::ObjectDef& object) const;
    // `othersExist`: the object has instances besides this one.
    bool exports(const pdh::ObjectDef& object, std::string_view instance, bool othersExist,
                 const pdh::CounterDef& counter) const;

private:
    bool included(const pdh::ObjectDef& object, std::string_view instance, const pdh::CounterDef& counter) const;

    std::vector<CounterPattern> includes_;
    std::vector<CounterPattern> excludes_;
};

}  // namespace vantorel::cli::serve
