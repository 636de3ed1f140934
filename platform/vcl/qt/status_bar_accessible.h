#pragma once

namespace vcl_detail {

// Lets assistive technology see the status bar as one, with its text as value.
void installStatusBarAccessibility();

}  // namespace vcl_detail
