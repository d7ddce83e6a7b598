#include "platform.h"

#include <atomic>
#include <chrono>
#include <stdexcept>

#include "os/file_tree.h"
#include "os/os_handles.h"
#include "os/paths.h"

#ifdef _WIN32
#include <windows.h>

#include "os/win32_os.h"
#include "os/win32_text.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include "os/posix_os.h"
#endif

namespace norvane::testing {

Os& platformOs() {
#ifdef _WIN32
  static Win32Os os;
#else
  // Its own registry stand-in: CTest runs tests side by side in processes.
  static PosixOs os("/nonexistent/norvane-system",
                    "/tmp/norvane-test-registry-" + std::to_string(getpid()));
#endif
  return os;
}

namespace {

std::string uniqueName() {
  static std::atomic<int> counter{0};
#ifdef _WIN32
  const auto pid = static_cast<long long>(GetCurrentProcessId());
#else
  const auto pid = static_cast<long long>(getpid());
#endif
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return "norvane-test-" + std::to_string(pid) + "-" + std::to_string(now % 1000000007) + "-" +
         std::to_string(counter++);
}

}  // namespace

TempDir::TempDir() {
  Os& os = platformOs();
  auto base = os.temporaryFolder();
  if (!base.ok()) throw std::runtime_error("no temporary folder");
  path_ = joinPath(base.value, uniqueName());
  if (os.createDirectory(path_) != kOsOk) throw std::runtime_error("cannot create " + path_);
}

TempDir::~TempDir() { deleteTree(platformOs(), path_); }

std::string TempDir::operator/(const std::string& name) const { return joinPath(path_, name); }

void writeWholeFile(const std::string& path, const std::string& data) {
  Os& os = platformOs();
  OpenedFile f = createTruncatedFile(os, path, FileShare::Read);
  if (!f.file.valid()) throw std::runtime_error("cannot create " + path);
  if (os.write(f.file.id(), data.data(), data.size()) != kOsOk) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::string readWholeFile(const std::string& path) {
  Os& os = platformOs();
  OpenedFile f = openExistingFile(os, path, FileAccess::Read, FileShare::All);
  if (!f.file.valid()) throw std::runtime_error("cannot open " + path);
  std::string out;
  char piece[65536];
  while (true) {
    auto r = os.read(f.file.id(), piece, sizeof piece);
    if (!r.ok()) throw std::runtime_error("cannot read " + path);
    if (r.value == 0) break;
    out.append(piece, r.value);
  }
  return out;
}

void writeSparseFile(const std::string& path, std::int64_t length) {
  Os& os = platformOs();
  OpenedFile f = createTruncatedFile(os, path, FileShare::None);
  if (!f.file.valid() || !os.seek(f.file.id(), length - 1, SeekFrom::Begin).ok() ||
      os.write(f.file.id(), "", 1) != kOsOk) {
    throw std::runtime_error("cannot write " + path);
  }
}

bool fileExists(const std::string& path) {
  auto a = platformOs().attributesOf(path);
  return a.ok() && !a.value.directory;
}

bool folderExists(const std::string& path) {
  auto a = platformOs().attributesOf(path);
  return a.ok() && a.value.directory;
}

std::string assetPath(const std::string& name) {
  std::string dir = NORVANE_ASSETS_DIR;
#ifdef _WIN32
  // Wine shows the host's root as drive Z:.
  for (char& c : dir) {
    if (c == '/') c = '\\';
  }
  dir = "Z:" + dir;
#endif
  return joinPath(dir, name);
}

#ifdef _WIN32
std::string besideTestProgram(const std::string& name) {
  wchar_t self[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  const std::string path = toUtf8(self, n);
  return path.substr(0, path.find_last_of('\\') + 1) + name;
}
#endif

void makeReadOnlyAndHidden(const std::string& path) {
#ifdef _WIN32
  const std::wstring wide = toWide(path);
  if (!SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) {
    throw std::runtime_error("cannot set attributes of " + path);
  }
#else
  if (::chmod(PosixOs::nativePath(path).c_str(), 0444) != 0) {
    throw std::runtime_error("cannot chmod " + path);
  }
#endif
}

}  // namespace norvane::testing
