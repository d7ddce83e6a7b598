// The window class and styles each kind of control in the layout table is
// created with.
#pragma once

#include <windows.h>

#include "ui/layout.h"

namespace norvane {

struct ControlClass {
  const wchar_t* className;
  DWORD style;  // without WS_VISIBLE, which depends on the page shown
  DWORD exStyle;
  int height;  // the created height: a drop-down list's includes its list
};

ControlClass controlClassOf(const ControlSpec& spec);

}  // namespace norvane
