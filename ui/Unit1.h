// The main window: its components, its handlers and the work behind them.
#pragma once

#include "pdh/pdh.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm1 : public TForm {
public:  // components, in the order they are built
    TStatusBar* StatusBar1;
    TButton* Button2;
    TButton* Button4;
    TListView* ListView1;
    TCheckBox* CheckBox1;
    TTimer* Timer1;

public:  // event handlers
    void Button2Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void CheckBox1Click(TObject* Sender);
    void Timer1Timer(TObject* Sender);

private:  // called by the constructor and the handlers only
    void OpenPdhQuery();
    void ClosePdhQuery();
    void CollectCounterValues();
    void UpdateDisplay();
    char* BrowseCounter();
    void AddCounter(const char* Path);

public:
    explicit TForm1(TComponent* Owner);
};

extern TForm1* Form1;
