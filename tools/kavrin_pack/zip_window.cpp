#include "zip_window.h"

#include <cctype>
#include <cstdio>
#include <new>

namespace norvane::pack {

namespace {

struct Window {
  std::FILE* file;
  std::int64_t offset;
  std::int64_t length;
  std::int64_t position = 0;
  bool failed = false;
};

voidpf openFile(voidpf opaque, const void* filename, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  auto* spec = static_cast<Window*>(opaque);
  std::FILE* f = std::fopen(static_cast<const char*>(filename), "rb");
  if (f == nullptr) return nullptr;
  auto* w = new (std::nothrow) Window{f, spec->offset, spec->length};
  if (w == nullptr) std::fclose(f);
  return w;
}

uLong readFile(voidpf, voidpf stream, void* buf, uLong size) {
  auto* w = static_cast<Window*>(stream);
  const std::int64_t left = w->length - w->position;
  if (left <= 0) return 0;
  const auto want = static_cast<std::size_t>(std::min<std::int64_t>(left, size));
  if (fseeko(w->file, static_cast<off_t>(w->offset + w->position), SEEK_SET) != 0) {
    w->failed = true;
    return 0;
  }
  const std::size_t got = std::fread(buf, 1, want, w->file);
  w->position += static_cast<std::int64_t>(got);
  return static_cast<uLong>(got);
}

uLong writeFile(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T tellFile(voidpf, voidpf stream) {
  return static_cast<ZPOS64_T>(static_cast<Window*>(stream)->position);
}

long seekFile(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* w = static_cast<Window*>(stream);
  std::int64_t base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = w->position;
  if (origin == ZLIB_FILEFUNC_SEEK_END) base = w->length;
  const std::int64_t target = base + static_cast<std::int64_t>(offset);
  if (target < 0 || target > w->length) return -1;
  w->position = target;
  return 0;
}

int closeFile(voidpf, voidpf stream) {
  auto* w = static_cast<Window*>(stream);
  std::fclose(w->file);
  delete w;
  return 0;
}

int testError(voidpf, voidpf stream) { return static_cast<Window*>(stream)->failed ? 1 : 0; }

std::string folded(const std::string& name) {
  std::string out;
  for (char c : name) {
    out += c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

}  // namespace

unzFile openZipWindow(const std::string& path, std::int64_t offset, std::int64_t length) {
  // minizip copies the callback table, but the opaque spec must outlive the open.
  static thread_local Window spec{};
  spec = Window{nullptr, offset, length};
  zlib_filefunc64_def io{};
  io.zopen64_file = openFile;
  io.zread_file = readFile;
  io.zwrite_file = writeFile;
  io.ztell64_file = tellFile;
  io.zseek64_file = seekFile;
  io.zclose_file = closeFile;
  io.zerror_file = testError;
  io.opaque = &spec;
  return unzOpen2_64(path.c_str(), &io);
}

bool zipHolds(unzFile zip, const std::string& name) {
  const std::string wanted = folded(name);
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    char stored[1024];
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, stored, sizeof stored, nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
      return false;
    }
    if (folded(stored) == wanted) return true;
  }
  return false;
}

}  // namespace norvane::pack
