#include "archive_tool.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

#include "catalogue/catalogue.h"
#include "zip_window.h"

namespace norvane::pack {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = 1 << 20;
// Zeros are skipped in pieces this small, so a payload of a few real bytes
// and megabytes of padding stays a few real bytes on disk.
constexpr std::size_t kHoleGrain = 64 << 10;
constexpr std::int64_t kProgressStep = 64 << 20;

std::string describe(const ComponentEntry& e) {
  return "component " + std::to_string(e.id) + " (" + std::string(e.treeCaption) + ")";
}

// What a component's commands name inside its ZIP, without the folder prefix.
std::set<std::string> namedInsideZip(const ComponentEntry& e) {
  std::set<std::string> names;
  const std::string prefix = std::string(e.extractFolder) + "\\";
  for (const CommandTemplate& c : e.commands) {
    for (std::string_view path : {c.path, c.path64}) {
      if (!path.empty() && path.starts_with(prefix)) names.emplace(path.substr(prefix.size()));
    }
  }
  return names;
}

// The names missing from the ZIP at [offset, offset + length) of path, or a
// message when it does not open at all.
std::vector<std::string> zipProblems(const ComponentEntry& e, const std::string& path,
                                     std::int64_t offset, std::int64_t length) {
  unzFile zip = openZipWindow(path, offset, length);
  if (zip == nullptr) return {"is not a ZIP archive that opens"};
  std::vector<std::string> problems;
  for (const std::string& name : namedInsideZip(e)) {
    if (!zipHolds(zip, name)) problems.push_back("holds no \"" + name + "\"");
  }
  unzClose(zip);
  return problems;
}

bool allZero(const char* data, std::size_t n) {
  return std::all_of(data, data + n, [](char c) { return c == 0; });
}

std::string errnoText() { return std::strerror(errno); }

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

Outcome packArchive(const std::string& folder, const std::string& output,
                    const Progress& progress) {
  Outcome out;
  for (const ComponentEntry& e : allComponents()) {
    const std::string file = (fs::path(folder) / e.stagedName).string();
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec) {
      out.lines.push_back(describe(e) + ": file " + file + " is missing");
      continue;
    }
    if (static_cast<std::int64_t>(size) != e.segment.length()) {
      out.lines.push_back(describe(e) + ": file " + file + " holds " + std::to_string(size) +
                          " bytes, its segment " + std::to_string(e.segment.length()));
      continue;
    }
    if (!e.extractFolder.empty()) {
      for (const std::string& p : zipProblems(e, file, 0, e.segment.length())) {
        out.lines.push_back(describe(e) + ": file " + file + " " + p);
      }
    }
  }
  if (!out.lines.empty()) {
    out.ok = false;
    return out;
  }

  // Written beside the target and renamed at the end: a failed pack leaves
  // no half archive under the real name.
  const std::string partial = output + ".partial";
  Fd target(::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (target.get() < 0) return {false, {"cannot create " + partial + ": " + errnoText()}};
  std::vector<char> block(kBlock);
  std::int64_t done = 0;
  std::int64_t nextReport = 0;
  for (const ComponentEntry& e : allComponents()) {
    const std::string file = (fs::path(folder) / e.stagedName).string();
    Fd source(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    std::int64_t left = e.segment.length();
    while (source.get() >= 0 && left > 0) {
      const auto want = static_cast<std::size_t>(std::min<std::int64_t>(left, kBlock));
      const ssize_t got = ::read(source.get(), block.data(), want);
      if (got <= 0) break;
      const auto n = static_cast<std::size_t>(got);
      bool wrote = true;
      for (std::size_t at = 0; wrote && at < n; at += kHoleGrain) {
        const std::size_t piece = std::min(kHoleGrain, n - at);
        const char* data = block.data() + at;
        wrote = allZero(data, piece)
                    ? ::lseek(target.get(), static_cast<off_t>(piece), SEEK_CUR) >= 0
                    : ::write(target.get(), data, piece) == static_cast<ssize_t>(piece);
      }
      if (!wrote) {
        ::unlink(partial.c_str());
        return {false, {"cannot write " + partial + ": " + errnoText()}};
      }
      left -= got;
      done += got;
      if (progress && done >= nextReport) {
        progress(done, kPayloadArchiveLength, e.id);
        nextReport = done + kProgressStep;
      }
    }
    if (left != 0) {
      ::unlink(partial.c_str());
      return {false,
              {describe(e) + ": file " + file + " changed or could not be read while packing"}};
    }
  }
  // Skipped zeros at the very end still count towards the length.
  if (::ftruncate(target.get(), static_cast<off_t>(kPayloadArchiveLength)) != 0 ||
      ::fsync(target.get()) != 0 || ::rename(partial.c_str(), output.c_str()) != 0) {
    const std::string why = errnoText();
    ::unlink(partial.c_str());
    return {false, {"cannot finish " + output + ": " + why}};
  }
  if (progress) progress(done, kPayloadArchiveLength, kLastComponentId);
  out.lines.push_back("packed " + std::to_string(allComponents().size()) + " payloads into " +
                      output + " (" + std::to_string(kPayloadArchiveLength) + " bytes)");
  return out;
}

Outcome verifyArchive(const std::string& archive, const Progress& progress) {
  Outcome out;
  std::error_code ec;
  const auto size = fs::file_size(archive, ec);
  if (ec) return {false, {archive + ": cannot be read"}};
  if (static_cast<std::int64_t>(size) != kPayloadArchiveLength) {
    out.ok = false;
    out.lines.push_back(archive + ": " + std::to_string(size) + " bytes, expected " +
                        std::to_string(kPayloadArchiveLength));
  }
  Fd fd(::open(archive.c_str(), O_RDONLY | O_CLOEXEC));
  for (const ComponentEntry& e : allComponents()) {
    if (progress) progress(e.segment.offset, kPayloadArchiveLength, e.id);
    std::vector<std::string> problems;
    if (e.segment.end() > static_cast<std::int64_t>(size)) {
      problems.push_back("cut short");
    } else if (!e.extractFolder.empty()) {
      problems = zipProblems(e, archive, e.segment.offset, e.segment.length());
    } else {
      std::array<unsigned char, 4> magic{};
      const bool read = ::pread(fd.get(), magic.data(), magic.size(), e.segment.offset) == 4;
      const bool msi = std::string_view(e.stagedName).ends_with(".msi");
      const bool matches = msi ? magic == std::array<unsigned char, 4>{0xD0, 0xCF, 0x11, 0xE0}
                               : magic[0] == 'M' && magic[1] == 'Z';
      if (!read || !matches)
        problems.push_back(msi ? "is not a Windows Installer package" : "is not a program");
    }
    if (problems.empty()) {
      out.lines.push_back("ok   " + describe(e));
    } else {
      out.ok = false;
      for (const std::string& p : problems) out.lines.push_back("FAIL " + describe(e) + ": " + p);
    }
  }
  return out;
}

}  // namespace norvane::pack
