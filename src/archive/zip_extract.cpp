#include "archive/zip_extract.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <vector>

#include "archive/read_ahead_file.h"
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
// Compressed data is read in these.
constexpr std::size_t kInputSize = 64 * 1024;
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
  // Frees minizip's state of the entry; it checks nothing, as the entry's
  // data did not pass through it.
  void closeEntry() {
    entryOpen_ = false;
    unzCloseCurrentFile(zip_);
  }

 private:
  unzFile zip_;
  bool entryOpen_ = false;
};

bool startsWithLocalHeader(ReadAheadFile& file) {
  std::array<unsigned char, 4> head{};
  return file.readAt(0, head.data(), head.size()) == head.size() && head[0] == 0x50 &&
         head[1] == 0x4B && head[2] == 0x03 && head[3] == 0x04;
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

// Appends a piece of an entry to its file, adding it to the running CRC.
EntryFailure writePiece(Os& os, const OsFile& out, const char* bytes, std::size_t n, uLong& crc) {
  crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes), static_cast<uInt>(n));
  if (const OsError e = os.write(out.id(), bytes, n); e != kOsOk) return {"write failed", e};
  return {};
}

// zlib's inflater over raw deflate data, ended on every path.
class RawInflater {
 public:
  RawInflater() { ready_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
  RawInflater(const RawInflater&) = delete;
  RawInflater& operator=(const RawInflater&) = delete;
  ~RawInflater() {
    if (ready_) inflateEnd(&stream_);
  }
  bool ready() const { return ready_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

// Reads an entry's data from the archive in order, from where minizip says
// it starts; knows how much is left.
class EntryData {
 public:
  EntryData(ReadAheadFile& file, ZipReader& zip, std::uint64_t length)
      : file_(file),
        at_(static_cast<std::int64_t>(unzGetCurrentFileZStreamPos64(zip.get()))),
        left_(length) {}
  std::uint64_t left() const { return left_; }
  // The next bytes, at most size; an empty read with an error set, or with
  // data still expected, means the archive could not give them.
  OsResult<std::size_t> next(char* out, std::size_t size) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left_, size));
    const std::size_t got = file_.readAt(at_, out, want);
    if (got < want && file_.lastError() != kOsOk) return {got, file_.lastError()};
    at_ += static_cast<std::int64_t>(got);
    left_ -= got;
    return {got, kOsOk};
  }

 private:
  ReadAheadFile& file_;
  std::int64_t at_;
  std::uint64_t left_;
};

// Inflates a deflated entry straight from the archive. minizip stops at the
// size an entry declares, so a stream holding more than that would pass
// unnoticed; here the stream must end exactly at the declared size.
EntryFailure inflateEntry(Os& os, EntryData data, const OsFile& out, const unz_file_info64& info,
                          std::vector<char>& piece, std::vector<char>& input) {
  // A deflated empty file may carry no deflate data at all.
  if (info.compressed_size == 0 && info.uncompressed_size == 0) {
    return info.crc == 0 ? EntryFailure{} : EntryFailure{"checksum mismatch"};
  }
  RawInflater inflater;
  if (!inflater.ready()) return {"data cannot be read or inflated", kErrOutOfMemory};
  z_stream& zs = inflater.stream();
  std::uint64_t total = 0;
  uLong crc = crc32(0L, Z_NULL, 0);
  while (true) {
    if (zs.avail_in == 0 && data.left() > 0) {
      const auto got = data.next(input.data(), input.size());
      if (!got.ok()) return {"data cannot be read or inflated", got.error};
      if (got.value == 0) return {"less data than the entry declares"};
      zs.next_in = reinterpret_cast<Bytef*>(input.data());
      zs.avail_in = static_cast<uInt>(got.value);
    }
    // Called again even with no input left: inflate may still hold output
    // that did not fit the last piece.
    zs.next_out = reinterpret_cast<Bytef*>(piece.data());
    zs.avail_out = static_cast<uInt>(piece.size());
    const int rc = inflate(&zs, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
      return {"data cannot be read or inflated"};
    }
    const std::size_t produced = piece.size() - zs.avail_out;
    total += produced;
    if (total > info.uncompressed_size) return {"more data than the entry declares"};
    if (produced > 0) {
      if (EntryFailure f = writePiece(os, out, piece.data(), produced, crc); !f.reason.empty()) {
        return f;
      }
    }
    if (rc == Z_STREAM_END) break;
    // No progress was possible: the entry's data ended inside the stream.
    if (rc == Z_BUF_ERROR) return {"data cannot be read or inflated"};
  }
  if (total != info.uncompressed_size) return {"less data than the entry declares"};
  if (crc != info.crc) return {"checksum mismatch"};
  return {};
}

