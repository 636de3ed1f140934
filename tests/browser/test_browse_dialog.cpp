#include "platform/pdh/browser/run_browse_dialog.h"

#include "dialog_driver.h"
#include "fake_enumeration.h"

#include <QComboBox>
#include <QSortFilterProxyModel>

#include <vector>

namespace vantorel::pdh::test {
namespace {

using BrowseDialog = BrowserTest;

TEST_F(BrowseDialog, StartsOnProcessorTotalAndEnterReturnsIt) {
    FakeEnumeration source;
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
    onDialog(kCaption, [](BrowseCountersDialog& d) {
        EXPECT_EQ(objects(d).currentItem()->text(), "Processor");
        EXPECT_EQ(counters(d).currentItem()->text(), "% Processor Time");
        EXPECT_EQ(currentInstanceText(d), "_Total");
        EXPECT_FALSE(d.isModal());
        EXPECT_EQ(d.windowModality(), Qt::NonModal);
        press(objects(d), Qt::Key_Return);
    });
    EXPECT_EQ(runBrowseDialog(&config, source), ERROR_SUCCESS);
    EXPECT_EQ(returned(), "\\Processor(_Total)\\% Processor Time");
    EXPECT_EQ(dialogCount(), 0) << "the dialog is deleted when done";
}

// Picks Process / ID Process and the one instance the typed filter leaves.
struct HostilePick {
    const char* typed;
    std::string instance;
    QString shown;
};

TEST_F(BrowseDialog, ReturnsThePickedInstanceByteExact) {
    const std::vector<HostilePick> picks = {
        {"b\\c", "a) b\\c:(d:42", QStringLiteral("a) b\\c:(d:42")},
        {"LINE", "new\nline:7", QString::fromUtf8("new\u23CEline:7")},
    };
    for (const HostilePick& pick : picks) {
        SCOPED_TRACE(pick.typed);
        FakeEnumeration source;
        PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
        onDialog(kCaption, [&pick](BrowseCountersDialog& d) {
            press(objects(d), Qt::Key_Down, 2);
            ASSERT_EQ(objects(d).currentItem()->text(), "Process");
            press(counters(d), Qt::Key_Down);
            QTest::keyClicks(&filter(d), QString::fromLatin1(pick.typed));
            EXPECT_EQ(instances(d).model()->rowCount(), 1);
            EXPECT_EQ(currentInstanceText(d), pick.shown) << "shown on one readable line";
            press(filter(d), Qt::Key_Return);
        });
        ASSERT_EQ(runBrowseDialog(&config, source), ERROR_SUCCESS);
        EXPECT_EQ(returned(), "\\Process(" + pick.instance + ")\\ID Process");
    }
}

TEST_F(BrowseDialog, FilterNarrowsAndKeepsAChoiceOrNone) {
    FakeEnumeration source;
    std::vector<std::string>& processes = source.current["Process"];
    for (int pid = 1000; pid < 1400; ++pid) {
        processes.push_back("worker-" + std::to_string(pid) + ":" + std::to_string(pid));
    }
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
    onDialog(kCaption, [](BrowseCountersDialog& d) {
        press(objects(d), Qt::Key_Down, 2);
        EXPECT_EQ(instances(d).model()->rowCount(), 404);
        QTest::keyClicks(&filter(d), "Worker-13");
        EXPECT_EQ(instances(d).model()->rowCount(), 100) << "case-insensitive substring";
        EXPECT_EQ(currentInstanceText(d), "worker-1300:1300") << "first match chosen";
        QTest::keyClicks(&filter(d), "zz");
        EXPECT_EQ(instances(d).model()->rowCount(), 0);
        EXPECT_FALSE(okButton(d).isEnabled());
        press(filter(d), Qt::Key_Return);
        EXPECT_TRUE(d.isVisible()) << "nothing to return: Enter does not close";
        press(filter(d), Qt::Key_Backspace, 2);
        press(filter(d), Qt::Key_Down, 2);  // arrows move in the list from the filter
        EXPECT_EQ(currentInstanceText(d), "worker-1302:1302");
        press(filter(d), Qt::Key_Return);
    });
    ASSERT_EQ(runBrowseDialog(&config, source), ERROR_SUCCESS);
    EXPECT_EQ(returned(), "\\Process(worker-1302:1302)\\% Processor Time");
}

TEST_F(BrowseDialog, CancelEscapeAndClosingWriteNothing) {
    const std::vector<std::pair<const char*, std::function<void(BrowseCountersDialog&)>>> ways = {
        {"Cancel", [](BrowseCountersDialog& d) {
             QTest::mouseClick(part<QDialogButtonBox>(d, "buttonBox")
                                   .button(QDialogButtonBox::Cancel),
                               Qt::LeftButton);
         }},
        {"Escape", [](BrowseCountersDialog& d) { press(counters(d), Qt::Key_Escape); }},
        {"close", [](BrowseCountersDialog& d) { d.close(); }},
    };
    for (const auto& [name, way] : ways) {
        SCOPED_TRACE(name);
        FakeEnumeration source;
        const std::array<char, 1024> before = buffer;
        PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
        onDialog(kCaption, way);
        EXPECT_EQ(runBrowseDialog(&config, source), PDH_DIALOG_CANCELLED);
        EXPECT_EQ(buffer, before);
        EXPECT_EQ(dialogCount(), 0);
    }
}

TEST_F(BrowseDialog, RefusesInsideTheDialogAPathThatDoesNotFit) {
    // "\Process(" + name + ")\ID Process": the short name fills the buffer to its
    // last byte, the long one is one byte over.
    FakeEnumeration source;
    const std::string fits = "\\Process(short:1)\\ID Process";
    source.current["Process"] = {"longer:1", "short:1"};
    const DWORD length = static_cast<DWORD>(fits.size() + 1);
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), length);
    onDialog(kCaption, [&fits](BrowseCountersDialog& d) {
        press(objects(d), Qt::Key_Down, 2);
        press(counters(d), Qt::Key_Down);
        ASSERT_EQ(currentInstanceText(d), "longer:1");
        press(instances(d), Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(message(d).isHidden());
        EXPECT_TRUE(message(d).text().contains(QString::number(fits.size() + 1)))
            << message(d).text().toStdString();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no message box";
        press(instances(d), Qt::Key_Down);
        EXPECT_TRUE(message(d).isHidden()) << "the refusal goes with its choice";
        press(instances(d), Qt::Key_Return);
    });
    ASSERT_EQ(runBrowseDialog(&config, source), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer.data()), fits);
    for (std::size_t i = length; i < buffer.size(); ++i) {
        ASSERT_EQ(buffer[i], '\x5A') << "byte " << i << " written";
    }
}

