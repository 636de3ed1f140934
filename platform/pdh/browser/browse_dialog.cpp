#include "platform/pdh/browser/browse_dialog.h"

#include "platform/pdh/browser/display_text.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QSysInfo>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

namespace vantorel::pdh {

namespace {

struct DetailLevelName {
    unsigned level;
    const char* name;
};

constexpr std::array<DetailLevelName, 4> kDetailLevels{{
    {PERF_DETAIL_NOVICE, "Novice"},
    {PERF_DETAIL_ADVANCED, "Advanced"},
    {PERF_DETAIL_EXPERT, "Expert"},
    {PERF_DETAIL_WIZARD, "Wizard"},
}};

// Index into the owning vector, kept on each list row.
constexpr int kIndexRole = Qt::UserRole;

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        return lower(x) == lower(y);
    });
}

QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    // Names and descriptions come from outside: never read them as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Rows as tall as the font clip the low stroke of "_" (as in "_Total") in some
// fonts; a little more height keeps it visible.
class RoomyRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 4);
    }
};

int rowOf(const QListWidget& list, int index) {
    for (int row = 0; row < list.count(); ++row) {
        const QListWidgetItem* item = list.item(row);
        if (item != nullptr && item->data(kIndexRole).toInt() == index) {
            return row;
        }
    }
    return -1;
}

}  // namespace

