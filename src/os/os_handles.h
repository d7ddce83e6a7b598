// Move-only owners of what the Os layer hands out, so every path that opens
// a file or takes a buffer also gives it back.
#pragma once

#include <cstddef>
#include <utility>

#include "os/os.h"

namespace norvane {

class OsFile {
 public:
  OsFile() = default;
  OsFile(Os& os, FileId id) : os_(&os), id_(id) {}
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;
  OsFile(OsFile&& other) noexcept : os_(std::exchange(other.os_, nullptr)), id_(other.id_) {}
  OsFile& operator=(OsFile&& other) noexcept {
    if (this != &other) {
      close();
      os_ = std::exchange(other.os_, nullptr);
      id_ = other.id_;
    }
    return *this;
  }
  ~OsFile() { close(); }

  bool valid() const { return os_ != nullptr; }
  FileId id() const { return id_; }
  // Returns what closing reported; closing an invalid file is a no-op.
  OsError close() {
    if (os_ == nullptr) return kOsOk;
    return std::exchange(os_, nullptr)->closeFile(id_);
  }

 private:
  Os* os_ = nullptr;
  FileId id_ = 0;
};

// Opens through the layer and wraps the result; the error stays readable.
struct OpenedFile {
  OsFile file;
  OsError error = kOsOk;
};

inline OpenedFile openExistingFile(Os& os, const std::string& path, FileAccess access,
                                   FileShare share) {
  auto r = os.openExisting(path, access, share);
  if (!r.ok()) return {OsFile{}, r.error};
  return {OsFile{os, r.value}, kOsOk};
}

inline OpenedFile createTruncatedFile(Os& os, const std::string& path, FileShare share) {
  auto r = os.createTruncate(path, share);
  if (!r.ok()) return {OsFile{}, r.error};
  return {OsFile{os, r.value}, kOsOk};
}

class OsBuffer {
 public:
  OsBuffer(Os& os, std::size_t size) : os_(&os), data_(os.allocateBuffer(size)), size_(size) {}
  OsBuffer(const OsBuffer&) = delete;
  OsBuffer& operator=(const OsBuffer&) = delete;
  ~OsBuffer() {
    if (data_ != nullptr) os_->releaseBuffer(data_, size_);
  }
  void* data() const { return data_; }
  std::size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  Os* os_;
  void* data_;
  std::size_t size_;
};

}  // namespace norvane
