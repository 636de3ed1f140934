#include "platform/pdh/engine/library_enumeration.h"

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/provider.h"
#include "platform/pdh/engine/source_cache.h"

namespace vantorel::pdh {
namespace {

class CatalogueEnumeration final : public Enumeration {
public:
    CatalogueEnumeration(const Roots& roots, std::shared_ptr<SystemReader> reader)
        : roots_{Roots::normalise(roots.proc), Roots::normalise(roots.sys)}, reader_(std::move(reader)) {}

    std::vector<ObjectInfo> objects() const override {
        std::vector<ObjectInfo> out;
        for (const ObjectDef& o : objectCatalogue()) {
            ObjectInfo info{std::string(o.name), std::string(o.description), o.hasInstances, {}};
            for (const CounterDef& c : providerOf(o.id).counters())
                info.counters.push_back(CounterInfo{std::string(c.name), std::string(c.description), c.detailLevel,
                                                    std::string(unitName(c.unit))});
            out.push_back(std::move(info));
        }
        return out;
    }

    std::vector<std::string> instances(std::string_view object) const override {
        const ObjectDef* def = findObject(object);
        if (def == nullptr || reader_ == nullptr || !def->hasInstances) return {};
        // A listing is one collect of its own: each source it needs read once.
        SourceCache sources(roots_, *reader_);
        sources.beginCollect(reader_->bootSeconds());
        return providerOf(def->id).instances(sources);
    }

private:
    Roots roots_;
    std::shared_ptr<SystemReader> reader_;
};

}  // namespace

std::unique_ptr<Enumeration> makeEnumeration(const Roots& roots, std::shared_ptr<SystemReader> reader) {
    return std::make_unique<CatalogueEnumeration>(roots, std::move(reader));
}

}  // namespace vantorel::pdh
