#include "platform/vcl/qt/list_view.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QStyle>
#include <QToolTip>

#include "platform/vcl/comctrls.h"

namespace vcl_detail {

void ListViewModel::attach(const TListItems* items, const TListColumns* columns) {
    beginResetModel();
    items_ = items;
    columns_ = columns;
    endResetModel();
}

void ListViewModel::setReport(bool report) {
    beginResetModel();
    report_ = report;
    endResetModel();
    emit columnLayoutChanged();
}

int ListViewModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !items_) return 0;
    return items_->Count();
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !columns_) return 0;
    if (!report_) return 1;
    return std::max(1, columns_->Count());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !items_ || !index.isValid()) return {};
    if (index.row() >= items_->Count()) return {};
    const TListItem* item = items_->Item[index.row()];
    const String* text = nullptr;
    if (index.column() == 0) {
        text = &item->Caption.get();
    } else if (index.column() - 1 < item->SubItems->Count()) {
        text = &item->SubItems->Get(index.column() - 1);
    }
    if (!text) return {};
    return QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size()));
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || !columns_) return {};
    if (section < 0 || section >= columns_->Count()) return {};
    return QString::fromStdString((*columns_)[section]->Caption.get());
}

void ListViewModel::beginAppendRow() {
    flushChanges();
    const int row = rowCount();
    beginInsertRows({}, row, row);
}

void ListViewModel::endAppendRow() { endInsertRows(); }

void ListViewModel::columnsChanged() {
    beginResetModel();
    endResetModel();
    emit columnLayoutChanged();
}

void ListViewModel::cellChanged(int row, int column) {
    if (dirtyTop_ < 0) {
        dirtyTop_ = dirtyBottom_ = row;
        dirtyLeft_ = dirtyRight_ = column;
    } else {
        dirtyTop_ = std::min(dirtyTop_, row);
        dirtyBottom_ = std::max(dirtyBottom_, row);
        dirtyLeft_ = std::min(dirtyLeft_, column);
        dirtyRight_ = std::max(dirtyRight_, column);
    }
    if (!flushPosted_) {
        flushPosted_ = true;
        QMetaObject::invokeMethod(this, &ListViewModel::flushChanges, Qt::QueuedConnection);
    }
}

void ListViewModel::flushChanges() {
    flushPosted_ = false;
    if (dirtyTop_ < 0) return;
    const int top = dirtyTop_;
    const int bottom = std::min(dirtyBottom_, rowCount() - 1);
    const int left = dirtyLeft_;
    const int right = std::min(dirtyRight_, columnCount() - 1);
    dirtyTop_ = dirtyBottom_ = dirtyLeft_ = dirtyRight_ = -1;
    if (bottom < top || right < left) return;
    emit dataChanged(index(top, left), index(bottom, right), {Qt::DisplayRole});
}

ListViewWidget::ListViewWidget() : model_(new ListViewModel(this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setStretchLastSection(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFocusPolicy(Qt::StrongFocus);
    // Tab leaves the table for the next control; arrows move the current row.
    setTabKeyNavigation(false);
    connect(model_, &ListViewModel::columnLayoutChanged, this, &ListViewWidget::applyColumnSizes);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!sizing_) userSized_ = true;
    });
}

void ListViewWidget::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    applyColumnSizes();
}

void ListViewWidget::updateGeometries() {
    QTableView::updateGeometries();
    // A vertical scroll bar coming or going changes the width to fill.
    if (!userSized_ && !sizing_ && viewport()->width() != filledWidth_) applyColumnSizes();
}

void ListViewWidget::applyColumnSizes() {
    QHeaderView* header = horizontalHeader();
    header->setVisible(model_->report());
    const TListColumns* columns = model_->columns();
    const int count = model_->columnCount();
    const auto columnAt = [&](int section) -> const TListColumn* {
        return model_->report() && columns && section < columns->Count() ? (*columns)[section] : nullptr;
    };
    // Every section can be dragged wider, as in a report list; auto-sized ones
    // share what the fixed ones leave of the width.
    int autoSized = 0;
    int left = viewport()->width();
    for (int section = 0; section < count; ++section) {
        const TListColumn* column = columnAt(section);
        if (!column || column->AutoSize) {
            ++autoSized;
        } else {
            left -= column->Width;
        }
    }
    sizing_ = true;
    int autoIndex = 0;
    for (int section = 0; section < count; ++section) {
        const TListColumn* column = columnAt(section);
        header->setSectionResizeMode(section, QHeaderView::Interactive);
        if (!column || column->AutoSize) {
            const int share = std::max(0, left) / autoSized + (autoIndex < std::max(0, left) % autoSized ? 1 : 0);
            header->resizeSection(section, share);
            ++autoIndex;
        } else {
            header->resizeSection(section, column->Width);
        }
    }
    sizing_ = false;
    userSized_ = false;
    filledWidth_ = viewport()->width();
}

QString ListViewWidget::cutCellText(const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return {};
    // The delegate keeps a margin on each side of the text.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int room = visualRect(index).width() - 2 * margin;
    return fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

bool ListViewWidget::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = cutCellText(indexAt(help->pos()));
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            event->accept();
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(indexAt(help->pos())));
        }
        return true;
    }
    return QTableView::viewportEvent(event);
}

void ListViewWidget::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Tab leaves the table too, as it leaves any control that keeps Tab.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        (event->modifiers() & Qt::ControlModifier)) {
        const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        focusNextPrevChild(!back);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace vcl_detail
