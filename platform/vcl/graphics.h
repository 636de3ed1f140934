// Colours and fonts as the form designer states them.
#pragma once

#include "platform/vcl/system.h"

// System colours are named, not given as RGB, so that they follow the desktop.
enum class TColor { clBtnFace, clWindowText, clWindow };
inline constexpr TColor clBtnFace = TColor::clBtnFace;
inline constexpr TColor clWindowText = TColor::clWindowText;
inline constexpr TColor clWindow = TColor::clWindow;

enum class TFontCharset { DEFAULT_CHARSET };
inline constexpr TFontCharset DEFAULT_CHARSET = TFontCharset::DEFAULT_CHARSET;

struct TFontStyles {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const TFontStyles&) const = default;
};

struct TFont {
    String Name = "MS Sans Serif";
    // Negative: the character height in pixels, as designed at 96 pixels per inch.
    int Height = -11;
    TColor Color = clWindowText;
    TFontCharset Charset = DEFAULT_CHARSET;
    TFontStyles Style;
};
