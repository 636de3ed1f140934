#include "ui/Unit1.h"

#include "ui/form1_accessibility.h"
#include "ui/form1_layout.h"

TForm1* Form1 = nullptr;

namespace {

template <class Control>
Control* place(TForm1* form, const form1_layout::Control& layout) {
    auto* control = new Control(form);
    control->SetBounds(layout.left, layout.top, layout.width, layout.height);
    if constexpr (requires { control->Caption; }) {
        if (layout.caption) control->Caption = layout.caption;
    }
    control->TabOrder = layout.tabOrder;
    control->SetParent(form);
    return control;
}

void describe(TControl* control, const form1_accessibility::Text& text) {
    control->AccessibleName = text.name;
    control->AccessibleDescription = text.description;
}

}  // namespace

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {
    using namespace form1_layout;
    Caption = form.caption;
    SetBounds(form.left, form.top, form.width, form.height);
    Color = form.color;
    TFont font;
    font.Name = form.fontName;
    font.Height = form.fontHeight;
    Font = font;
    PixelsPerInch = form.pixelsPerInch;
    TextHeight = form.textHeight;

    StatusBar1 = place<TStatusBar>(this, statusBar1);
    Button2 = place<TButton>(this, button2);
    Button4 = place<TButton>(this, button4);
    ListView1 = place<TListView>(this, listView1);
    ListView1->ViewStyle = vsReport;
    ListView1->GridLines = listView1GridLines;
    for (const char* caption : listView1Columns) {
        TListColumn* column = ListView1->Columns->Add();
        column->Caption = caption;
        column->AutoSize = true;
    }
    CheckBox1 = place<TCheckBox>(this, checkBox1);
    Timer1 = new TTimer(this);
    Timer1->Enabled = timer1Enabled;
    Timer1->Interval = timer1Interval;

    describe(StatusBar1, form1_accessibility::statusBar1);
    describe(Button2, form1_accessibility::button2);
    describe(Button4, form1_accessibility::button4);
    describe(ListView1, form1_accessibility::listView1);
    describe(CheckBox1, form1_accessibility::checkBox1);

    Button2->OnClick = Closure(this, &TForm1::Button2Click);
    Button4->OnClick = Closure(this, &TForm1::Button4Click);
    OnClose = Closure(this, &TForm1::FormClose);
    CheckBox1->OnClick = Closure(this, &TForm1::CheckBox1Click);
    Timer1->OnTimer = Closure(this, &TForm1::Timer1Timer);

    // The components exist, so a failed open can already be shown.
    OpenPdhQuery();
}
