// A stand-in for an installer: appends the command line it got, its
// current folder and how it was asked to show its window to
// "<own path>.log" and exits with the number found in
// "<own path>.code" (0 without it). Lets tests see exactly what the
// interpreter handed on.
#include <windows.h>

#include <string>

int wmain() {
  wchar_t self[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  const std::wstring base(self, n);
  wchar_t cwd[MAX_PATH * 2];
  const DWORD c = GetCurrentDirectoryW(MAX_PATH * 2, cwd);
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
  const std::wstring line = std::wstring(GetCommandLineW()) + L"|" + std::wstring(cwd, c) + L"|" +
                            std::to_wstring(show) + L"\n";

  const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), bytes,
                      nullptr, nullptr);
  const HANDLE log = CreateFileW((base + L".log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(log, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(log);

  DWORD code = 0;
  const HANDLE f = CreateFileW((base + L".code").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f != INVALID_HANDLE_VALUE) {
    char text[16] = {};
    DWORD got = 0;
    ReadFile(f, text, sizeof text - 1, &got, nullptr);
    CloseHandle(f);
    code = static_cast<DWORD>(std::strtoul(text, nullptr, 10));
  }
  return static_cast<int>(code);
}
