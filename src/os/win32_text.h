// UTF-8 inside, UTF-16 at the Windows boundary: the W functions work with
// any user name and folder whatever the system's ANSI code page is.
#pragma once

#include <string>
#include <string_view>

namespace norvane {

// From UTF-8, or from the code page given (a Windows CP_ value).
std::wstring toWide(std::string_view text, unsigned codePage = 65001 /* CP_UTF8 */);
std::string toUtf8(const std::wstring& wide);
std::string toUtf8(const wchar_t* wide, std::size_t length);

}  // namespace norvane