// Copies a stored entry straight from the archive. minizip hands stored
// data out one byte at a time, which unpacked a stored archive at half the
// speed of other tools. As for deflated entries, minizip reads the headers
// and says where the data starts, and zlib's crc32 checks what was copied.
EntryFailure copyStoredEntry(Os& os, EntryData data, const OsFile& out, const unz_file_info64& info,
                             std::vector<char>& piece) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (data.left() > 0) {
    const auto got = data.next(piece.data(), piece.size());
    if (!got.ok()) return {"data cannot be read or inflated", got.error};
    if (got.value == 0) return {"less data than the entry declares"};
    if (EntryFailure f = writePiece(os, out, piece.data(), got.value, crc); !f.reason.empty()) {
      return f;
    }
  }
  if (crc != info.crc) return {"checksum mismatch"};
  return {};
}

// Unpacks the current entry into target; empty reason on success.
EntryFailure writeEntry(Os& os, ZipReader& zip, ReadAheadFile& archive, const std::string& target,
                        const unz_file_info64& info, std::vector<char>& piece,
                        std::vector<char>& input) {
  // Checked before the target is touched, so a bad entry replaces nothing.
  if (info.compression_method == 0 && info.compressed_size != info.uncompressed_size) {
    return {"stored entry sizes disagree"};
  }
  if (zip.openEntry() != UNZ_OK) return {"entry cannot be read"};
  OpenedFile out;
  if (EntryFailure f = createTarget(os, target, out); !f.reason.empty()) return f;
  const EntryData data(archive, zip, info.compressed_size);
  EntryFailure copied = info.compression_method == 0
                            ? copyStoredEntry(os, data, out.file, info, piece)
                            : inflateEntry(os, data, out.file, info, piece, input);
  if (!copied.reason.empty()) return copied;
  if (const OsError e = out.file.close(); e != kOsOk) return {"write failed", e};
  zip.closeEntry();
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
  // The handle the entries' data is read through; minizip opens its own for
  // the directory and the headers.
  const OpenedFile archive = openExistingFile(os, zipPath, FileAccess::Read, FileShare::Read);
  if (!archive.file.valid()) return fail(r, "not a ZIP file", {}, archive.error);
  ReadAheadFile data(os, archive.file.id());
  if (!startsWithLocalHeader(data)) return fail(r, "not a ZIP file");

  zlib_filefunc64_def io = osZipFileFunctions(os);
  ZipReader zip(zipPath, io);
  if (zip.get() == nullptr) return fail(r, "ZIP directory cannot be read");

  // One piece buffer for the whole archive, and the folder last made for a
  // file entry remembered: archives of many small files in few folders
  // otherwise spend their time on allocations and folder checks.
  std::vector<char> piece(kPieceSize);
  std::vector<char> input(kInputSize);
  const std::string root(withoutTrailingSeparators(destinationFolder));
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
    const std::string target = joinPath(root, safe->relativePath);
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
    if (safe->relativePath.find('\\') != std::string::npos) {
      const std::string parent = target.substr(0, target.find_last_of('\\'));
      if (parent != lastParent) {
        if (const OsError e = createDirectories(os, parent); e != kOsOk) {
          return fail(r, "folder cannot be created", stored, e);
        }
        lastParent = parent;
      }
    }
    EntryFailure failure = writeEntry(os, zip, data, target, info, piece, input);
    if (!failure.reason.empty()) return fail(r, failure.reason, stored, failure.error);
    ++r.entriesDone;
  }
  r.ok = true;
  return r;
}

}  // namespace norvane
