#include "archive/zip_entry_name.h"

#include <array>
#include <cctype>

namespace norvane {

namespace {

bool isDeviceName(std::string_view part) {
  // Windows maps the device names with any extension, and with blanks
  // before the dot, to the device.
  std::string_view base = part.substr(0, part.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string upper;
  for (char c : base) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static constexpr std::array<std::string_view, 4> plain{"CON", "PRN", "AUX", "NUL"};
  for (std::string_view d : plain) {
    if (upper == d) return true;
  }
  if (upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT"))) {
    return upper[3] >= '1' && upper[3] <= '9';
  }
  return false;
}

bool isSafePart(std::string_view part) {
  if (part.empty() || part == "." || part == "..") return false;
  if (part.back() == '.' || part.back() == ' ') return false;
  for (char ch : part) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20) return false;
    switch (ch) {
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|':
      case ':':
        return false;
      default:
        break;
    }
  }
  return !isDeviceName(part);
}

}  // namespace

std::optional<SafeEntryName> checkEntryName(std::string_view storedName) {
  std::string path(storedName);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  SafeEntryName out;
  if (!path.empty() && path.back() == '\\') {
    out.endsWithSeparator = true;
    path.pop_back();
  }
  // Covers "", "\x", "\\server\share" and, after the pop above, "/" alone.
  if (path.empty() || path.front() == '\\') return std::nullopt;
  std::size_t start = 0;
  while (true) {
    const std::size_t cut = path.find('\\', start);
    const std::string_view part =
        std::string_view(path).substr(start, cut == std::string::npos ? cut : cut - start);
    if (!isSafePart(part)) return std::nullopt;
    if (cut == std::string::npos) break;
    start = cut + 1;
  }
  out.relativePath = std::move(path);
  return out;
}

}  // namespace norvane