BrowseCountersDialog::BrowseCountersDialog(const Enumeration& source, BrowseOptions options,
                                           QWidget* parent)
    : QDialog(parent), source_(source), options_(std::move(options)),
      level_(options_.detailLevel) {
    setObjectName(QStringLiteral("BrowseCountersDialog"));
    setWindowTitle(QString::fromUtf8(options_.caption.data(),
                                     static_cast<qsizetype>(options_.caption.size())));
    buildWidgets();
    listObjects();

    const StartChoice& start = options_.start;
    auto found = std::find_if(objects_.begin(), objects_.end(),
                              [&](const ObjectInfo& o) { return sameName(o.name, start.object); });
    std::string_view counter = start.counter;
    std::string_view instance = start.instance;
    if (found == objects_.end()) {
        found = std::find_if(objects_.begin(), objects_.end(),
                             [](const ObjectInfo& o) { return sameName(o.name, kStartObject); });
        counter = kStartCounter;
        instance = kStartInstance;
    }
    const int index = found == objects_.end() ? 0 : static_cast<int>(found - objects_.begin());
    chooseObject(rowOf(*objectList_, index), counter, instance);

    connect(objectList_, &QListWidget::currentRowChanged, this,
            [this](int row) { chooseObject(row, kStartCounter, kStartInstance); });
    connect(counterList_, &QListWidget::currentRowChanged, this, [this] { choiceChanged(); });
    connect(instanceList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { choiceChanged(); });
    connect(instanceFilter_, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    if (detailBox_ != nullptr) {
        connect(detailBox_, &QComboBox::currentIndexChanged, this,
                [this](int i) { chooseDetailLevel(i); });
    }
    objectList_->setFocus();
}

void BrowseCountersDialog::buildWidgets() {
    auto* layout = new QVBoxLayout(this);

    if (options_.showMachine) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(tr("Co&mputer:"), this);
        machineBox_ = new QComboBox(this);
        machineBox_->setObjectName(QStringLiteral("machineBox"));
        // Counters are read from this machine's /proc and /sys; there is no other.
        machineBox_->addItem(tr("%1 (this computer)").arg(QSysInfo::machineHostName()));
        machineBox_->setEnabled(options_.machineSelectable);
        machineBox_->setAccessibleName(tr("Computer"));
        machineBox_->setAccessibleDescription(tr("The computer whose counters are listed"));
        label->setBuddy(machineBox_);
        row->addWidget(label);
        row->addWidget(machineBox_, 1);
        layout->addLayout(row);
    }

    auto* grid = new QGridLayout;
    const auto heading = [this](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };

    objectList_ = new QListWidget(this);
    objectList_->setObjectName(QStringLiteral("objectList"));
    counterList_ = new QListWidget(this);
    counterList_->setObjectName(QStringLiteral("counterList"));
    instanceFilter_ = new QLineEdit(this);
    instanceFilter_->setObjectName(QStringLiteral("instanceFilter"));
    instanceFilter_->setClearButtonEnabled(true);
    instanceFilter_->installEventFilter(this);
    instanceList_ = new QListView(this);
    instanceList_->setObjectName(QStringLiteral("instanceList"));
    instanceModel_ = new QStandardItemModel(this);
    instanceProxy_ = new QSortFilterProxyModel(this);
    instanceProxy_->setSourceModel(instanceModel_);
    instanceProxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    instanceList_->setModel(instanceProxy_);
    instanceList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    instanceList_->setUniformItemSizes(true);  // hundreds of processes
    objectList_->setAccessibleName(tr("Performance objects"));
    objectList_->setAccessibleDescription(tr("The kinds of thing that have counters; hover for a description"));
    counterList_->setAccessibleName(tr("Counters"));
    counterList_->setAccessibleDescription(tr("The counters of the chosen object"));
    instanceFilter_->setAccessibleName(tr("Instance filter"));
    instanceFilter_->setAccessibleDescription(tr("Narrows the instances to those containing the typed text"));
    instanceList_->setAccessibleName(tr("Instances"));
    instanceList_->setAccessibleDescription(tr("The instances of the chosen object that exist now"));
    for (QListView* view :
         std::array<QListView*, 3>{objectList_, counterList_, instanceList_}) {
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setMinimumSize(170, 220);
        view->setItemDelegate(new RoomyRowDelegate(view));
    }

    grid->addWidget(heading(tr("Performance &object:"), objectList_), 0, 0);
    grid->addWidget(heading(tr("&Counter:"), counterList_), 0, 1);
    grid->addWidget(heading(tr("&Instance:"), instanceList_), 0, 2);
    grid->addWidget(objectList_, 1, 0, 2, 1);
    grid->addWidget(counterList_, 1, 1, 2, 1);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(heading(tr("&Filter:"), instanceFilter_));
    filterRow->addWidget(instanceFilter_, 1);
    grid->addLayout(filterRow, 1, 2);
    grid->addWidget(instanceList_, 2, 2);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 3);
    grid->setRowStretch(2, 1);
    layout->addLayout(grid, 1);

    auto* descriptionBox = new QGroupBox(tr("Description"), this);
    auto* descriptionLayout = new QVBoxLayout(descriptionBox);
    descriptionLabel_ = plainLabel(QString(), descriptionBox);
    descriptionLabel_->setObjectName(QStringLiteral("descriptionLabel"));
    descriptionLabel_->setWordWrap(true);
    descriptionLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    descriptionLabel_->setMinimumHeight(descriptionLabel_->fontMetrics().lineSpacing() * 3);
    descriptionLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    descriptionLabel_->setAccessibleName(tr("Counter description"));
    descriptionLayout->addWidget(descriptionLabel_);
    layout->addWidget(descriptionBox);

    pathLabel_ = plainLabel(QString(), this);
    pathLabel_->setObjectName(QStringLiteral("pathLabel"));
    pathLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pathLabel_->setAccessibleDescription(tr("The counter path the choice gives"));
    layout->addWidget(pathLabel_);

    messageLabel_ = plainLabel(QString(), this);
    messageLabel_->setObjectName(QStringLiteral("messageLabel"));
    messageLabel_->setWordWrap(true);
    messageLabel_->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold;"));
    messageLabel_->hide();
    layout->addWidget(messageLabel_);

    auto* bottom = new QHBoxLayout;
    if (options_.showDetailBox) {
        detailBox_ = new QComboBox(this);
        detailBox_->setObjectName(QStringLiteral("detailLevelBox"));
        int startIndex = 0;
        for (const DetailLevelName& entry : kDetailLevels) {
            detailBox_->addItem(tr(entry.name), entry.level);
            if (entry.level <= level_) {
                startIndex = detailBox_->count() - 1;
            }
        }
        detailBox_->setCurrentIndex(startIndex);
        detailBox_->setAccessibleName(tr("Detail level"));
        detailBox_->setAccessibleDescription(tr("Lists only the counters meant for this level of user"));
        bottom->addWidget(heading(tr("&Detail level:"), detailBox_));
        bottom->addWidget(detailBox_);
    }
    bottom->addStretch(1);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->setObjectName(QStringLiteral("buttonBox"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &BrowseCountersDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &BrowseCountersDialog::reject);
    if (QPushButton* ok = buttons_->button(QDialogButtonBox::Ok)) {
        ok->setDefault(true);
    }
    bottom->addWidget(buttons_);
    layout->addLayout(bottom);

    QWidget* previous = machineBox_ != nullptr ? static_cast<QWidget*>(machineBox_) : nullptr;
    for (QWidget* next : std::array<QWidget*, 5>{objectList_, counterList_, instanceFilter_,
                                                 instanceList_, detailBox_}) {
        if (next == nullptr) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, next);
        }
        previous = next;
    }
    if (previous != nullptr) {
        setTabOrder(previous, buttons_);
    }
    resize(780, 520);
}

