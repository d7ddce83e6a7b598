#include "archive/zip_extract.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <array>
#include <vector>

#include "archive/zip_entry_name.h"
#include "archive/zip_os_io.h"
#include "os/file_tree.h"
#include "os/os_handles.h"
#include "os/paths.h"

namespace norvane {

namespace {

// Small enough that a 32-bit process never needs a large block, large
// enough that the per-call overhead does not show.
constexpr std::size_t kPieceSize = 256 * 1024;
constexpr std::uint32_t kDosDirectoryBit = 0x10;
constexpr std::uint32_t kUnixDirectoryBit = 0x4000;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagUtf8Name = 0x0800;

class ZipReader {
 public:
  ZipReader(const std::string& path, zlib_filefunc64_def& io)
      : zip_(unzOpen2_64(path.c_str(), &io)) {}
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;
  ~ZipReader() {
    if (entryOpen_) unzCloseCurrentFile(zip_);
    if (zip_ != nullptr) unzClose(zip_);
  }
  unzFile get() const { return zip_; }
  int openEntry() {
    const int rc = unzOpenCurrentFile(zip_);
    entryOpen_ = rc == UNZ_OK;
    return rc;
  }
  int closeEntry() {
    entryOpen_ = false;
    return unzCloseCurrentFile(zip_);
  }

 private:
  unzFile zip_;
  bool entryOpen_ = false;
};

bool startsWithLocalHeader(Os& os, const std::string& zipPath) {
  OpenedFile f = openExistingFile(os, zipPath, FileAccess::Read, FileShare::Read);
  if (!f.file.valid()) return false;
  std::array<unsigned char, 4> head{};
  auto r = os.read(f.file.id(), head.data(), head.size());
  return r.ok() && r.value == head.size() && head[0] == 0x50 && head[1] == 0x4B &&
         head[2] == 0x03 && head[3] == 0x04;
}

bool isPlainAscii(const std::string& s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

ExtractResult fail(ExtractResult r, std::string reason, std::string entry = {},
                   OsError error = kOsOk) {
  r.ok = false;
  r.reason = std::move(reason);
  r.failedEntry = std::move(entry);
  r.error = error;
  return r;
}

struct EntryFailure {
  std::string reason;
  OsError error = kOsOk;
};

// Creates (or replaces) the file an entry unpacks to.
EntryFailure createTarget(Os& os, const std::string& target, OpenedFile& out) {
  // The usual target is new, so it is created first and looked at only
  // when that fails: a look before every file cost a lookup each.
  out = createTruncatedFile(os, target, FileShare::Read);
  if (out.file.valid()) return {};
  const auto existing = os.attributesOf(target);
  if (existing.ok() && existing.value.directory) return {"path taken by a folder"};
  // A read-only (or hidden) file refuses to be replaced until its
  // attributes are normal; then it is replaced like any other.
  if (existing.ok() && os.setNormalAttributes(target) == kOsOk) {
    out = createTruncatedFile(os, target, FileShare::Read);
  }
  if (!out.file.valid()) return {"file cannot be created", out.error};
  return {};
}

// Inflates the open entry through minizip, which also checks its CRC.
EntryFailure inflateEntry(Os& os, ZipReader& zip, const OsFile& out, std::uint64_t declaredSize,
                          std::vector<char>& piece) {
  std::uint64_t total = 0;
  while (true) {
    const int n = unzReadCurrentFile(zip.get(), piece.data(), static_cast<unsigned>(piece.size()));
    if (n < 0) return {"data cannot be read or inflated"};
    if (n == 0) break;
    total += static_cast<std::uint64_t>(n);
    if (total > declaredSize) return {"more data than the entry declares"};
    if (const OsError e = os.write(out.id(), piece.data(), static_cast<std::size_t>(n));
        e != kOsOk) {
      return {"write failed", e};
    }
  }
  if (total != declaredSize) return {"less data than the entry declares"};
  return {};
}

// Copies a stored entry straight from the archive. minizip hands stored
// data out one byte at a time, which unpacked a stored archive at half the
// speed of other tools; it still reads the headers and says where the data
// starts, and zlib's crc32 checks what was copied.
EntryFailure copyStoredEntry(Os& os, ZipReader& zip, const OsFile& archive, const OsFile& out,
                             const unz_file_info64& info, std::vector<char>& piece) {
  if (info.compressed_size != info.uncompressed_size) return {"stored entry sizes disagree"};
  if (!archive.valid()) return {"data cannot be read or inflated"};
  const auto start = unzGetCurrentFileZStreamPos64(zip.get());
  if (const auto at = os.seek(archive.id(), static_cast<std::int64_t>(start), SeekFrom::Begin);
      !at.ok()) {
    return {"data cannot be read or inflated", at.error};
  }
  uLong crc = crc32(0L, Z_NULL, 0);
  for (std::uint64_t left = info.uncompressed_size; left > 0;) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left, piece.size()));
    const auto got = os.read(archive.id(), piece.data(), want);
    if (!got.ok()) return {"data cannot be read or inflated", got.error};
    if (got.value == 0) return {"less data than the entry declares"};
    crc = crc32(crc, reinterpret_cast<const Bytef*>(piece.data()), static_cast<uInt>(got.value));
    if (const OsError e = os.write(out.id(), piece.data(), got.value); e != kOsOk) {
      return {"write failed", e};
    }
    left -= got.value;
  }
  if (crc != info.crc) return {"checksum mismatch"};
  return {};
}

