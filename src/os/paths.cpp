#include "os/paths.h"

namespace norvane {

std::string joinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && !isSeparator(out.back())) out += '\\';
  out += name;
  return out;
}

std::string_view withoutTrailingSeparators(std::string_view path) {
  while (!path.empty() && isSeparator(path.back())) path.remove_suffix(1);
  return path;
}

bool isEmptyOrRoot(std::string_view path) {
  const std::string_view p = withoutTrailingSeparators(path);
  if (p.empty()) return true;
  if (p.size() == 2 && p[1] == ':') return true;
  if (p.size() >= 2 && isSeparator(p[0]) && isSeparator(p[1])) {
    // "\\server\share" (or less) is a root; a folder below it is not.
    int names = 0;
    bool inName = false;
    for (char c : p.substr(2)) {
      if (isSeparator(c)) {
        inName = false;
      } else if (!inName) {
        inName = true;
        ++names;
      }
    }
    return names <= 2;
  }
  return false;
}

}  // namespace norvane