void BrowseCountersDialog::listObjects() {
    try {
        objects_ = source_.objects();
    } catch (const std::exception& e) {
        objects_.clear();
        listingError_ = tr("The performance objects could not be listed: %1").arg(e.what());
    }
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        auto* item = new QListWidgetItem(displayText(objects_[i].name), objectList_);
        item->setData(kIndexRole, static_cast<int>(i));
        item->setToolTip(displayText(objects_[i].description));
    }
}

void BrowseCountersDialog::chooseObject(int row, std::string_view preferredCounter,
                                        std::string_view preferredInstance) {
    if (row >= 0 && objectList_->currentRow() != row) {
        const QSignalBlocker block(objectList_);
        objectList_->setCurrentRow(row);
    }
    // A filter typed for one object's instances means nothing for another's.
    const QSignalBlocker blockFilter(instanceFilter_);
    instanceFilter_->clear();
    instanceProxy_->setFilterFixedString(QString());
    listCounters(preferredCounter);
    listInstances(preferredInstance);
    choiceChanged();
}

void BrowseCountersDialog::listCounters(std::string_view preferred) {
    const QSignalBlocker block(counterList_);
    counterList_->clear();
    const ObjectInfo* object = currentObject();
    if (object == nullptr) {
        return;
    }
    int preferredRow = -1;
    for (std::size_t i = 0; i < object->counters.size(); ++i) {
        const CounterInfo& counter = object->counters[i];
        if (counter.detailLevel > level_) {
            continue;
        }
        auto* item = new QListWidgetItem(displayText(counter.name), counterList_);
        item->setData(kIndexRole, static_cast<int>(i));
        if (preferredRow < 0 && sameName(counter.name, preferred)) {
            preferredRow = counterList_->count() - 1;
        }
    }
    if (counterList_->count() > 0) {
        counterList_->setCurrentRow(std::max(preferredRow, 0));
    }
}

void BrowseCountersDialog::listInstances(std::string_view preferred) {
    const ObjectInfo* object = currentObject();
    const bool has = object != nullptr && object->hasInstances;
    instances_.clear();
    if (has) {
        listingError_.clear();
        try {
            instances_ = source_.instances(object->name);
        } catch (const std::exception& e) {
            listingError_ = tr("The instances could not be listed: %1").arg(e.what());
        }
    }
    instanceModel_->clear();
    int preferredRow = -1;
    for (std::size_t i = 0; i < instances_.size(); ++i) {
        auto* item = new QStandardItem(displayText(instances_[i]));
        item->setData(static_cast<int>(i), kIndexRole);
        item->setEditable(false);
        instanceModel_->appendRow(item);
        if (preferredRow < 0 && instances_[i] == preferred) {
            preferredRow = static_cast<int>(i);
        }
    }
    instanceFilter_->setEnabled(has);
    instanceList_->setEnabled(has);
    instanceFilter_->setPlaceholderText(has ? tr("Type to narrow the list")
                                            : tr("This object has no instances"));
    if (!instances_.empty()) {
        const QModelIndex index = instanceProxy_->index(std::max(preferredRow, 0), 0);
        instanceList_->setCurrentIndex(index);
        instanceList_->scrollTo(index);
    }
}

void BrowseCountersDialog::applyFilter() {
    instanceProxy_->setFilterFixedString(instanceFilter_->text());
    // The filter may have hidden the chosen row: choose the first one left.
    if (!instanceList_->currentIndex().isValid() && instanceProxy_->rowCount() > 0) {
        instanceList_->setCurrentIndex(instanceProxy_->index(0, 0));
    }
    if (instanceList_->currentIndex().isValid()) {
        instanceList_->scrollTo(instanceList_->currentIndex());
    }
    choiceChanged();
}

