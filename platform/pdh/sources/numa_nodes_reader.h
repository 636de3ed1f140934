// Reads the meminfo of every NUMA node once per collect.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/source_cache.h"
#include "platform/pdh/sources/node_meminfo.h"

namespace vantorel::pdh {

struct NumaNode {
    unsigned node = 0;
    std::optional<sources::NodeMeminfo> meminfo;  // none when its file cannot be read
};

class NumaNodesSource {
public:
    using Value = std::vector<NumaNode>;  // by node number

    explicit NumaNodesSource(const Roots& roots) : nodeDir_(roots.sys + "sys/devices/system/node/") {}
    // Null when the node directory cannot be listed (a kernel without NUMA).
    const Value* load(SourceCache& cache);

private:
    std::string nodeDir_;
    std::map<unsigned, KeptFile> files_;
    Value nodes_;
};

}  // namespace vantorel::pdh
