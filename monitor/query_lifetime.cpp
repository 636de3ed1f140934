// Opening the query while the window is built, closing it when the window closes.
#include "monitor/counter_records.h"
#include "monitor/messages.h"
#include "ui/Unit1.h"

void TForm1::OpenPdhQuery() {
    // No retry: the window goes on with whatever the call left in hQuery.
    if (PdhOpenQueryA(nullptr, 1, &hQuery) != ERROR_SUCCESS) {
        StatusBar1->SimpleText = messages::openQueryError;
    }
}

void TForm1::ClosePdhQuery() { PdhCloseQuery(hQuery); }

void TForm1::FormClose(TObject* /*Sender*/, TCloseAction& /*Action*/) { ClosePdhQuery(); }
