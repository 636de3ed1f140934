#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "platform/vcl/graphics.h"

namespace vcl_detail {

QFont toQFont(const TFont& font);
QColor toQColor(TColor color);

}  // namespace vcl_detail
