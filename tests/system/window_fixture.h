// A fresh main window over the scripted performance-data library.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QTest>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>

#include "monitor/counter_records.h"
#include "platform/pdh/scripted/scripted_pdh.h"
#include "platform/vcl/qt_access.h"
#include "ui/Unit1.h"

class WindowTest : public ::testing::Test {
protected:
    using Script = vantorel::pdh::scripted::Script;

    void SetUp() override {
        script().reset();
        Application->Initialize();
    }

    void TearDown() override {
        delete form_;
        form_ = nullptr;
        // The program never frees added records; the tests do, between windows.
        for (_tag_PDHCounterStruct* record : Counters) delete record;
        Counters.clear();
        hQuery = nullptr;
    }

    static Script& script() { return Script::instance(); }

    TForm1& open() {
        form_ = new TForm1(Application);
        form_->Show();
        return *form_;
    }

    static void click(TControl* control) { QTest::mouseClick(control->widget(), Qt::LeftButton); }

    // Adds `path` through Add Counter, as if the user chose it in the browser.
    void addThroughBrowser(const std::string& path) {
        script().browse = [path](PDH_BROWSE_DLG_CONFIG_A& config) {
            return vantorel::pdh::scripted::choosePath(config, path);
        };
        click(form_->Button4);
        script().browse = nullptr;
    }

    // Answers the next modal message box (from within its own loop) and keeps its text.
    struct Answered {
        QString text;
        bool modal = false;
        bool seen = false;
    };
    static std::shared_ptr<Answered> answerNextMessageBox() {
        auto answered = std::make_shared<Answered>();
        auto* poll = new QTimer;
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [answered, poll] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            answered->seen = true;
            answered->modal = box->isModal();
            answered->text = box->text();
            box->accept();
            poll->stop();
            poll->deleteLater();
        });
        poll->start();
        return answered;
    }

    std::string status() const { return form_->StatusBar1->SimpleText.get(); }

    QString cell(int row, int column) const {
        const QAbstractItemModel* model = vcl_detail::modelOf(*form_->ListView1);
        return model->data(model->index(row, column)).toString();
    }
    int rows() const { return vcl_detail::modelOf(*form_->ListView1)->rowCount(); }

    TForm1* form_ = nullptr;
};
