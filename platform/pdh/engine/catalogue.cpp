#include "platform/pdh/engine/catalogue.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {
namespace {

struct Catalogue {
    std::vector<ObjectDef> objects;
    std::vector<CounterDef> counters;
    std::vector<const Provider*> providers;
    std::vector<std::size_t> firstCounter;  // per object, into counters; one past the end last
};

const Catalogue& catalogue() {
    static const Catalogue built = [] {
        Catalogue c;
        for (const Provider* p : registeredProviders()) {
            ObjectDef o = p->object();
            o.id = static_cast<ObjectId>(c.objects.size());
            c.objects.push_back(o);
            c.providers.push_back(p);
            c.firstCounter.push_back(c.counters.size());
            for (CounterDef def : p->counters()) {
                def.object = o.id;
                c.counters.push_back(def);
            }
        }
        c.firstCounter.push_back(c.counters.size());
        return c;
    }();
    return built;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string_view unitName(Unit unit) {
    switch (unit) {
        case Unit::Percent: return "percent";
        case Unit::Bytes: return "bytes";
        case Unit::Kibibytes: return "KiB";
        case Unit::Mebibytes: return "MiB";
        case Unit::Count: return "count";
        case Unit::PerSecond: return "per second";
        case Unit::BytesPerSecond: return "bytes per second";
        case Unit::KibibytesPerSecond: return "KiB per second";
        case Unit::BitsPerSecond: return "bits per second";
        case Unit::Seconds: return "seconds";
        case Unit::Milliseconds: return "milliseconds";
        case Unit::Megahertz: return "MHz";
        case Unit::Celsius: return "degrees Celsius";
        case Unit::Rpm: return "RPM";
        case Unit::Millivolts: return "millivolts";
        case Unit::Milliamperes: return "milliamperes";
        case Unit::Watts: return "watts";
        case Unit::WattHours: return "watt-hours";
    }
    return "count";
}

double unitToBase(Unit unit) {
    switch (unit) {
        case Unit::Percent: return 0.01;
        case Unit::Milliseconds: return 1e-3;
        case Unit::Megahertz: return 1e6;
        case Unit::Kibibytes:
        case Unit::KibibytesPerSecond: return 1024.0;
        case Unit::Mebibytes: return 1024.0 * 1024.0;
        case Unit::Millivolts: return 1e-3;
        case Unit::Milliamperes: return 1e-3;
        case Unit::WattHours: return 3600.0;  // joules
        case Unit::Celsius:
        case Unit::Rpm:
        case Unit::Watts:
        case Unit::Bytes:
        case Unit::Count:
        case Unit::PerSecond:
        case Unit::BytesPerSecond:
        case Unit::BitsPerSecond:
        case Unit::Seconds: return 1.0;
    }
    return 1.0;
}

std::span<const ObjectDef> objectCatalogue() { return catalogue().objects; }
std::span<const CounterDef> counterCatalogue() { return catalogue().counters; }

const ObjectDef* findObject(std::string_view name) {
    for (const ObjectDef& o : catalogue().objects)
        if (equalsNoCase(o.name, name)) return &o;
    return nullptr;
}

const CounterDef* findCounter(const ObjectDef& object, std::string_view name) {
    const Catalogue& c = catalogue();
    for (std::size_t i = c.firstCounter[object.id]; i < c.firstCounter[object.id + 1u]; ++i)
        if (equalsNoCase(c.counters[i].name, name)) return &c.counters[i];
    return nullptr;
}

const ObjectDef& objectDef(ObjectId id) { return catalogue().objects[id]; }
const Provider& providerOf(ObjectId id) { return *catalogue().providers[id]; }

}  // namespace vantorel::pdh
