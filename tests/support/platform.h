// What the tests need from the platform they run on: the real Os layer,
// throwaway folders, and whole-file helpers that go through the layer (so
// UTF-8 paths work under Windows too).
#pragma once

#include <cstdint>
#include <string>

#include "os/os.h"

namespace norvane::testing {

// The platform's real layer: Win32 on Windows, the POSIX stand-in natively
// (whose system folder holds no interpreter unless a test makes one).
Os& platformOs();

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // Without a trailing separator.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const;

 private:
  std::string path_;
};

void writeWholeFile(const std::string& path, const std::string& data);
std::string readWholeFile(const std::string& path);
bool fileExists(const std::string& path);
// A file of that length of which only the last byte is written: sparse
// where the file system allows, so even the archive's full length is cheap.
void writeSparseFile(const std::string& path, std::int64_t length);
bool folderExists(const std::string& path);
// A file of the project's assets folder.
std::string assetPath(const std::string& name);

#ifdef _WIN32
// A program or DLL built beside the test program.
std::string besideTestProgram(const std::string& name);
#endif

// As far as the platform has such attributes.
void makeReadOnlyAndHidden(const std::string& path);

}  // namespace norvane::testing

namespace norvane {
// Test shorthand for joining path names: dir / "sub" / "file".
inline std::string operator/(const std::string& dir, const std::string& name) {
  return dir + "\\" + name;
}
}  // namespace norvane
