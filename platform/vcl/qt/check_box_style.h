#pragma once

class QStyle;

namespace vcl_detail {

// The application's style with the gap between a check box and its text of
// the platform the window comes from (3 pixels, not the 6 of Qt's own styles),
// so a caption that filled its designed width still fits once text is laid out
// unhinted, as on a scaled display.
QStyle* checkBoxStyle();

}  // namespace vcl_detail
