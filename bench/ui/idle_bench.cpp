// Idle cost: the process's CPU time per timer tick (pass, table update, paint)
// with 20 real counters, against the same window ticking with no counter.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <ctime>
#include <string>
#include <vector>

#include "monitor/counter_records.h"
#include "pdh/pdh.h"
#include "ui/Unit1.h"

namespace {

const std::vector<std::string> paths = {
    "\\Processor(_Total)\\% Processor Time", "\\Processor(_Total)\\% User Time",
    "\\Processor(_Total)\\% Privileged Time", "\\Processor(_Total)\\% Idle Time",
    "\\Processor(0)\\% Processor Time",      "\\Memory\\Available Bytes",
    "\\Memory\\Cache Bytes",                  "\\Memory\\Committed Bytes",
    "\\Memory\\Page Faults/sec",              "\\Memory\\% Committed Bytes In Use",
    "\\System\\Context Switches/sec",         "\\System\\Interrupts/sec",
    "\\System\\Processor Queue Length",       "\\System\\System Up Time",
    "\\Network Interface(lo)\\Bytes Total/sec", "\\Network Interface(lo)\\Packets/sec",
    "\\Paging File(_Total)\\% Usage",         "\\Memory\\Free Bytes",
    "\\System\\Forks/sec",                    "\\Memory\\Pages/sec",
};
std::size_t nextPath = 0;

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// CPU seconds per tick of a window holding `count` counters, ticking every
// `interval` ms for `ticks` ticks.
double cpuPerTick(int count, int ticks, unsigned interval) {
    Application->Initialize();
    auto* form = new TForm1(Application);
    form->Show();
    nextPath = 0;
    for (int i = 0; i < count; ++i) form->Button4Click(nullptr);
    form->Timer1->Interval = interval;
    form->Timer1->Enabled = true;
    QApplication::processEvents();

    // The first ticks pay for what Qt and the library set up once; they are not counted.
    constexpr int warmUp = 3;
    int seen = 0;
    double start = 0;
    QEventLoop loop;
    form->Timer1->OnTimer = [&](TObject* sender) {
        if (seen == warmUp) start = cpuSeconds();
        form->Timer1Timer(sender);
        if (++seen == warmUp + ticks) loop.quit();
    };
    loop.exec();
    QApplication::processEvents();
    const double used = cpuSeconds() - start;

    form->Close();
    delete form;
    for (_tag_PDHCounterStruct* record : Counters) delete record;
    Counters.clear();
    return used / ticks;
}

void BM_IdleCpuPerTick(benchmark::State& state) {
    double withCounters = 0;
    double empty = 0;
    for (auto _ : state) {
        empty = cpuPerTick(0, 20, 100);
        withCounters = cpuPerTick(20, 20, 100);
    }
    state.counters["cpu_ms_per_tick"] = withCounters * 1e3;
    state.counters["empty_ms_per_tick"] = empty * 1e3;
    state.counters["ratio"] = withCounters / empty;
}
BENCHMARK(BM_IdleCpuPerTick)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

// The browser picks the next of the paths above, so the window adds real counters
// without a person at it.
extern "C" PDH_STATUS PdhBrowseCountersA(PPDH_BROWSE_DLG_CONFIG_A config) {
    if (!config || !config->szReturnPathBuffer) return PDH_INVALID_ARGUMENT;
    const std::string& path = paths[nextPath++ % paths.size()];
    if (path.size() + 1 > config->cchReturnPathLength) return PDH_MORE_DATA;
    path.copy(config->szReturnPathBuffer, path.size());
    config->szReturnPathBuffer[path.size()] = '\0';
    return ERROR_SUCCESS;
}
