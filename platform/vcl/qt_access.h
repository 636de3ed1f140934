// For the layer's tests and benchmarks: the widgets behind the controls.
#pragma once

#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class QAbstractItemModel;
class QString;
class QScrollArea;
class QTableView;

namespace vcl_detail {
QAbstractItemModel* modelOf(const TListView& view);
QTableView* viewOf(const TListView& view);
QScrollArea* scrollAreaOf(const TForm& form);
QString statusBarVisibleText(const TStatusBar& bar);
int statusBarVisibleByteLimit(const TStatusBar& bar);
// The tooltip of the status bar; empty while the bar shows the text whole.
QString statusBarToolTip(const TStatusBar& bar);
}  // namespace vcl_detail