TEST_F(BrowseDialog, ObjectWithoutInstancesAndInstancesListedAnew) {
    FakeEnumeration source;
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
    onDialog(kCaption, [&source](BrowseCountersDialog& d) {
        const int before = source.instanceListings;
        press(objects(d), Qt::Key_Down, 2);
        EXPECT_EQ(source.instanceListings, before + 1);
        source.current["Process"].push_back("fresh:5");
        press(objects(d), Qt::Key_Up);
        EXPECT_EQ(objects(d).currentItem()->text(), "Memory");
        EXPECT_FALSE(instances(d).isEnabled());
        EXPECT_FALSE(filter(d).isEnabled());
        press(objects(d), Qt::Key_Down);
        QTest::keyClicks(&filter(d), "fresh");
        EXPECT_EQ(currentInstanceText(d), "fresh:5") << "the list of now, not of before";
        press(objects(d), Qt::Key_Up);
        EXPECT_TRUE(filter(d).text().isEmpty()) << "another object's filter is cleared";
        EXPECT_TRUE(part<QLabel>(d, "descriptionLabel").text().contains("MemFree"));
        press(objects(d), Qt::Key_Return);
    });
    ASSERT_EQ(runBrowseDialog(&config, source), ERROR_SUCCESS);
    EXPECT_EQ(returned(), "\\Memory\\Free Bytes");
}

TEST_F(BrowseDialog, TabOrderFollowsTheLayout) {
    FakeEnumeration source;
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
    config.bHideDetailBox = 0;
    config.bLocalCountersOnly = 0;
    onDialog(kCaption, [](BrowseCountersDialog& d) {
        QStringList order;
        QWidget* widget = &d;
        do {
            widget = widget->nextInFocusChain();
            if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isEnabled() &&
                widget->isVisibleTo(&d) && !widget->objectName().isEmpty()) {
                order << widget->objectName();
            }
        } while (widget != &d);
        EXPECT_EQ(order.join(' ').toStdString(),
                  "machineBox objectList counterList instanceFilter instanceList detailLevelBox");
        d.reject();
    });
    EXPECT_EQ(runBrowseDialog(&config, source), PDH_DIALOG_CANCELLED);
}

