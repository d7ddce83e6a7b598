// Program entry of the release.
#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "archive/payload_archive.h"
#include "os/win32_dll_search.h"
#include "os/win32_os.h"
#include "os/win32_text.h"
#include "ui/web_addresses.h"

namespace {

using namespace norvane;

// comctl32 is loaded by name after the search is hardened (the manifest
// makes it version 6); importing it would load it, and what it pulls in,
// before our first line runs.
void initCommonControls() {
  const HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  if (comctl == nullptr) return;
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = reinterpret_cast<InitFn>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")));
  if (init == nullptr) return;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  init(&classes);
}

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
  return toUtf8(path.substr(0, path.find_last_of(L'\\')));
}

void openUrl(std::string_view address) {
  ShellExecuteW(nullptr, L"open", toWide(std::string(address)).c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  hardenDllSearch();
  initCommonControls();
  Win32Os os;
  const std::string archive = payloadArchivePath(programFolder());
  if (!os.attributesOf(archive).ok()) {
    MessageBoxW(nullptr, L"未在本目录发现Kavrin.cab文件", L"请重新下载", MB_OK);
    openUrl(kDownloadPageUrl);
    return 0;
  }
  return 0;
}
