#include "ui/win32_text_fit.h"

#include <string>

#include "os/win32_text.h"

namespace norvane {

bool textFitsControl(HWND control, std::string_view text) {
  RECT client{};
  if (!GetClientRect(control, &client)) return false;
  const HDC dc = GetDC(control);
  if (dc == nullptr) return false;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  const HGDIOBJ previous =
      SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
  const std::wstring wide = toWide(text);
  // The flags a word-wrapping static control draws with.
  RECT needed{0, 0, client.right, 0};
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &needed,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  return needed.bottom <= client.bottom && needed.right <= client.right;
}

}  // namespace norvane
