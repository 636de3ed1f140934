#include "platform/pdh/engine/library_enumeration.h"

#include <algorithm>
#include <tuple>

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/extract.h"
#include "platform/pdh/engine/process_sources.h"
#include "platform/pdh/sources/pid_stat.h"
#include "platform/pdh/sources/proc_entries.h"

namespace vantorel::pdh {
namespace {

class CatalogueEnumeration final : public Enumeration {
public:
    CatalogueEnumeration(const Roots& roots, std::shared_ptr<SystemReader> reader)
        : roots_{Roots::normalise(roots.proc), Roots::normalise(roots.sys)}, reader_(std::move(reader)) {}

    std::vector<ObjectInfo> objects() const override {
        std::vector<ObjectInfo> out;
        for (const ObjectDef& o : objectCatalogue()) {
            ObjectInfo info{std::string(o.name), std::string(o.description), o.instances != InstanceKind::None, {}};
            for (const CounterDef& c : counterCatalogue())
                if (c.object == o.id)
                    info.counters.push_back(CounterInfo{std::string(c.name), std::string(c.description), c.detailLevel});
            out.push_back(std::move(info));
        }
        return out;
    }

    std::vector<std::string> instances(std::string_view object) const override {
        const ObjectDef* def = findObject(object);
        if (def == nullptr || reader_ == nullptr) return {};
        if (def->id == ObjectId::Process) return processes();
        SourceSet needs = 0;
        switch (def->id) {
            case ObjectId::Processor: needs = static_cast<SourceSet>(Source::Stat); break;
            case ObjectId::NetworkInterface: needs = static_cast<SourceSet>(Source::NetDev); break;
            case ObjectId::PhysicalDisk: needs = static_cast<SourceSet>(Source::Diskstats); break;
            case ObjectId::LogicalDisk: needs = static_cast<SourceSet>(Source::Mounts); break;
            default: break;
        }
        MachineSources machine(roots_, *reader_);
        machine.collect(needs, {});
        const ProcessScan scan(roots_);
        const ProcessUnits units;
        return listInstances(def->id, CollectedSources{machine, scan, units});
    }

private:
    std::vector<std::string> processes() const {
        std::vector<std::string> names;
        if (reader_->listDirectory(roots_.proc + "proc", names) != 0) return {};
        std::vector<std::tuple<std::string, std::int32_t>> found;
        std::string buffer;
        for (const std::int32_t pid : sources::pidsFromEntries(names)) {
            if (reader_->readFile(roots_.proc + "proc/" + std::to_string(pid) + "/stat", buffer) != 0) continue;
            const std::optional<sources::PidStat> st = sources::parsePidStat(buffer);
            if (st && st->pid == pid) found.emplace_back(st->comm, pid);
        }
        std::sort(found.begin(), found.end());
        std::vector<std::string> out{std::string(kTotal)};
        for (const auto& [comm, pid] : found) out.push_back(processInstanceName(comm, pid));
        return out;
    }

    Roots roots_;
    std::shared_ptr<SystemReader> reader_;
};

}  // namespace

std::unique_ptr<Enumeration> makeEnumeration(const Roots& roots, std::shared_ptr<SystemReader> reader) {
    return std::make_unique<CatalogueEnumeration>(roots, std::move(reader));
}

}  // namespace vantorel::pdh
