// Small lookups in the running Windows shared by the Win32 code.
#pragma once

#include <windows.h>

#include <string>

namespace norvane {

// A function of a loaded module, typed; null where this Windows lacks it.
template <class Fn>
Fn procAddress(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Through void*: function pointer types do not convert into each other.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The system folder, without a trailing separator; empty if unknown.
inline std::wstring systemFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  return std::wstring(buffer, n);
}

}  // namespace norvane
