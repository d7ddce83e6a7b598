#include "archive/zip_extract.h"

#include <minizip/unzip.h>

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

// Streams the open entry into target; empty reason on success.
EntryFailure writeEntry(Os& os, ZipReader& zip, const std::string& target,
                        std::uint64_t declaredSize, std::vector<char>& piece) {
  if (auto existing = os.attributesOf(target); existing.ok()) {
    if (existing.value.directory) return {"path taken by a folder"};
    // A read-only file is replaced like any other.
    os.setNormalAttributes(target);
  }
  if (zip.openEntry() != UNZ_OK) return {"entry cannot be read"};
  OpenedFile out = createTruncatedFile(os, target, FileShare::Read);
  if (!out.file.valid()) return {"file cannot be created", out.error};
  std::uint64_t total = 0;
  while (true) {
    const int n = unzReadCurrentFile(zip.get(), piece.data(), static_cast<unsigned>(piece.size()));
    if (n < 0) return {"data cannot be read or inflated"};
    if (n == 0) break;
    total += static_cast<std::uint64_t>(n);
    if (total > declaredSize) return {"more data than the entry declares"};
    if (const OsError e = os.write(out.file.id(), piece.data(), static_cast<std::size_t>(n));
        e != kOsOk) {
      return {"write failed", e};
    }
  }
  if (const OsError e = out.file.close(); e != kOsOk) return {"write failed", e};
  if (zip.closeEntry() != UNZ_OK) return {"checksum mismatch"};
  if (total != declaredSize) return {"less data than the entry declares"};
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
  std::string lastParent;
  std::string nameBuffer(65536, '\0');
  for (int rc = unzGoToFirstFile(zip.get()); rc != UNZ_END_OF_LIST_OF_FILE;
       rc = unzGoToNextFile(zip.get())) {
    if (rc != UNZ_OK) return fail(r, "ZIP directory cannot be read");
    unz_file_info64 info{};
    std::string stored(65536, '\0');
    if (unzGetCurrentFileInfo64(zip.get(), &info, stored.data(), stored.size(), nullptr, 0, nullptr,
                                0) != UNZ_OK) {
      return fail(r, "ZIP directory cannot be read");
    }
    stored.resize(info.size_filename);
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
    EntryFailure failure = writeEntry(os, zip, target, info.uncompressed_size, piece);
    if (!failure.reason.empty()) return fail(r, failure.reason, stored, failure.error);
    ++r.entriesDone;
  }
  r.ok = true;
  return r;
}

}  // namespace norvane
