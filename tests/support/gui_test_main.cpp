#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Tests never need a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    char name[] = "vantorel-tests";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    return RUN_ALL_TESTS();
}
