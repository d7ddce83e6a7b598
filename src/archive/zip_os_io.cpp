#include "archive/zip_os_io.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace norvane {

namespace {

// minizip reads the directory a few bytes at a time and seeks before
// every read; a read-ahead window turns those into one system call per
// 64 KiB, and seeking only moves the position.
constexpr std::size_t kWindow = 64 * 1024;

struct Stream {
  FileId id;
  OsError lastError = kOsOk;
  std::int64_t position = 0;     // where minizip reads next
  std::int64_t windowStart = 0;  // file offset of window[0]
  std::size_t windowLength = 0;
  std::vector<char> window = std::vector<char>(kWindow);
  std::int64_t size = -1;  // learned on the first seek from the end
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
  auto* s = new (std::nothrow) Stream{r.value};
  if (s == nullptr) osOf(opaque).closeFile(r.value);
  return s;
}

// Reads at the stream's position through the layer, bypassing the window.
std::size_t readAt(Os& os, Stream& s, std::int64_t at, void* buf, std::size_t size) {
  if (!os.seek(s.id, at, SeekFrom::Begin).ok()) return 0;
  auto r = os.read(s.id, buf, size);
  if (!r.ok()) s.lastError = r.error;
  return r.ok() ? r.value : 0;
}

uLong readFile(voidpf opaque, voidpf stream, void* buf, uLong size) {
  auto* s = static_cast<Stream*>(stream);
  Os& os = osOf(opaque);
  auto* out = static_cast<char*>(buf);
  std::size_t done = 0;
  while (done < size) {
    const std::int64_t inWindow = s->position - s->windowStart;
    if (inWindow >= 0 && inWindow < static_cast<std::int64_t>(s->windowLength)) {
      const std::size_t n =
          std::min<std::size_t>(size - done, s->windowLength - static_cast<std::size_t>(inWindow));
      std::memcpy(out + done, s->window.data() + inWindow, n);
      done += n;
      s->position += static_cast<std::int64_t>(n);
      continue;
    }
    if (size - done >= kWindow) {  // large reads go straight through
      const std::size_t n = readAt(os, *s, s->position, out + done, size - done);
      done += n;
      s->position += static_cast<std::int64_t>(n);
      break;
    }
    s->windowStart = s->position;
    s->windowLength = readAt(os, *s, s->position, s->window.data(), kWindow);
    if (s->windowLength == 0) break;
  }
  return static_cast<uLong>(done);
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
      auto end = osOf(opaque).seek(s->id, 0, SeekFrom::End);
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
  const OsError e = osOf(opaque).closeFile(s->id);
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
