// Reads at given offsets of an open file through read-ahead windows, so
// many small reads close together cost one system call.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "os/os.h"

namespace norvane {

class ReadAheadFile {
 public:
  ReadAheadFile(Os& os, FileId file) : os_(os), file_(file) {}

  // Up to size bytes from offset on; fewer only at the end of the file or
  // on an error, which lastError() then names until the next read.
  std::size_t readAt(std::int64_t offset, void* out, std::size_t size);
  OsError lastError() const { return lastError_; }
  FileId file() const { return file_; }

 private:
  struct Window {
    std::int64_t start = 0;  // file offset of bytes[0]
    std::size_t length = 0;
    std::uint64_t lastUse = 0;
    std::vector<char> bytes;  // allocated at its first use
  };
  std::size_t readThrough(std::int64_t offset, void* out, std::size_t size);

  static constexpr std::size_t kWindow = 64 * 1024;
  Os& os_;
  FileId file_;
  OsError lastError_ = kOsOk;
  // Two, because a ZIP is read in two places at once: its directory at the
  // end and the entry headers it points to. One window thrashed between
  // them, reading 128 KiB for every small file.
  std::array<Window, 2> windows_;
  std::uint64_t uses_ = 0;
};

}  // namespace norvane
