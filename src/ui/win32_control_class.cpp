#include "ui/win32_control_class.h"

// After windows.h, which it builds on.
#include <commctrl.h>

namespace norvane {

ControlClass controlClassOf(const ControlSpec& spec) {
  ControlClass c{L"STATIC", WS_CHILD | WS_CLIPSIBLINGS, 0, spec.height};
  switch (spec.kind) {
    case ControlKind::PageContainer:
      c.className = WC_TABCONTROLW;
      break;
    case ControlKind::Picture:
      c.style |= SS_BITMAP | SS_NOTIFY;
      break;
    case ControlKind::Line:
      c.style |= SS_LEFT;
      break;
    case ControlKind::Label:
      c.style |= (spec.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP) | SS_NOPREFIX;
      break;
    case ControlKind::LinkLabel:
      c.style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
      break;
    case ControlKind::TransparentLabel:
      c.style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
      c.exStyle |= WS_EX_TRANSPARENT;
      break;
    case ControlKind::Button:
      c.className = L"BUTTON";
      c.style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::DropDownList:
      c.className = L"COMBOBOX";
      c.style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
      c.height = 160;  // the dropped-down list; the box itself is sized by its font
      break;
    case ControlKind::TreeView:
      c.className = WC_TREEVIEWW;
      c.style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER |
                 WS_TABSTOP;
      break;
    case ControlKind::ProgressBar:
      c.className = PROGRESS_CLASSW;
      break;
  }
  return c;
}

}  // namespace norvane
