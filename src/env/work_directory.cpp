#include "env/work_directory.h"

#include <cctype>

#include "os/paths.h"

namespace norvane {

namespace {

// Windows paths can be this long without the \\?\ prefix; beyond it the
// folder could be created but not the files in it.
constexpr std::size_t kMaxTempPath = 255;
// Enough for any sane temporary folder; a bound so a broken file system
// that refuses every name cannot keep us looping.
constexpr int kMaxCandidates = 10000;

// The length Windows counts, in UTF-16 units: a Chinese character is three
// bytes here but one unit there.
std::size_t utf16Length(const std::string& s) {
  std::size_t units = 0;
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) ++units;  // each character starts once
    if (b >= 0xF0) ++units;           // beyond the BMP: a surrogate pair
  }
  return units;
}

bool isAbsolute(const std::string& p) {
  const bool drive = p.size() >= 3 && std::isalpha(static_cast<unsigned char>(p[0])) &&
                     p[1] == ':' && isSeparator(p[2]);
  const bool unc = p.size() >= 2 && p[0] == '\\' && p[1] == '\\';
  const bool posix = !p.empty() && p[0] == '/';  // the POSIX stand-in's form
  return drive || unc || posix;
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

OsResult<std::string> tempPath(Os& os) {
  auto t = os.temporaryFolder();
  if (!t.ok()) return t;
  if (utf16Length(t.value) > kMaxTempPath || !isAbsolute(t.value) || isEmptyOrRoot(t.value)) {
    return {{}, kErrRefusedPath};
  }
  return t;
}

bool directoryExists(Os& os, const std::string& path) {
  const auto cut = path.find_last_of("\\/");
  const std::string parent = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  const auto listing = os.listDirectory(parent);
  if (!listing.ok()) return false;
  for (const DirectoryEntry& entry : listing.value) {
    if (entry.attributes.directory && equalIgnoringCase(entry.name, name)) return true;
  }
  return false;
}

OsResult<std::string> allocateWorkDirectory(Os& os) {
  const auto t = tempPath(os);
  if (!t.ok()) return t;
  std::string candidate = t.value + "\\Kavrin";
  OsError lastRefusal = kOsOk;
  for (int counter = 0; counter <= kMaxCandidates; ++counter) {
    if (!directoryExists(os, candidate)) {
      lastRefusal = os.createDirectory(candidate);
      if (lastRefusal == kOsOk) return {candidate + "\\", kOsOk};
    }
    candidate = t.value + "\\Kavrin_" + std::to_string(counter);
  }
  return {{}, lastRefusal != kOsOk ? lastRefusal : kErrRefusedPath};
}

}  // namespace norvane
