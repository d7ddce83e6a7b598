// UTF-8 inside, UTF-16 at the Windows boundary: the W functions work with
// any user name and folder whatever the system's ANSI code page is.
#pragma once

#include <string>

namespace norvane {

std::wstring toWide(const std::string& utf8);
std::string toUtf8(const std::wstring& wide);
std::string toUtf8(const wchar_t* wide, std::size_t length);

}  // namespace norvane
