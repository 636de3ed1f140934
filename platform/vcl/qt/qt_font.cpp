#include "platform/vcl/qt/qt_font.h"

#include <QApplication>
#include <cstdlib>

namespace vcl_detail {

QFont toQFont(const TFont& font) {
    QFont qfont(QString::fromStdString(font.Name));
    // A negative height is the character height in pixels; a positive one is the
    // cell height, which includes the internal leading.
    if (font.Height < 0) {
        qfont.setPixelSize(-font.Height);
    } else if (font.Height > 0) {
        qfont.setPixelSize(font.Height * 4 / 5 > 0 ? font.Height * 4 / 5 : 1);
    }
    qfont.setBold(font.Style.bold);
    qfont.setItalic(font.Style.italic);
    qfont.setUnderline(font.Style.underline);
    qfont.setStrikeOut(font.Style.strikeOut);
    return qfont;
}

QColor toQColor(TColor color) {
    const QPalette palette = QApplication::palette();
    switch (color) {
        case TColor::clBtnFace: return palette.color(QPalette::Button);
        case TColor::clWindowText: return palette.color(QPalette::WindowText);
        case TColor::clWindow: return palette.color(QPalette::Base);
    }
    return palette.color(QPalette::Window);
}

}  // namespace vcl_detail