// Unpacks the current entry into target; empty reason on success.
EntryFailure writeEntry(Os& os, ZipReader& zip, const OsFile& archive, const std::string& target,
                        const unz_file_info64& info, std::vector<char>& piece) {
  if (zip.openEntry() != UNZ_OK) return {"entry cannot be read"};
  OpenedFile out;
  if (EntryFailure f = createTarget(os, target, out); !f.reason.empty()) return f;
  EntryFailure copied = info.compression_method == 0
                            ? copyStoredEntry(os, zip, archive, out.file, info, piece)
                            : inflateEntry(os, zip, out.file, info.uncompressed_size, piece);
  if (!copied.reason.empty()) return copied;
  if (const OsError e = out.file.close(); e != kOsOk) return {"write failed", e};
  if (zip.closeEntry() != UNZ_OK) return {"checksum mismatch"};
  os.setNormalAttributes(target);
  return {};
}

}  // namespace

ExtractResult extractZip(Os& os, const std::string& zipPath, const std::string& destinationFolder) {
  ExtractResult r;
  auto source = os.attributesOf(zipPath);
  if (!source.ok() || source.value.directory) return fail(r, "no such file", {}, source.error);
  if (const OsError e = createDirectories(os, destinationFolder); e != kOsOk) {
    return fail(r, "destination cannot be created", {}, e);
  }
  if (!startsWithLocalHeader(os, zipPath)) return fail(r, "not a ZIP file");

  zlib_filefunc64_def io = osZipFileFunctions(os);
  ZipReader zip(zipPath, io);
  if (zip.get() == nullptr) return fail(r, "ZIP directory cannot be read");

  // One piece buffer for the whole archive, and the folder last made for a
  // file entry remembered: archives of many small files in few folders
  // otherwise spend their time on allocations and folder checks.
  std::vector<char> piece(kPieceSize);
  // A second handle on the archive for stored entries, opened at the first.
  OpenedFile archive;
  std::string lastParent;
  // Names are at most 65,535 bytes; one buffer serves every entry.
  std::string nameBuffer(65536, '\0');
  for (int rc = unzGoToFirstFile(zip.get()); rc != UNZ_END_OF_LIST_OF_FILE;
       rc = unzGoToNextFile(zip.get())) {
    if (rc != UNZ_OK) return fail(r, "ZIP directory cannot be read");
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip.get(), &info, nameBuffer.data(), nameBuffer.size(), nullptr, 0,
                                nullptr, 0) != UNZ_OK) {
      return fail(r, "ZIP directory cannot be read");
    }
    const std::string stored(nameBuffer.data(), info.size_filename);
    // Names without the UTF-8 flag are in the packer's code page.
    const std::string name =
        (info.flag & kFlagUtf8Name) != 0 || isPlainAscii(stored) ? stored : os.ansiToUtf8(stored);
    const auto safe = checkEntryName(name);
    if (!safe) return fail(r, "unsafe entry name", stored);
    const std::string target =
        joinPath(withoutTrailingSeparators(destinationFolder), safe->relativePath);
    const auto attrs = static_cast<std::uint32_t>(info.external_fa);
    // The format also marks folders by a trailing "/" alone, which some
    // packers rely on without setting an attribute.
    const bool isDirectory = (attrs & kDosDirectoryBit) != 0 ||
                             ((attrs >> 16) & kUnixDirectoryBit) != 0 || safe->endsWithSeparator;
    if (isDirectory) {
      if (!os.attributesOf(target).ok()) {
        if (const OsError e = createDirectories(os, target); e != kOsOk) {
          return fail(r, "folder cannot be created", stored, e);
        }
      }
      ++r.entriesDone;
      continue;
    }
    if ((info.flag & kFlagEncrypted) != 0) return fail(r, "encrypted entry", stored);
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) {
      return fail(r, "unsupported compression method", stored);
    }
    const auto slash = safe->relativePath.find_last_of('\\');
    if (slash != std::string::npos) {
      const std::string parent = joinPath(withoutTrailingSeparators(destinationFolder),
                                          safe->relativePath.substr(0, slash));
      if (parent != lastParent) {
        if (const OsError e = createDirectories(os, parent); e != kOsOk) {
          return fail(r, "folder cannot be created", stored, e);
        }
        lastParent = parent;
      }
    }
    if (info.compression_method == 0 && !archive.file.valid()) {
      archive = openExistingFile(os, zipPath, FileAccess::Read, FileShare::Read);
    }
    EntryFailure failure = writeEntry(os, zip, archive.file, target, info, piece);
    if (!failure.reason.empty()) return fail(r, failure.reason, stored, failure.error);
    ++r.entriesDone;
  }
  r.ok = true;
  return r;
}

}  // namespace norvane
