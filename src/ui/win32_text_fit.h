// Measuring a caption the way a static control draws it.
#pragma once

#include <windows.h>

#include <string_view>

namespace norvane {

// Whether text, drawn in the control's font with word wrap as a left-aligned
// static control draws it, lies wholly within the control's client area.
bool textFitsControl(HWND control, std::string_view text);

}  // namespace norvane
