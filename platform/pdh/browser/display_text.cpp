#include "platform/pdh/browser/display_text.h"

namespace vantorel::pdh {

namespace {
// Marks that common desktop fonts carry; the control pictures (U+2400...) are
// missing from most and would show as empty boxes.
constexpr char16_t kNewlineMark = 0x23CE;  // RETURN SYMBOL
constexpr char16_t kTabMark = 0x2192;      // RIGHTWARDS ARROW
}  // namespace

QString displayText(std::string_view bytes) {
    const QString decoded = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text;
    text.reserve(decoded.size());
    for (const QChar c : decoded) {
        const char16_t u = c.unicode();
        if (u == u'\n') {
            text += QChar(kNewlineMark);
        } else if (u == u'\t') {
            text += QChar(kTabMark);
        } else if (c.category() == QChar::Other_Control) {
            // C0, DEL and C1: nothing to see, so spell out the code.
            const bool c0 = u < 0x80;
            text += c0 ? QStringLiteral("\\x") : QStringLiteral("\\u");
            text += QString::number(u, 16).rightJustified(c0 ? 2 : 4, u'0').toUpper();
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace vantorel::pdh
