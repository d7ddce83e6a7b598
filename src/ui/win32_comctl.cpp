#include "ui/win32_comctl.h"

#include "os/win32_system.h"

namespace norvane {

namespace {

CommonControls load() {
  CommonControls c;
  const HMODULE module = LoadLibraryW(L"comctl32.dll");
  if (module == nullptr) return c;
  c.initCommonControlsEx =
      procAddress<decltype(c.initCommonControlsEx)>(module, "InitCommonControlsEx");
  c.imageListCreate = procAddress<decltype(c.imageListCreate)>(module, "ImageList_Create");
  c.imageListAdd = procAddress<decltype(c.imageListAdd)>(module, "ImageList_Add");
  if (c.initCommonControlsEx != nullptr) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                     ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_TREEVIEW_CLASSES};
    c.initCommonControlsEx(&classes);
  }
  return c;
}

}  // namespace

const CommonControls& commonControls() {
  static const CommonControls controls = load();
  return controls;
}

}  // namespace norvane
