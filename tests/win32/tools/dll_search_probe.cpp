// Loads by name the DLLs that Windows pulls in by name, after hardening the
// search as the program does, or, with "--unhardened", without: the second
// form shows that a planted DLL would be caught.
#include <windows.h>

#include <cwchar>
#include <initializer_list>

#include "os/win32_dll_search.h"

int wmain(int argc, wchar_t** argv) {
  const bool hardened = !(argc > 1 && std::wcscmp(argv[1], L"--unhardened") == 0);
  if (hardened) norvane::hardenDllSearch();
  for (const wchar_t* name : {L"uxtheme.dll", L"version.dll", L"dwmapi.dll", L"comctl32.dll"}) {
    LoadLibraryW(name);
  }
  return 0;
}
