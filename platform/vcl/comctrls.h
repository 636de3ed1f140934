// Common controls: the status bar and the report-style list view.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/vcl/controls.h"

namespace vcl_detail {
class StatusBarWidget;
class ListViewWidget;
class ListViewModel;
}

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* Owner);
    // The one text shown across the bar; set whole or appended to, never bounded.
    TextProperty SimpleText;

private:
    vcl_detail::StatusBarWidget* bar_;
};

class TListItem;
class TListItems;

// The sub-item texts of a row (the cells after its caption).
class TStrings {
public:
    class Reference {
    public:
        Reference& operator=(std::string_view text);
        operator const String&() const;
        const String& get() const;

    private:
        friend class TStrings;
        Reference(TStrings* owner, int index) : owner_(owner), index_(index) {}
        TStrings* owner_;
        int index_;
    };
    class Indexer {
    public:
        Reference operator[](int index) const { return Reference(owner_, index); }

    private:
        friend class TStrings;
        explicit Indexer(TStrings* owner) : owner_(owner) {}
        TStrings* owner_;
    };

    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    int Add(std::string_view text);
    int Count() const { return static_cast<int>(texts_.size()); }
    // An index out of range raises Exception, as the platform's string lists do.
    const String& Get(int index) const;
    void Put(int index, std::string_view text);

    Indexer Strings{this};

private:
    friend class TListItem;
    explicit TStrings(TListItem* item) : item_(item) {}
    TListItem* item_;
    std::vector<String> texts_;
};

class TListItem {
public:
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    TextProperty Caption;
    TStrings* const SubItems;
    int Index() const { return index_; }

private:
    friend class TListItems;
    TListItem(TListItems* owner, int index);
    void changed(int column);

    friend class TStrings;
    TListItems* owner_;
    int index_;
    TStrings subItems_;
};

class TListItems {
public:
    class Indexer {
    public:
        // An index out of range raises Exception.
        TListItem* operator[](int index) const;

    private:
        friend class TListItems;
        explicit Indexer(const TListItems* owner) : owner_(owner) {}
        const TListItems* owner_;
    };

    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;

    TListItem* Add();
    int Count() const { return static_cast<int>(items_.size()); }
    Indexer Item{this};

private:
    friend class TListView;
    friend class TListItem;
    friend class vcl_detail::ListViewModel;
    explicit TListItems(vcl_detail::ListViewModel* model) : model_(model) {}
    void cellChanged(int row, int column);

    vcl_detail::ListViewModel* model_;
    std::vector<std::unique_ptr<TListItem>> items_;
};

class TListColumn {
public:
    TextProperty Caption;
    // Auto-sized columns share the width the fixed ones leave.
    Property<bool> AutoSize{false};
    Property<int> Width{50};
};

class TListColumns {
public:
    TListColumns(const TListColumns&) = delete;
    TListColumns& operator=(const TListColumns&) = delete;

    TListColumn* Add();
    int Count() const { return static_cast<int>(columns_.size()); }
    TListColumn* operator[](int index) const;

private:
    friend class TListView;
    friend class vcl_detail::ListViewModel;
    explicit TListColumns(vcl_detail::ListViewModel* model) : model_(model) {}
    vcl_detail::ListViewModel* model_;
    std::vector<std::unique_ptr<TListColumn>> columns_;
};

enum class TViewStyle { vsList, vsReport };
inline constexpr TViewStyle vsList = TViewStyle::vsList;
inline constexpr TViewStyle vsReport = TViewStyle::vsReport;

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* Owner);
    ~TListView() override;

    Property<TViewStyle> ViewStyle{vsList};
    Property<bool> GridLines{false};
    TListColumns* const Columns;
    TListItems* const Items;

private:
    TListView(TComponent* Owner, vcl_detail::ListViewWidget* view);
    vcl_detail::ListViewWidget* view_;
    std::unique_ptr<TListColumns> columns_;
    std::unique_ptr<TListItems> items_;
};
