// One sampling pass and one refresh of the Value column, on Update, on every tick
// of the timer and after every add.
#include <charconv>
#include <string_view>

#include "monitor/counter_records.h"
#include "monitor/messages.h"
#include "ui/Unit1.h"

void TForm1::CollectCounterValues() {
    if (PdhCollectQueryData(hQuery) != ERROR_SUCCESS) {
        StatusBar1->SimpleText += messages::collectError;
    }
    // One record serves the whole pass and is not cleared between counters, so a
    // failed read stores what stands in it. Cleared here so that a pass never
    // starts from what the last one left.
    PDH_FMT_COUNTERVALUE pdhFormattedValue{};
    for (std::size_t i = 0; i < Counters.size(); ++i) {
        _tag_PDHCounterStruct* counter = Counters[i];
        if (PdhGetFormattedCounterValue(counter->hCounter, PDH_FMT_LONG, nullptr, &pdhFormattedValue) !=
            ERROR_SUCCESS) {
            StatusBar1->SimpleText += messages::readError;
        }
        if (pdhFormattedValue.CStatus != PDH_CSTATUS_VALID_DATA) {
            StatusBar1->SimpleText += messages::valueStatusError;
        }
        counter->lValue = pdhFormattedValue.longValue;
    }
}

void TForm1::UpdateDisplay() {
    CollectCounterValues();
    for (std::size_t i = 0; i < Counters.size(); ++i) {
        // The "%ld" text: a minus sign when negative, then the digits.
        char text[16];
        const auto written = std::to_chars(text, text + sizeof text, static_cast<long>(Counters[i]->lValue));
        ListView1->Items->Item[static_cast<int>(i)]->SubItems->Strings[1] =
            std::string_view(text, static_cast<std::size_t>(written.ptr - text));
    }
}

void TForm1::Button2Click(TObject* /*Sender*/) { UpdateDisplay(); }

void TForm1::Timer1Timer(TObject* /*Sender*/) { UpdateDisplay(); }

void TForm1::CheckBox1Click(TObject* /*Sender*/) { Timer1->Enabled = CheckBox1->Checked(); }
