#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>

#include "platform/vcl/forms.h"
#include "platform/vcl/qt/qt_application.h"

namespace vcl_detail {

QtApplication::QtApplication() {
    // A test may already run one; the program itself makes its own.
    if (!QApplication::instance()) own_ = std::make_unique<QApplication>(argc_, argv_);
    QApplication::setQuitOnLastWindowClosed(false);
    QIcon icon(QStringLiteral(":/MAINICON"));
    // Larger drawings of the same icon keep it sharp on a scaled display.
    const QStringList sizes = QDir(QStringLiteral(":/")).entryList({QStringLiteral("MAINICON-*")}, QDir::Files);
    for (const QString& name : sizes) icon.addFile(QStringLiteral(":/") + name);
    if (!icon.isNull()) QApplication::setWindowIcon(icon);
}

QtApplication::~QtApplication() = default;

}  // namespace vcl_detail

namespace {
TApplication theApplication;
}

TApplication* Application = &theApplication;

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
    // This runs after main has returned, when Qt's own statics are gone: a GUI
    // still standing (the loop never ran) is left to the end of the process.
    if (qt_ && qt_->ownsApplication()) {
        AbandonComponents();
        (void)qt_.release();
    }
    mainForm_ = nullptr;
}

void TApplication::shutdown() {
    DestroyComponents();
    mainForm_ = nullptr;
    qt_.reset();
}

void TApplication::Initialize() {
    if (!qt_) qt_ = std::make_unique<vcl_detail::QtApplication>();
}

void TApplication::formCreated(TForm* form) {
    if (!mainForm_) mainForm_ = form;
}

void TApplication::Run() {
    if (!mainForm_) return;
    mainForm_->Show();
    QApplication::exec();
    // Qt must be taken down while main still runs.
    if (qt_ && qt_->ownsApplication()) shutdown();
}

void TApplication::Terminate() { QApplication::quit(); }

void TApplication::ShowException(const std::exception* error) {
    const QString message = QString::fromUtf8(error ? error->what() : "");
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(Title), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("ExceptionMessage"));
    box.exec();
}