TEST_F(BrowseDialog, DetailLevelLimitsTheCounters) {
    struct Case {
        DWORD level;
        bool hideBox;
        QStringList processorCounters;
    };
    const std::vector<Case> cases = {
        {PERF_DETAIL_NOVICE, true, {"% Processor Time"}},
        {PERF_DETAIL_ADVANCED, false, {"% Processor Time", "% User Time"}},
        {0, true, {"% Processor Time", "% User Time", "% Steal Time"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        FakeEnumeration source;
        PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
        config.dwDefaultDetailLevel = c.level;
        config.bHideDetailBox = c.hideBox ? 1 : 0;
        onDialog(kCaption, [&c](BrowseCountersDialog& d) {
            QStringList shown;
            for (int row = 0; row < counters(d).count(); ++row) {
                shown << counters(d).item(row)->text();
            }
            EXPECT_EQ(shown, c.processorCounters);
            auto* box = d.findChild<QComboBox*>("detailLevelBox");
            ASSERT_EQ(box == nullptr, c.hideBox);
            if (box != nullptr) {
                EXPECT_EQ(box->currentText(), "Advanced");
                press(counters(d), Qt::Key_Down);  // % User Time, kept if still listed
                box->setFocus();
                press(*box, Qt::Key_Down);
                EXPECT_EQ(counters(d).count(), 3);
                EXPECT_EQ(counters(d).currentItem()->text(), "% User Time");
            }
            d.reject();
        });
        EXPECT_EQ(runBrowseDialog(&config, source), PDH_DIALOG_CANCELLED);
    }
}

TEST_F(BrowseDialog, MachineRowFollowsTheFlags) {
    struct Case {
        DWORD localOnly;
        DWORD disableSelection;
        bool shown;
        bool enabled;
    };
    for (const Case& c : {Case{1, 0, false, false}, Case{0, 0, true, true}, Case{0, 1, true, false}}) {
        SCOPED_TRACE(c.localOnly * 10 + c.disableSelection);
        FakeEnumeration source;
        PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
        config.bLocalCountersOnly = c.localOnly;
        config.bDisableMachineSelection = c.disableSelection;
        onDialog(kCaption, [&c](BrowseCountersDialog& d) {
            auto* box = d.findChild<QComboBox*>("machineBox");
            EXPECT_EQ(box != nullptr, c.shown);
            if (box != nullptr) {
                EXPECT_EQ(box->isEnabled(), c.enabled);
            }
            d.reject();
        });
        EXPECT_EQ(runBrowseDialog(&config, source), PDH_DIALOG_CANCELLED);
    }
}

TEST_F(BrowseDialog, StartsWhereAskedOrFallsBack) {
    struct Case {
        const char* name;
        std::string inBuffer;  // with bInitializePath; empty: flag not set
        bool withoutProcessor;
        std::string start;
    };
    const std::vector<Case> cases = {
        {"given path", "\\process(a) b\\c:(d:42)\\id process", false,
         "\\Process(a) b\\c:(d:42)\\ID Process"},
        {"gone instance", "\\Process(gone:9)\\ID Process", false,
         "\\Process(_Total)\\ID Process"},
        {"unparsable", "Processor % Processor Time", false,
         "\\Processor(_Total)\\% Processor Time"},
        {"unknown object", "\\Nothing\\Here", false, "\\Processor(_Total)\\% Processor Time"},
        {"no Processor", "", true, "\\Memory\\Free Bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeEnumeration source;
        if (c.withoutProcessor) {
            source.catalogue.erase(source.catalogue.begin());
        }
        std::memcpy(buffer.data(), c.inBuffer.c_str(), c.inBuffer.size() + 1);
        PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
        config.bInitializePath = c.inBuffer.empty() ? 0 : 1;
        std::string start;
        onDialog(kCaption, [&start](BrowseCountersDialog& d) {
            start = d.currentPath().value_or("none");
            d.reject();
        });
        EXPECT_EQ(runBrowseDialog(&config, source), PDH_DIALOG_CANCELLED);
        EXPECT_EQ(start, c.start);
    }
}

TEST_F(BrowseDialog, InitialPathIsReadOnlyInsideTheBuffer) {
    // No terminator within the length: the bytes after it are not the caller's.
    FakeEnumeration source;
    const std::string path = "\\Memory\\Free Bytes";
    std::memcpy(buffer.data(), path.c_str(), path.size() + 1);
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 8);
    config.bInitializePath = 1;
    std::string start;
    onDialog(kCaption, [&start](BrowseCountersDialog& d) {
        start = d.currentPath().value_or("none");
        d.reject();
    });
    EXPECT_EQ(runBrowseDialog(&config, source), PDH_DIALOG_CANCELLED);
    EXPECT_EQ(start, "\\Processor(_Total)\\% Processor Time");
}

TEST_F(BrowseDialog, CaptionAndCallBack) {
    FakeEnumeration source;
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
    char caption[] = "Pick one";
    config.szDialogBoxCaption = caption;
    static std::string seen;
    seen.clear();
    config.dwCallBackArg = reinterpret_cast<DWORD_PTR>(buffer.data());
    config.pCallBack = [](DWORD_PTR arg) -> PDH_STATUS {
        seen = reinterpret_cast<const char*>(arg);
        return 0x1234;
    };
    onDialog("Pick one", [](BrowseCountersDialog& d) { press(objects(d), Qt::Key_Return); });
    ASSERT_EQ(runBrowseDialog(&config, source), ERROR_SUCCESS);
    EXPECT_EQ(seen, "\\Processor(_Total)\\% Processor Time") << "called after the path is written";
    EXPECT_EQ(config.CallBackStatus, 0x1234u);
}

TEST_F(BrowseDialog, RefusesSettingsItCannotHonourBeforeShowing) {
    using Tweak = std::function<void(PDH_BROWSE_DLG_CONFIG_A&)>;
    char source_name[] = "log.blg";
    const std::vector<std::pair<const char*, Tweak>> cases = {
        {"null buffer", [](auto& c) { c.szReturnPathBuffer = nullptr; }},
        {"zero length", [](auto& c) { c.cchReturnPathLength = 0; }},
        {"several per add", [](auto& c) { c.bSingleCounterPerAdd = 0; }},
        {"several per dialog", [](auto& c) { c.bSingleCounterPerDialog = 0; }},
        {"wildcards", [](auto& c) { c.bWildCardInstances = 1; }},
        {"instance index", [](auto& c) { c.bIncludeInstanceIndex = 1; }},
        {"object browser", [](auto& c) { c.bShowObjectBrowser = 1; }},
        {"reserved bits", [](auto& c) { c.bReserved = 1; }},
        {"data source", [&](auto& c) { c.szDataSource = source_name; }},
        {"owner window", [](auto& c) { c.hWndOwner = &c; }},
        {"level below novice", [](auto& c) { c.dwDefaultDetailLevel = 50; }},
    };
    FakeEnumeration source;
    const std::array<char, 1024> before = buffer;
    for (const auto& [name, tweak] : cases) {
        SCOPED_TRACE(name);
        PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
        tweak(config);
        EXPECT_EQ(runBrowseDialog(&config, source), PDH_INVALID_ARGUMENT);
        EXPECT_EQ(dialogCount(), 0);
        EXPECT_EQ(source.instanceListings, 0);
    }
    EXPECT_EQ(runBrowseDialog(nullptr, source), PDH_INVALID_ARGUMENT);
    EXPECT_EQ(buffer, before);
}

TEST_F(BrowseDialog, LeavesTimersAndOtherWindowsWorking) {
    FakeEnumeration source;
    QWidget other;
    other.show();
    int ticksWhileOpen = 0;
    QTimer ticker;
    ticker.start(5);
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
    onDialog(kCaption, [&](BrowseCountersDialog& d) {
        // The caller's timer goes on ticking inside the dialog's loop.
        QObject::connect(&ticker, &QTimer::timeout, &d, [&, dialog = &d] {
            if (++ticksWhileOpen < 5) {
                return;
            }
            EXPECT_TRUE(other.isEnabled());
            EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
            dialog->reject();
        });
    });
    EXPECT_EQ(runBrowseDialog(&config, source), PDH_DIALOG_CANCELLED);
    EXPECT_GE(ticksWhileOpen, 5);
}

TEST_F(BrowseDialog, NestedBrowseCompletesInsideTheOuterOne) {
    FakeEnumeration source;
    std::array<char, 1024> innerBuffer{};
    std::vector<std::string> events;
    PDH_BROWSE_DLG_CONFIG_A outer = monitorConfig(buffer.data(), 1024);
    PDH_BROWSE_DLG_CONFIG_A inner = monitorConfig(innerBuffer.data(), 1024);
    char innerCaption[] = "Inner";
    inner.szDialogBoxCaption = innerCaption;
    onDialog(kCaption, [&](BrowseCountersDialog& outerDialog) {
        QTimer::singleShot(0, &outerDialog, [&, dialog = &outerDialog] {
            onDialog("Inner", [&](BrowseCountersDialog& d) {
                EXPECT_TRUE(dialog->isVisible());
                press(objects(d), Qt::Key_Up);  // Processor is first: stays
                press(objects(d), Qt::Key_Down);
                press(objects(d), Qt::Key_Return);
            });
            const PDH_STATUS status = runBrowseDialog(&inner, source);
            events.push_back("inner " + std::to_string(status));
            EXPECT_TRUE(dialog->isVisible());
            press(objects(*dialog), Qt::Key_Return);
        });
    });
    const PDH_STATUS status = runBrowseDialog(&outer, source);
    events.push_back("outer " + std::to_string(status));
    EXPECT_EQ(events, (std::vector<std::string>{"inner 0", "outer 0"}));
    EXPECT_EQ(std::string(innerBuffer.data()), "\\Memory\\Free Bytes");
    EXPECT_EQ(returned(), "\\Processor(_Total)\\% Processor Time");
}

}  // namespace
}  // namespace vantorel::pdh::test
