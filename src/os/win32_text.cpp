#include "os/win32_text.h"

#include <windows.h>

namespace norvane {

std::wstring toWide(std::string_view text, unsigned codePage) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string toUtf8(const wchar_t* wide, std::size_t length) {
  if (length == 0) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), out.data(), n, nullptr, nullptr);
  return out;
}

std::string toUtf8(const std::wstring& wide) { return toUtf8(wide.data(), wide.size()); }

}  // namespace norvane
