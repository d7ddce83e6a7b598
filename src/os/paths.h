// Path text in the core's Windows form: "\" separates names.
#pragma once

#include <string>
#include <string_view>

namespace norvane {

inline bool isSeparator(char c) { return c == '\\' || c == '/'; }

// dir + "\" + name, the separator added only when dir does not end in one.
std::string joinPath(std::string_view dir, std::string_view name);

std::string_view withoutTrailingSeparators(std::string_view path);

// True for text that names no folder one could safely delete a tree under:
// empty, only separators, "C:", "C:\", a bare UNC share "\\server\share".
bool isEmptyOrRoot(std::string_view path);

}  // namespace norvane
