// Adding a counter: the browser picks it, the query, the list and the table take it.
#include <cstring>
#include <string_view>

#include "monitor/counter_path_buffer.h"
#include "monitor/counter_records.h"
#include "monitor/messages.h"
#include "ui/Unit1.h"

char CounterPath[CounterPathSize] = "\\Processor(_Total)\\% Processor Time";

char* TForm1::BrowseCounter() {
    PDH_BROWSE_DLG_CONFIG_A config{};
    config.bSingleCounterPerAdd = 1;
    config.bSingleCounterPerDialog = 1;
    config.bLocalCountersOnly = 1;
    config.bHideDetailBox = 1;
    config.szReturnPathBuffer = CounterPath;
    config.cchReturnPathLength = CounterPathSize;
    config.dwDefaultDetailLevel = PERF_DETAIL_WIZARD;
    // No owner window: the main window stays usable while the browser is open.
    if (PdhBrowseCountersA(&config) != ERROR_SUCCESS) return nullptr;
    // Never read past the buffer, terminated or not.
    StatusBar1->SimpleText = std::string_view(CounterPath, strnlen(CounterPath, CounterPathSize));
    return CounterPath;
}

void TForm1::AddCounter(const char* Path) {
    // Room for the record first: once the library holds the counter, the list
    // and the table must take it too.
    if (Counters.size() == Counters.capacity()) Counters.reserve(Counters.size() * 2 + 8);
    auto* counter = new _tag_PDHCounterStruct{};
    if (PdhAddCounterA(hQuery, Path, reinterpret_cast<DWORD_PTR>(counter), &counter->hCounter) !=
        ERROR_SUCCESS) {
        delete counter;
        StatusBar1->SimpleText = messages::addCounterError;
        return;
    }
    Counters.push_back(counter);
    TListItem* item = ListView1->Items->Add();
    item->Caption = Path;
    item->SubItems->Add(Path);
    item->SubItems->Add("N/A");
    UpdateDisplay();
}

void TForm1::Button4Click(TObject* /*Sender*/) {
    if (char* path = BrowseCounter()) AddCounter(path);
}
