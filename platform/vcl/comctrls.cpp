#include "platform/vcl/comctrls.h"

#include <string>

#include "platform/vcl/qt/list_view.h"
#include "platform/vcl/qt/status_bar_widget.h"

// Status bar

TStatusBar::TStatusBar(TComponent* Owner)
    : TWinControl(Owner, new vcl_detail::StatusBarWidget(&SimpleText.get())),
      bar_(static_cast<vcl_detail::StatusBarWidget*>(widget())) {
    // Appending past the visible head changes nothing on screen.
    SimpleText.onChange([this](std::size_t from) {
        if (from < static_cast<std::size_t>(bar_->visibleByteLimit())) bar_->update();
        bar_->textChanged();
    });
    Align = alBottom;
}

// Sub-items

TStrings::Reference& TStrings::Reference::operator=(std::string_view text) {
    owner_->Put(index_, text);
    return *this;
}

TStrings::Reference::operator const String&() const { return owner_->Get(index_); }
const String& TStrings::Reference::get() const { return owner_->Get(index_); }

int TStrings::Add(std::string_view text) {
    texts_.emplace_back(text);
    item_->changed(Count());
    return Count() - 1;
}

const String& TStrings::Get(int index) const {
    if (index < 0 || index >= Count()) {
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    }
    return texts_[static_cast<std::size_t>(index)];
}

void TStrings::Put(int index, std::string_view text) {
    if (index < 0 || index >= Count()) {
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    }
    texts_[static_cast<std::size_t>(index)].assign(text);
    item_->changed(index + 1);
}

// Items

TListItem::TListItem(TListItems* owner, int index)
    : SubItems(&subItems_), owner_(owner), index_(index), subItems_(this) {
    Caption.onChange([this](std::size_t) { changed(0); });
}

void TListItem::changed(int column) { owner_->cellChanged(index_, column); }

TListItem* TListItems::Indexer::operator[](int index) const {
    if (index < 0 || index >= owner_->Count()) {
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    }
    return owner_->items_[static_cast<std::size_t>(index)].get();
}

TListItem* TListItems::Add() {
    model_->beginAppendRow();
    items_.push_back(std::unique_ptr<TListItem>(new TListItem(this, Count())));
    model_->endAppendRow();
    return items_.back().get();
}

void TListItems::cellChanged(int row, int column) { model_->cellChanged(row, column); }

// Columns

TListColumn* TListColumns::Add() {
    columns_.push_back(std::make_unique<TListColumn>());
    TListColumn* column = columns_.back().get();
    column->Caption.onChange([this](std::size_t) { model_->columnsChanged(); });
    column->AutoSize.onChange([this](bool) { model_->columnsChanged(); });
    column->Width.onChange([this](int) { model_->columnsChanged(); });
    model_->columnsChanged();
    return column;
}

TListColumn* TListColumns::operator[](int index) const {
    if (index < 0 || index >= Count()) {
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    }
    return columns_[static_cast<std::size_t>(index)].get();
}

// List view

TListView::TListView(TComponent* Owner) : TListView(Owner, new vcl_detail::ListViewWidget) {}

TListView::TListView(TComponent* Owner, vcl_detail::ListViewWidget* view)
    : TWinControl(Owner, view),
      Columns(new TListColumns(view->listModel())),
      Items(new TListItems(view->listModel())),
      view_(view),
      columns_(Columns),
      items_(Items) {
    view_->listModel()->attach(Items, Columns);
    ViewStyle.onChange([this](TViewStyle style) { view_->listModel()->setReport(style == vsReport); });
    GridLines.onChange([this](bool grid) { view_->setShowGrid(grid); });
    view_->setShowGrid(false);
}

TListView::~TListView() {
    // The view goes with the control; it must not read the items meanwhile.
    view_->listModel()->attach(nullptr, nullptr);
}
