#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {
QtMessageHandler defaultHandler = nullptr;

// The offscreen platform says at every window what it cannot do; nothing else is dropped.
void quietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (defaultHandler) defaultHandler(type, context, message);
}
}  // namespace

int main(int argc, char** argv) {
    defaultHandler = qInstallMessageHandler(quietOffscreenNotes);
    ::testing::InitGoogleTest(&argc, argv);
    // Tests never need a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    char name[] = "vantorel-tests";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    return RUN_ALL_TESTS();
}
