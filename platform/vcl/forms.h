// The form (a top-level window) and the application object that runs them.
#pragma once

#include <exception>
#include <memory>

#include "platform/vcl/controls.h"
#include "platform/vcl/graphics.h"

namespace vcl_detail {
class FormWindow;
class QtApplication;
}

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
inline constexpr TCloseAction caNone = TCloseAction::caNone;
inline constexpr TCloseAction caHide = TCloseAction::caHide;
inline constexpr TCloseAction caFree = TCloseAction::caFree;
inline constexpr TCloseAction caMinimize = TCloseAction::caMinimize;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* Owner);
    ~TForm() override;

    TextProperty Caption;
    Property<TColor> Color{clBtnFace};
    Property<TFont> Font{TFont{}};
    // As designed; the layer does not rescale.
    int PixelsPerInch = 96;
    int TextHeight = 13;

    // Outer bounds, frame included. The platform's frame of a sizeable window is
    // 4 pixels on each side and a 23-pixel caption.
    void SetBounds(int left, int top, int width, int height) override;
    int Width() const override;
    int Height() const override;
    int ClientWidth() const;
    int ClientHeight() const;
    static constexpr int FrameWidth = 8;
    static constexpr int FrameHeight = 27;

    TCloseEvent OnClose;

    void Show();
    void Close();
    bool Visible() const;

    QWidget* clientWidget() const override;
    void insertControl(TControl* control) override;

private:
    friend class vcl_detail::FormWindow;
    void closeRequested(bool& accept);
    void applyTabOrder();

    vcl_detail::FormWindow* window_;
    std::vector<TWinControl*> tabControls_;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Starts the GUI; Qt is given the program's name only.
    void Initialize();
    // Creates a form owned by the application; the first one is the main form.
    template <class Form>
    void CreateForm(Form** reference) {
        Form* form = new Form(this);
        *reference = form;
        formCreated(form);
    }
    // Runs the message loop until the main form has closed.
    void Run();
    void Terminate();
    // The platform's modal report of an exception's message.
    void ShowException(const std::exception* error);

    TForm* MainForm() const { return mainForm_; }
    String Title = "Vantorel";

private:
    void formCreated(TForm* form);
    void shutdown();
    TForm* mainForm_ = nullptr;
    std::unique_ptr<vcl_detail::QtApplication> qt_;
};

extern TApplication* Application;
