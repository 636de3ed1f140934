#include "platform/vcl/qt_access.h"

#include "platform/vcl/qt/form_window.h"
#include "platform/vcl/qt/list_view.h"
#include "platform/vcl/qt/status_bar_widget.h"

namespace vcl_detail {

QAbstractItemModel* modelOf(const TListView& view) { return viewOf(view)->model(); }

QTableView* viewOf(const TListView& view) { return static_cast<ListViewWidget*>(view.widget()); }

QScrollArea* scrollAreaOf(const TForm& form) { return static_cast<FormWindow*>(form.widget())->scrollArea(); }

QString statusBarVisibleText(const TStatusBar& bar) {
    return static_cast<const StatusBarWidget*>(bar.widget())->visibleText();
}

int statusBarVisibleByteLimit(const TStatusBar& bar) {
    return static_cast<const StatusBarWidget*>(bar.widget())->visibleByteLimit();
}

}  // namespace vcl_detail

namespace vcl_detail {

QString statusBarToolTip(const TStatusBar& bar) {
    return static_cast<const StatusBarWidget*>(bar.widget())->readableText();
}

}  // namespace vcl_detail
