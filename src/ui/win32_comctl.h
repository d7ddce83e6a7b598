// The common controls, loaded by name once the DLL search is hardened (the
// manifest makes it version 6). Importing comctl32 would load it, and what
// it pulls in, before the program's first line could harden anything.
#pragma once

#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

namespace norvane {

struct CommonControls {
  decltype(&::InitCommonControlsEx) initCommonControlsEx = nullptr;
  decltype(&::ImageList_Create) imageListCreate = nullptr;
  decltype(&::ImageList_Add) imageListAdd = nullptr;
};

// Loads the library and registers the control classes the wizard uses.
const CommonControls& commonControls();

}  // namespace norvane
