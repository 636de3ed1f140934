// The cost of a refresh, against a long status text and against a plain
// per-item widget update of the same table.
#include <benchmark/benchmark.h>

#include <QTreeWidget>
#include <vector>

#include "window_bench_support.h"

namespace {

using bench_support::Clock;
using bench_support::ScriptedWindow;
using vantorel::pdh::scripted::ReadResult;
using vantorel::pdh::scripted::Script;
using vantorel::pdh::scripted::ScriptedCounter;

// A refresh with 100,000 messages standing in the status text, against the same
// refresh with an empty one; each refresh appends one more message, as a failing
// counter does every second. Both run interleaved in one loop.
void BM_RefreshWithLongStatusText(benchmark::State& state) {
    ScriptedWindow window(20);
    TextProperty& status = window.form->StatusBar1->SimpleText;
    Script::instance().read = [](std::size_t index, const ScriptedCounter&) {
        return ReadResult{ERROR_SUCCESS, index == 0 ? PDH_CSTATUS_NO_INSTANCE : 0, 7, true};
    };
    std::string messages;
    for (int i = 0; i < 100000; ++i) messages += "pdhFormattedValue.CStatus error ";

    Clock::duration baseline{};
    Clock::duration measured{};
    for (auto _ : state) {
        status = std::string_view{};
        QApplication::processEvents();
        const auto t0 = Clock::now();
        window.refresh();
        const auto t1 = Clock::now();
        status = messages;
        QApplication::processEvents();
        const auto t2 = Clock::now();
        window.refresh();
        const auto t3 = Clock::now();
        baseline += t1 - t0;
        measured += t3 - t2;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ratio"] = bench_support::seconds(measured) / bench_support::seconds(baseline);
    state.counters["empty_us"] = 1e6 * bench_support::seconds(baseline) / n;
    state.counters["full_us"] = 1e6 * bench_support::seconds(measured) / n;
}
BENCHMARK(BM_RefreshWithLongStatusText)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// 1,000 rows: the Update refresh (whose scripted pass costs next to nothing) and
// its paint, against setting every row's text in a plain item widget and
// painting it, in the same loop.
void BM_RefreshThousandRows(benchmark::State& state) {
    constexpr int rows = 1000;
    ScriptedWindow window(rows);
    LONG tick = 0;
    Script::instance().read = [&tick](std::size_t index, const ScriptedCounter&) {
        return ReadResult{ERROR_SUCCESS, 0, tick + static_cast<LONG>(index), true};
    };

    QTreeWidget plain;
    plain.setColumnCount(3);
    plain.setHeaderLabels({"Name", "Counter", "Value"});
    plain.resize(729, 257);
    std::vector<QTreeWidgetItem*> items;
    for (int i = 0; i < rows; ++i) {
        auto* item = new QTreeWidgetItem(&plain, {"\\Memory\\Available Bytes", "\\Memory\\Available Bytes", "N/A"});
        items.push_back(item);
    }
    plain.show();
    QApplication::processEvents();

    Clock::duration baseline{};
    Clock::duration measured{};
    for (auto _ : state) {
        ++tick;
        const auto t0 = Clock::now();
        for (int i = 0; i < rows; ++i) items[static_cast<std::size_t>(i)]->setText(2, QString::number(tick + i));
        QApplication::processEvents();
        const auto t1 = Clock::now();
        window.refresh();
        const auto t2 = Clock::now();
        baseline += t1 - t0;
        measured += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ratio"] = bench_support::seconds(measured) / bench_support::seconds(baseline);
    state.counters["refresh_ms"] = 1e3 * bench_support::seconds(measured) / n;
    state.counters["plain_ms"] = 1e3 * bench_support::seconds(baseline) / n;
}
BENCHMARK(BM_RefreshThousandRows)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
