#include "archive/zip_os_io.h"

#include <new>
#include <string>

namespace norvane {

namespace {

struct Stream {
  FileId id;
  OsError lastError = kOsOk;
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

uLong readFile(voidpf opaque, voidpf stream, void* buf, uLong size) {
  auto* s = static_cast<Stream*>(stream);
  auto r = osOf(opaque).read(s->id, buf, size);
  if (!r.ok()) {
    s->lastError = r.error;
    return 0;
  }
  return static_cast<uLong>(r.value);
}

uLong writeFile(voidpf, voidpf stream, const void*, uLong) {
  static_cast<Stream*>(stream)->lastError = kErrInvalidFile;
  return 0;
}

ZPOS64_T tellFile(voidpf opaque, voidpf stream) {
  auto* s = static_cast<Stream*>(stream);
  auto r = osOf(opaque).seek(s->id, 0, SeekFrom::Current);
  if (!r.ok()) {
    s->lastError = r.error;
    return static_cast<ZPOS64_T>(-1);
  }
  return static_cast<ZPOS64_T>(r.value);
}

long seekFile(voidpf opaque, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<Stream*>(stream);
  SeekFrom from = SeekFrom::Begin;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) from = SeekFrom::Current;
  if (origin == ZLIB_FILEFUNC_SEEK_END) from = SeekFrom::End;
  auto r = osOf(opaque).seek(s->id, static_cast<std::int64_t>(offset), from);
  if (!r.ok()) {
    s->lastError = r.error;
    return -1;
  }
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
