#include "os/win32_dll_search.h"

#include <windows.h>

#include <initializer_list>
#include <string>

#include "os/win32_system.h"

namespace norvane {

namespace {

// Not in the headers for the oldest systems we target; looked up at run time.
constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);

void preloadFromSystemFolder() {
  const std::wstring folder = systemFolder();
  if (folder.empty()) return;
  for (const wchar_t* name : {L"uxtheme.dll", L"version.dll", L"dwmapi.dll"}) {
    // dwmapi is missing on XP; a failed load is the right outcome there.
    LoadLibraryW((folder + L"\\" + name).c_str());
  }
}

}  // namespace

DllSearchHardening hardenDllSearch() {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  DllSearchHardening result = DllSearchHardening::None;
  if (kernel != nullptr) {
    const auto setDefault =
        procAddress<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(kLoadLibrarySearchSystem32)) {
      result = DllSearchHardening::SystemFolderOnly;
    } else {
      const auto setDirectory = procAddress<SetDllDirectoryWFn>(kernel, "SetDllDirectoryW");
      if (setDirectory != nullptr && setDirectory(L""))
        result = DllSearchHardening::AppFolderRemoved;
    }
  }
  preloadFromSystemFolder();
  return result;
}

}  // namespace norvane
