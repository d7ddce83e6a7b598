// The window described as data: every control with its design name, kind,
// page, place, size and text. The Win32 window creates its controls from
// this table; tests read it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/controls.h"

namespace norvane {

enum class ControlKind {
  PageContainer,
  Picture,  // shows one of the JPEG pictures
  Line,     // a plain one-pixel line in kLineColour
  Label,
  LinkLabel,         // blue, underlined, hand cursor, acts on mouse-down
  TransparentLabel,  // a link over a picture, drawing nothing of its own
  Button,
  DropDownList,
  TreeView,
  ProgressBar,
};

enum class PictureId { None, Welcome, Header };

inline constexpr std::uint32_t kLineColour = 0xA0A0A0;  // RGB 160, 160, 160
inline constexpr std::uint32_t kLinkColour = 0x0000FF;  // RGB 0, 0, 255 (as 0xRRGGBB)

inline constexpr int kWindowLevel = -1;

struct ControlSpec {
  ControlId id;
  std::string_view designName;
  ControlKind kind;
  int page;             // kWindowLevel, or 0 to 3
  ControlId onPicture;  // None: placed on the container (or the window)
  int x, y, width, height;
  std::string_view text;
  PictureId picture = PictureId::None;
  bool wordWrap = false;
  bool titleFont = false;
  bool initiallyHidden = false;
};

// Window-level controls first, then each page's, pictures before the labels
// placed on them.
std::span<const ControlSpec> wizardLayout();
const ControlSpec& specOf(ControlId id);

// Where the container's top-left corner lies in the client area: its tab
// strip sits above the client area, out of sight.
inline constexpr int kContainerX = -2;
inline constexpr int kContainerY = -23;
inline constexpr int kOuterWidth = 454;
inline constexpr int kOuterHeight = 400;

std::string_view welcomeText();

}  // namespace norvane
