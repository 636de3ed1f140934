// A shown main window with `count` counters over the scripted library.
#pragma once

#include <QApplication>
#include <chrono>
#include <string>

#include "monitor/counter_records.h"
#include "platform/pdh/scripted/scripted_pdh.h"
#include "ui/Unit1.h"

namespace bench_support {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

class ScriptedWindow {
public:
    explicit ScriptedWindow(int count) {
        auto& script = vantorel::pdh::scripted::Script::instance();
        script.reset();
        Application->Initialize();
        form = new TForm1(Application);
        form->Show();
        script.browse = [](PDH_BROWSE_DLG_CONFIG_A& config) {
            return vantorel::pdh::scripted::choosePath(config, "\\Memory\\Available Bytes");
        };
        for (int i = 0; i < count; ++i) form->Button4Click(nullptr);
        script.browse = nullptr;
        QApplication::processEvents();
    }
    ~ScriptedWindow() {
        delete form;
        for (_tag_PDHCounterStruct* record : Counters) delete record;
        Counters.clear();
    }
    ScriptedWindow(const ScriptedWindow&) = delete;
    ScriptedWindow& operator=(const ScriptedWindow&) = delete;

    // One Update click, then what the event loop does for it: the table's
    // change notice and the paint of what is visible.
    void refresh() {
        form->Button2Click(nullptr);
        QApplication::processEvents();
    }

    TForm1* form = nullptr;
};

}  // namespace bench_support
