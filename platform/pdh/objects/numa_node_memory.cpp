#include "platform/pdh/objects/numa_node_memory.h"

#include <algorithm>
#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/numa_nodes_reader.h"
#include "platform/pdh/sources/proc_entries.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Nodes, SourceCount };
constexpr SourceMask kNodes = src(Nodes);
static_assert(fitsMasks<f::NumaNodeMemoryFieldCount, SourceCount>());

constexpr double kToMiB = 1.0 / (1024 * 1024);

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"Total MBytes", "Memory of the node in MiB, MemTotal of /sys/devices/system/node/nodeN/meminfo.", N, Gauge, kNodes, bit(f::NodeTotal), 0, kToMiB, Unit::Mebibytes},
    CounterDef{"Free MBytes", "Unused memory of the node in MiB, MemFree of the node's meminfo.", N, Gauge, kNodes, bit(f::NodeFree), 0, kToMiB, Unit::Mebibytes},
    CounterDef{"Used MBytes", "Memory of the node in use in MiB, MemTotal minus MemFree of the node's meminfo.", N, Gauge, kNodes, bit(f::NodeUsed), 0, kToMiB, Unit::Mebibytes},
    CounterDef{"File Pages MBytes", "Memory of the node caching files in MiB, FilePages of the node's meminfo.", A, Gauge, kNodes, bit(f::NodeFilePages), 0, kToMiB, Unit::Mebibytes},
    CounterDef{"Anonymous MBytes", "Memory of the node held by processes and not backed by files in MiB, AnonPages of the node's meminfo.", A, Gauge, kNodes, bit(f::NodeAnonPages), 0, kToMiB, Unit::Mebibytes},
    CounterDef{"% Used", "Memory of the node in use as a percentage of its memory, from the node's meminfo.", N, Ratio, kNodes, bit(f::NodeUsed), bit(f::NodeTotal), 1, Unit::Percent, true},
};
// clang-format on

// Adds one node's figures; a figure missing on any node leaves the sum without it.
void addNode(const sources::NodeMeminfo& m, FieldMask& missing, RawRecord& out) {
    using namespace field;
    const auto add = [&](unsigned fld, const sources::OptU64& v) {
        if (v) out.set(fld, out.values[fld] + *v);
        else missing |= bit(fld);
    };
    add(NodeTotal, m.memTotal);
    add(NodeFree, m.memFree);
    add(NodeFilePages, m.filePages);
    add(NodeAnonPages, m.anonPages);
    if (m.memTotal && m.memFree) add(NodeUsed, *m.memTotal - std::min(*m.memFree, *m.memTotal));
    else missing |= bit(NodeUsed);
}

class NumaNodeMemoryProvider final : public TableProvider {
public:
    NumaNodeMemoryProvider()
        : TableProvider({"NUMA Node Memory", "Memory of each NUMA node, from /sys/devices/system/node/nodeN/meminfo.", true, "node"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string> out;
        const std::vector<NumaNode>* nodes = sources.get<NumaNodesSource>();
        if (nodes == nullptr || nodes->empty()) return out;
        out.emplace_back(kTotal);
        for (const NumaNode& node : *nodes) out.push_back(std::to_string(node.node));
        return out;
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        const std::vector<NumaNode>* nodes = sources.get<NumaNodesSource>();
        if (nodes == nullptr) return void(out.status = PDH_CSTATUS_INVALID_DATA);
        FieldMask missing = 0;
        if (b.instance == kTotal) {
            if (nodes->empty()) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
            for (const NumaNode& node : *nodes) {
                if (node.meminfo) addNode(*node.meminfo, missing, out);
                else missing = ~FieldMask{0};
            }
            out.valid &= ~missing;
            return;
        }
        const std::optional<std::int32_t> id =
            b.instance == "0" ? std::optional<std::int32_t>(0) : sources::parsePid(b.instance);
        for (const NumaNode& node : *nodes) {
            if (!id || node.node != static_cast<unsigned>(*id)) continue;
            if (!node.meminfo) return void(out.status = PDH_CSTATUS_INVALID_DATA);
            return addNode(*node.meminfo, missing, out);
        }
        out.status = PDH_CSTATUS_NO_INSTANCE;
    }
};

}  // namespace

const Provider& numaNodeMemoryProvider() {
    static const NumaNodeMemoryProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
