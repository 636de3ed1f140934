#include "cli/display_text.h"

namespace vantorel::cli {

std::string displayText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            shown += '?';
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            shown += '?';
            ++i;
        } else {
            shown += text[i];
        }
    }
    return shown;
}

std::string shellQuotedIfControls(std::string_view text) {
    if (displayText(text) == text) return std::string(text);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string quoted = "$'";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c == '\\' || c == '\'') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (c < 0x20 || c == 0x7F || c1) {
            const std::size_t bytes = c1 ? 2 : 1;
            for (std::size_t k = 0; k < bytes; ++k) {
                const auto b = static_cast<unsigned char>(text[i + k]);
                quoted += "\\x";
                quoted += kHex[b >> 4];
                quoted += kHex[b & 0xF];
            }
            i += bytes - 1;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    quoted += '\'';
    return quoted;
}

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
    return width;
}

}  // namespace vantorel::cli
