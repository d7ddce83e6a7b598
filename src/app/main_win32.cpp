// Program entry of the release.
#include <windows.h>

#include <string>

#include "os/win32_dll_search.h"
#include "os/win32_os.h"
#include "os/win32_text.h"
#include "ui/win32_comctl.h"
#include "ui/win32_wizard_window.h"

namespace {

std::string programFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // a long path: grow rather than cut it
  }
  return norvane::toUtf8(path.substr(0, path.find_last_of(L'\\')));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything loads a DLL by name.
  norvane::hardenDllSearch();
  norvane::commonControls();
  norvane::Win32Os os;
  norvane::Win32WizardWindow window(os, programFolder());
  return window.run();
}
