// The program's entry: one window, no arguments.
#include "platform/vcl/forms.h"
#include "ui/Unit1.h"

int main() {
    try {
        Application->Initialize();
        Application->CreateForm(&Form1);
        Application->Run();
    } catch (const Exception& error) {
        Application->ShowException(&error);
    }
    return 0;
}
