#include "platform/pdh/sources/numa_nodes_reader.h"

#include <algorithm>

#include "platform/pdh/sources/proc_entries.h"

namespace vantorel::pdh {

const NumaNodesSource::Value* NumaNodesSource::load(SourceCache& cache) {
    std::vector<std::string>& listing = cache.listing();
    if (cache.reader().listDirectory(nodeDir_, listing) != 0) return nullptr;
    nodes_.clear();
    for (const std::string& name : listing) {
        if (!name.starts_with("node")) continue;
        const std::string_view number = std::string_view(name).substr(4);
        const std::optional<std::int32_t> id = number == "0" ? std::optional<std::int32_t>(0) : sources::parsePid(number);
        if (id) nodes_.push_back(NumaNode{static_cast<unsigned>(*id), std::nullopt});
    }
    std::sort(nodes_.begin(), nodes_.end(), [](const NumaNode& a, const NumaNode& b) { return a.node < b.node; });
    for (NumaNode& node : nodes_) {
        auto it = files_.find(node.node);
        if (it == files_.end())
            it = files_.emplace(node.node, KeptFile(nodeDir_ + "node" + std::to_string(node.node) + "/meminfo")).first;
        if (it->second.read(cache.reader(), cache.buffer()) == 0)
            node.meminfo = sources::parseNodeMeminfo(cache.buffer());
        else
            it->second.close();  // a node taken offline may come back
    }
    return &nodes_;
}

}  // namespace vantorel::pdh
