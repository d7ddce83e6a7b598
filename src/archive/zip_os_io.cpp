#include "archive/zip_os_io.h"

#include <new>

#include "archive/read_ahead_file.h"

namespace norvane {

namespace {

// minizip reads the directory a few bytes at a time and seeks before
// every read; the read-ahead window turns those into one system call per
// 64 KiB, and seeking only moves the position.
struct Stream {
  explicit Stream(Os& os, FileId id) : file(os, id) {}
  ReadAheadFile file;
  OsError lastError = kOsOk;
  std::int64_t position = 0;  // where minizip reads next
  std::int64_t size = -1;     // learned on the first seek from the end
};

Os& osOf(voidpf opaque) { return *static_cast<Os*>(opaque); }

voidpf openFile(voidpf opaque, const void* filename, int mode) {
  // minizip only ever reads here; refuse anything else rather than guess.
  if (filename == nullptr ||
      (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) {
    return nullptr;
  }
  auto r = osOf(opaque).openExisting(static_cast<const char*>(filename), FileAccess::Read,
                                     FileShare::Read);
  if (!r.ok()) return nullptr;
  auto* s = new (std::nothrow) Stream(osOf(opaque), r.value);
  if (s == nullptr) osOf(opaque).closeFile(r.value);
  return s;
}

uLong readFile(voidpf, voidpf stream, void* buf, uLong size) {
  auto* s = static_cast<Stream*>(stream);
  const std::size_t n = s->file.readAt(s->position, buf, size);
  s->position += static_cast<std::int64_t>(n);
  if (s->file.lastError() != kOsOk) s->lastError = s->file.lastError();
  return static_cast<uLong>(n);
}

uLong writeFile(voidpf, voidpf stream, const void*, uLong) {
  static_cast<Stream*>(stream)->lastError = kErrInvalidFile;
  return 0;
}

ZPOS64_T tellFile(voidpf, voidpf stream) {
  return static_cast<ZPOS64_T>(static_cast<Stream*>(stream)->position);
}

long seekFile(voidpf opaque, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<Stream*>(stream);
  std::int64_t base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = s->position;
  if (origin == ZLIB_FILEFUNC_SEEK_END) {
    if (s->size < 0) {
      auto end = osOf(opaque).seek(s->file.file(), 0, SeekFrom::End);
      if (!end.ok()) {
        s->lastError = end.error;
        return -1;
      }
      s->size = end.value;
    }
    base = s->size;
  }
  const std::int64_t target = base + static_cast<std::int64_t>(offset);
  if (target < 0) return -1;
  s->position = target;
  return 0;
}

int closeFile(voidpf opaque, voidpf stream) {
  auto* s = static_cast<Stream*>(stream);
  const OsError e = osOf(opaque).closeFile(s->file.file());
  delete s;
  return e == kOsOk ? 0 : -1;
}

int testError(voidpf, voidpf stream) {
  return static_cast<Stream*>(stream)->lastError == kOsOk ? 0 : 1;
}

}  // namespace

zlib_filefunc64_def osZipFileFunctions(Os& os) {
  zlib_filefunc64_def f{};
  f.zopen64_file = openFile;
  f.zread_file = readFile;
  f.zwrite_file = writeFile;
  f.ztell64_file = tellFile;
  f.zseek64_file = seekFile;
  f.zclose_file = closeFile;
  f.zerror_file = testError;
  f.opaque = &os;
  return f;
}

}  // namespace norvane
