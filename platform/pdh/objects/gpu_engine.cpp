#include "platform/pdh/objects/gpu_engine.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/process_files.h"
#include "platform/pdh/sources/drm_clients_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Fdinfo, SourceCount };
static_assert(fitsMasks<f::EngineFieldCount, SourceCount>());

constexpr double kNsToPercent = 100.0 / 1e9;

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"% Utilization", "Percentage of time the process kept the engine busy, drm-engine-ENGINE of /proc/PID/fdinfo over elapsed time, divided by the engine's capacity.", N, Rate, src(Fdinfo), bit(f::EngineBusyNs), 0, kNsToPercent, Unit::Percent},
    CounterDef{"Memory Bytes", "Bytes of the process's GPU memory resident in the device's own memory, drm-resident-REGION (else drm-memory-REGION) of /proc/PID/fdinfo.", A, Gauge, src(Fdinfo), bit(f::EngineMemoryBytes), 0, 1, Unit::Bytes},
};
// clang-format on

// The process (as Process tracks it) and the engine's busy time summed over
// its clients. A client that closes takes its time with it: the sum grows by
// each surviving client's own progress, so it never goes backwards.
class EngineState final : public InstanceState {
public:
    EngineState(ProcessInstance process, std::string engine, const Roots& roots)
        : tracker_(std::move(process), roots),
          pidDir_(roots.proc + "proc/" + std::to_string(tracker_.instance().pid) + "/"),
          engine_(std::move(engine)) {}

    bool expired() const override { return tracker_.expired(); }

    void collect(SourceCache& sources) {
        tracker_.collect(sources, src(PidStat));
        status_ = tracker_.status();
        if (status_ != PDH_CSTATUS_VALID_DATA) return;
        if (!readDrmClients(sources.reader(), pidDir_, clients_)) {
            status_ = PDH_CSTATUS_INVALID_DATA;
            return;
        }
        std::map<Key, std::uint64_t> now;
        std::optional<std::uint64_t> memory;
        for (const sources::DrmClientUsage& c : clients_) {
            const auto e = std::find_if(c.engines.begin(), c.engines.end(),
                                        [&](const sources::DrmEngineUsage& u) { return u.name == engine_; });
            if (e == c.engines.end()) continue;
            const std::uint64_t busy = e->busyNs / e->capacity.value_or(1);
            const Key key{c.pdev, c.clientId};
            now[key] = busy;
            const auto before = seen_.find(key);
            if (before == seen_.end() || busy < before->second) {
                accumulated_ += busy;  // new since the last collect: all its time is new
            } else {
                accumulated_ += busy - before->second;
            }
            if (const auto bytes = deviceLocalBytes(c)) memory = memory.value_or(0) + *bytes;
        }
        // Without a client on the engine the process is not using it.
        if (now.empty()) status_ = PDH_CSTATUS_NO_INSTANCE;
        seen_ = std::move(now);
        memory_ = memory;
    }

    void extract(RawRecord& out) const {
        out.status = status_;
        if (status_ != PDH_CSTATUS_VALID_DATA) return;
        out.set(f::EngineBusyNs, accumulated_);
        if (memory_) out.set(f::EngineMemoryBytes, *memory_);
        // First value: the average since the process started, as for Process.
        const ProcessUnits& units = ProcessUnits::ofThisMachine();
        out.start = static_cast<double>(tracker_.files().stat->starttime) / static_cast<double>(units.ticksPerSecond);
    }

private:
    using Key = std::tuple<std::string, std::uint64_t>;  // drm-pdev, drm-client-id
    ProcessTracker tracker_;
    std::string pidDir_;
    std::string engine_;
    PDH_STATUS status_ = PDH_NO_DATA;
    std::vector<sources::DrmClientUsage> clients_;
    std::map<Key, std::uint64_t> seen_;
    std::uint64_t accumulated_ = 0;
    std::optional<std::uint64_t> memory_;
};

class NoSuchEngine final : public InstanceState {};

class GpuEngineProvider final : public TableProvider {
public:
    GpuEngineProvider()
        : TableProvider({"GPU Engine", "Each GPU engine a process uses (name:pid/ENGINE), from the DRM usage stats of /proc/PID/fdinfo.", true, "engine", true},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::tuple<std::string, std::int32_t, std::string>> found;
        for (const DrmProcess& p : listDrmProcesses(sources.reader(), sources.roots().proc))
            for (const std::string& engine : p.engines) found.emplace_back(p.comm, p.pid, engine);
        std::sort(found.begin(), found.end());
        std::vector<std::string> out;
        for (const auto& [comm, pid, engine] : found) out.push_back(processInstanceName(comm, pid) + "/" + engine);
        return out;
    }

    std::unique_ptr<InstanceState> bind(std::string_view instance, const Roots& roots) const override {
        const std::optional<EngineInstance> parsed = parseEngineInstance(instance);
        if (!parsed) return std::make_unique<NoSuchEngine>();
        std::optional<ProcessInstance> process = parseProcessInstance(parsed->process);
        if (!process) return std::make_unique<NoSuchEngine>();
        return std::make_unique<EngineState>(std::move(*process), parsed->engine, roots);
    }

    void collectInstance(const Binding& b, SourceCache& sources) const override {
        if (auto* state = dynamic_cast<EngineState*>(b.state)) state->collect(sources);
    }

    void extract(const Binding& b, SourceCache& /*sources*/, RawRecord& out) const override {
        const auto* state = dynamic_cast<const EngineState*>(b.state);
        if (state == nullptr) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        state->extract(out);
    }
};

}  // namespace

std::optional<EngineInstance> parseEngineInstance(std::string_view instance) {
    const std::size_t slash = instance.rfind('/');
    if (slash == std::string_view::npos || slash + 1 == instance.size()) return std::nullopt;
    return EngineInstance{std::string(instance.substr(0, slash)), std::string(instance.substr(slash + 1))};
}

const Provider& gpuEngineProvider() {
    static const GpuEngineProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
