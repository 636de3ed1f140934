// A form with a status bar and a three-column report list, shown.
#pragma once

#include <gtest/gtest.h>

#include "platform/vcl/qt_access.h"

class LayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        form = new TForm(Application);
        bar = new TStatusBar(form);
        bar->SetBounds(0, 0, 300, 19);
        bar->SetParent(form);
        list = new TListView(form);
        list->SetBounds(0, 0, 300, 200);
        list->SetParent(form);
        list->ViewStyle = vsReport;
        for (const char* caption : {"Name", "Counter", "Value"}) list->Columns->Add()->Caption = caption;
        form->Show();
    }
    void TearDown() override { delete form; }

    TForm* form = nullptr;
    TStatusBar* bar = nullptr;
    TListView* list = nullptr;
};