void BrowseCountersDialog::chooseDetailLevel(int index) {
    if (detailBox_ == nullptr || index < 0) {
        return;
    }
    level_ = detailBox_->itemData(index).toUInt();
    const CounterInfo* counter = currentCounter();
    const std::string keep = counter != nullptr ? counter->name : std::string(kStartCounter);
    listCounters(keep);
    choiceChanged();
}

void BrowseCountersDialog::choiceChanged() {
    // A refusal belongs to the choice it refused; a listing failure stays.
    if (listingError_.isEmpty()) {
        messageLabel_->hide();
    } else {
        showMessage(listingError_);
    }
    const CounterInfo* counter = currentCounter();
    descriptionLabel_->setText(counter != nullptr ? displayText(counter->description)
                                                  : QString());
    // A reader gives the pane's name; its changing text comes as the description.
    descriptionLabel_->setAccessibleDescription(descriptionLabel_->text());
    const std::optional<std::string> path = currentPath();
    if (path) {
        pathLabel_->setText(tr("Path: %1").arg(displayText(*path)));
    } else if (counter == nullptr) {
        pathLabel_->setText(tr("No counter at this detail level."));
    } else {
        pathLabel_->setText(instances_.empty() ? tr("This object has no instances now.")
                                               : tr("No instance matches the filter."));
    }
    if (QPushButton* ok = buttons_->button(QDialogButtonBox::Ok)) {
        ok->setEnabled(path.has_value());
    }
}

void BrowseCountersDialog::showMessage(const QString& text) {
    messageLabel_->setText(text);
    messageLabel_->show();
}

const ObjectInfo* BrowseCountersDialog::currentObject() const {
    const QListWidgetItem* item = objectList_->currentItem();
    if (item == nullptr) {
        return nullptr;
    }
    const int i = item->data(kIndexRole).toInt();
    return (i >= 0 && static_cast<std::size_t>(i) < objects_.size()) ? &objects_[i] : nullptr;
}

const CounterInfo* BrowseCountersDialog::currentCounter() const {
    const ObjectInfo* object = currentObject();
    const QListWidgetItem* item = counterList_->currentItem();
    if (object == nullptr || item == nullptr) {
        return nullptr;
    }
    const int i = item->data(kIndexRole).toInt();
    return (i >= 0 && static_cast<std::size_t>(i) < object->counters.size())
               ? &object->counters[i]
               : nullptr;
}

const std::string* BrowseCountersDialog::currentInstance() const {
    const QModelIndex index = instanceList_->currentIndex();
    if (!index.isValid()) {
        return nullptr;
    }
    const int i = index.data(kIndexRole).toInt();
    return (i >= 0 && static_cast<std::size_t>(i) < instances_.size()) ? &instances_[i]
                                                                        : nullptr;
}

std::optional<std::string> BrowseCountersDialog::currentPath() const {
    const ObjectInfo* object = currentObject();
    const CounterInfo* counter = currentCounter();
    if (object == nullptr || counter == nullptr) {
        return std::nullopt;
    }
    if (!object->hasInstances) {
        return makeCounterPath(object->name, {}, counter->name, false);
    }
    const std::string* instance = currentInstance();
    if (instance == nullptr) {
        return std::nullopt;
    }
    return makeCounterPath(object->name, *instance, counter->name, true);
}

void BrowseCountersDialog::accept() {
    const std::optional<std::string> path = currentPath();
    if (!path) {
        return;
    }
    switch (checkPathFits(*path, options_.capacity)) {
    case PathFit::Fits:
        chosen_ = *path;
        QDialog::accept();
        return;
    case PathFit::TooLong:
        showMessage(tr("This path is %1 bytes long; the caller's buffer has room for %2 "
                       "bytes and the closing zero. Choose a shorter one.")
                        .arg(path->size())
                        .arg(options_.capacity - 1));
        return;
    case PathFit::HoldsZeroByte:
        showMessage(tr("This name holds a zero byte, which no path can carry. "
                       "Choose another."));
        return;
    }
}

bool BrowseCountersDialog::eventFilter(QObject* watched, QEvent* event) {
    // Arrow keys in the filter box move through the instances it narrows, so a
    // person can type and pick without leaving it.
    if (watched == instanceFilter_ && event != nullptr && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(instanceList_, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vantorel::pdh
