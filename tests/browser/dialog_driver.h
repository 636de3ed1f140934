// Drives the browse dialog as a person would, from timers that run inside the
// dialog's own event loop.
#pragma once

#include "platform/pdh/browser/browse_dialog.h"
#include "pdh/pdh.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QDialogButtonBox>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

namespace vantorel::pdh::test {

inline BrowseCountersDialog* shownDialog(const QString& title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<BrowseCountersDialog*>(widget);
        if (dialog != nullptr && dialog->isVisible() && dialog->windowTitle() == title) {
            return dialog;
        }
    }
    return nullptr;
}

inline int dialogCount() {
    int count = 0;
    for (QWidget* widget : QApplication::allWidgets()) {
        count += qobject_cast<BrowseCountersDialog*>(widget) != nullptr ? 1 : 0;
    }
    return count;
}

// Runs act once the dialog titled title is on screen; schedule before the call.
inline void onDialog(const QString& title, std::function<void(BrowseCountersDialog&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, title, act] {
        BrowseCountersDialog* dialog = shownDialog(title);
        if (dialog == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        // An exception must not cross Qt's event loop.
        try {
            act(*dialog);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "driving the dialog: " << e.what();
            dialog->reject();
        }
    });
    poll->start();
}

template <typename T>
T& part(BrowseCountersDialog& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        ADD_FAILURE() << "no widget " << name;
        throw std::runtime_error(name);
    }
    return *widget;
}

inline QListWidget& objects(BrowseCountersDialog& d) { return part<QListWidget>(d, "objectList"); }
inline QListWidget& counters(BrowseCountersDialog& d) { return part<QListWidget>(d, "counterList"); }
inline QListView& instances(BrowseCountersDialog& d) { return part<QListView>(d, "instanceList"); }
inline QLineEdit& filter(BrowseCountersDialog& d) { return part<QLineEdit>(d, "instanceFilter"); }
inline QLabel& message(BrowseCountersDialog& d) { return part<QLabel>(d, "messageLabel"); }
inline QPushButton& okButton(BrowseCountersDialog& d) {
    QPushButton* ok = part<QDialogButtonBox>(d, "buttonBox").button(QDialogButtonBox::Ok);
    if (ok == nullptr) {
        throw std::runtime_error("no OK button");
    }
    return *ok;
}

inline void press(QWidget& widget, Qt::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        QTest::keyClick(&widget, key);
    }
}

inline QString currentInstanceText(BrowseCountersDialog& d) {
    return instances(d).currentIndex().data().toString();
}

// The settings the monitor passes, over a caller's buffer.
inline PDH_BROWSE_DLG_CONFIG_A monitorConfig(char* buffer, DWORD length) {
    PDH_BROWSE_DLG_CONFIG_A config;
    std::memset(&config, 0, sizeof config);
    config.bSingleCounterPerAdd = 1;
    config.bSingleCounterPerDialog = 1;
    config.bLocalCountersOnly = 1;
    config.bHideDetailBox = 1;
    config.szReturnPathBuffer = buffer;
    config.cchReturnPathLength = length;
    config.dwDefaultDetailLevel = PERF_DETAIL_WIZARD;
    return config;
}

inline const QString kCaption = QStringLiteral("Browse Performance Counters");

// Fails a test whose dialog never closed instead of hanging the run.
class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        buffer.fill('\x5A');
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<BrowseCountersDialog*>(widget)) {
                    ADD_FAILURE() << "dialog left open: " << dialog->windowTitle().toStdString();
                    dialog->reject();
                }
            }
        });
        watchdog.start(10000);
    }
    void TearDown() override { watchdog.stop(); }

    std::string returned() const { return std::string(buffer.data()); }

    std::array<char, 1024> buffer{};
    QTimer watchdog;
};

}  // namespace vantorel::pdh::test
