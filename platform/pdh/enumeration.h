// What the library can list: its objects, their counters and the instances that
// exist now. The browser and the command-line tool list through this.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantorel::pdh {

struct CounterInfo {
    std::string name;
    std::string description;
    unsigned detailLevel = 100;  // PERF_DETAIL_* value
    std::string unit = "count";  // what a value counts: "bytes", "percent", ...
};

struct ObjectInfo {
    std::string name;
    std::string description;
    bool hasInstances = false;
    std::vector<CounterInfo> counters;
};

class Enumeration {
public:
    virtual ~Enumeration() = default;
    virtual std::vector<ObjectInfo> objects() const = 0;
    // Current instances of an object, in the order a person expects to read them
    // (_Total first where there is one). Empty for objects without instances.
    virtual std::vector<std::string> instances(std::string_view object) const = 0;
};

// "\Object(Instance)\Counter", or "\Object\Counter" when instance is empty and the
// object has none. The instance is written as it stands: the path parser takes the
// instance up to the ")" before the last "\", so any characters round-trip.
std::string makeCounterPath(std::string_view object, std::string_view instance,
                            std::string_view counter, bool hasInstances);

}  // namespace vantorel::pdh
