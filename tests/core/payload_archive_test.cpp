#include "archive/payload_archive.h"

#include <gtest/gtest.h>

#include "os/os_handles.h"
#include "support/platform.h"
#include "support/test_os.h"

namespace norvane {
namespace {

using testing::platformOs;
using testing::readWholeFile;
using testing::TempDir;
using testing::TestOs;
using testing::writeWholeFile;

// Bytes that differ at every position, so a misplaced chunk shows.
std::string pattern(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
  return s;
}

class CopySegment : public ::testing::Test {
 protected:
  void SetUp() override {
    archiveBytes = pattern(1000);
    writeWholeFile(archivePath(), archiveBytes);
  }
  std::string archivePath() const { return dir / "Kavrin.cab"; }
  OsFile openArchive(Os& os) {
    OpenedFile opened = openPayloadArchive(os, archivePath());
    EXPECT_TRUE(opened.file.valid());
    return std::move(opened.file);
  }

  TempDir dir;
  std::string archiveBytes;
};

TEST_F(CopySegment, StagesTheSegmentsBytesInOneOrSeveralChunks) {
  struct Case {
    ArchiveSegment segment;
  };
  for (const Case& c :
       {Case{{0, 100, 1}}, Case{{7, 50, 3}}, Case{{321, 17, 4}}, Case{{900, 100, 1}}}) {
    OsFile archive = openArchive(platformOs());
    const std::string staged = dir / "payload.tmp";
    const StageResult r = copySegment(platformOs(), archive, c.segment, staged);
    const auto length = static_cast<std::size_t>(c.segment.length());
    EXPECT_EQ(readWholeFile(staged), archiveBytes.substr(c.segment.offset, length))
        << c.segment.offset;
    EXPECT_EQ(r.bytesWritten, c.segment.length());
    EXPECT_EQ(r.firstError, kOsOk);
  }
}

TEST_F(CopySegment, ReplacesAStaleFileInsteadOfExtendingIt) {
  const std::string staged = dir / "DX9c.tmp";
  writeWholeFile(staged, std::string(5000, 'x'));
  OsFile archive = openArchive(platformOs());
  copySegment(platformOs(), archive, {10, 30, 2}, staged);
  EXPECT_EQ(readWholeFile(staged), archiveBytes.substr(10, 60));
}

TEST_F(CopySegment, ShortArchiveGivesTheBytesUpToTheCut) {
  struct Case {
    ArchiveSegment segment;
    std::size_t expectedLength;
  };
  // The archive holds 1000 bytes.
  for (const Case& c : {Case{{950, 100, 1}, 50}, Case{{940, 40, 3}, 60}, Case{{1000, 10, 1}, 0},
                        Case{{1200, 10, 2}, 0}}) {
    OsFile archive = openArchive(platformOs());
    const std::string staged = dir / "xlive.tmp";
    const StageResult r = copySegment(platformOs(), archive, c.segment, staged);
    EXPECT_EQ(readWholeFile(staged),
              archiveBytes.substr(std::min<std::size_t>(c.segment.offset, 1000), c.expectedLength));
    EXPECT_EQ(r.bytesWritten, static_cast<std::int64_t>(c.expectedLength));
  }
}

TEST_F(CopySegment, OrderOfCopiesDoesNotMatter) {
  OsFile archive = openArchive(platformOs());
  const ArchiveSegment late{600, 100, 2};
  const ArchiveSegment early{5, 20, 3};
  copySegment(platformOs(), archive, late, dir / "late.tmp");
  copySegment(platformOs(), archive, early, dir / "early.tmp");
  copySegment(platformOs(), archive, late, dir / "late-again.tmp");
  EXPECT_EQ(readWholeFile(dir / "early.tmp"), archiveBytes.substr(5, 60));
  EXPECT_EQ(readWholeFile(dir / "late.tmp"), archiveBytes.substr(600, 200));
  EXPECT_EQ(readWholeFile(dir / "late-again.tmp"), archiveBytes.substr(600, 200));
}

TEST_F(CopySegment, InvalidArchiveStagesAnEmptyFile) {
  const std::string staged = dir / "VB6.exe";
  writeWholeFile(staged, "old");
  const StageResult r = copySegment(platformOs(), OsFile{}, {0, 100, 2}, staged);
  EXPECT_TRUE(testing::fileExists(staged));
  EXPECT_EQ(readWholeFile(staged), "");
  EXPECT_EQ(r.bytesWritten, 0);
  EXPECT_NE(r.firstError, kOsOk);
}

TEST_F(CopySegment, AFailedChunkEndsThePayloadAndSparesTheNextCopy) {
  struct Case {
    std::string failing;  // which call fails
    int nth;
    std::size_t keptBytes;
  };
  const std::string archivePrefix = "read " + archivePath();
  for (const Case& c : {Case{archivePrefix, 1, 0}, Case{archivePrefix, 2, 40},
                        Case{archivePrefix, 3, 80}, Case{"allocate", 1, 0}, Case{"allocate", 2, 40},
                        // The positioning itself: nothing from wherever the archive stood.
                        Case{"seek " + archivePath(), 1, 0}}) {
    TestOs os(platformOs());
    OsFile archive = openArchive(os);
    os.failCall(c.failing, c.nth, 5);
    const std::string staged = dir / "NF35sp1.tmp";
    const StageResult r = copySegment(os, archive, {100, 40, 4}, staged);
    EXPECT_EQ(readWholeFile(staged), archiveBytes.substr(100, c.keptBytes)) << c.failing << c.nth;
    EXPECT_NE(r.firstError, kOsOk);
    os.clearFaults();
    copySegment(os, archive, {300, 25, 2}, dir / "next.tmp");
    EXPECT_EQ(readWholeFile(dir / "next.tmp"), archiveBytes.substr(300, 50)) << c.failing << c.nth;
  }
}

TEST_F(CopySegment, UnwritableStagedFileStillConsumesTheArchive) {
  TestOs os(platformOs());
  OsFile archive = openArchive(os);
  const std::string missingFolder = dir / "missing" / "x.tmp";
  const StageResult r = copySegment(os, archive, {0, 30, 2}, missingFolder);
  EXPECT_NE(r.firstError, kOsOk);
  EXPECT_EQ(r.bytesWritten, 0);
  EXPECT_FALSE(testing::fileExists(missingFolder));
  EXPECT_TRUE(os.effectsStartingWith("write").empty());
}

TEST_F(CopySegment, FailedReopenKeepsOnlyTheFirstChunk) {
  TestOs os(platformOs());
  OsFile archive = openArchive(os);
  const std::string staged = dir / "DX9c.tmp";
  os.failCall("open-rw " + staged, 1, 32);
  const StageResult r = copySegment(os, archive, {200, 30, 3}, staged);
  EXPECT_EQ(readWholeFile(staged), archiveBytes.substr(200, 30));
  EXPECT_EQ(r.firstError, 32u);
}

TEST_F(CopySegment, AfterAFailedWriteNoLaterChunkIsAppended) {
  TestOs os(platformOs());
  OsFile archive = openArchive(os);
  const std::string staged = dir / "NF35sp1.tmp";
  os.failCall("write " + staged, 2, 112);  // disk full at the second chunk
  const StageResult r = copySegment(os, archive, {0, 25, 4}, staged);
  EXPECT_EQ(readWholeFile(staged), archiveBytes.substr(0, 25));
  EXPECT_EQ(r.firstError, 112u);
  EXPECT_EQ(os.effectsStartingWith("write " + staged).size(), 1u);
}

TEST_F(CopySegment, HoldsOneChunkAtATime) {
  TestOs os(platformOs());
  OsFile archive = openArchive(os);
  copySegment(os, archive, {0, 200, 4}, dir / "big.tmp");
  EXPECT_EQ(os.peakBufferBytes(), 200u);
}

TEST(PayloadArchive, OpenIsExclusiveBothWays) {
  TempDir dir;
  const std::string path = payloadArchivePath(dir.path());
  EXPECT_EQ(path, dir.path() + "\\Kavrin.cab");
  EXPECT_FALSE(openPayloadArchive(platformOs(), path).file.valid()) << "missing file";
  writeWholeFile(path, "payload");
  {
    OpenedFile first = openPayloadArchive(platformOs(), path);
    ASSERT_TRUE(first.file.valid());
    OpenedFile second = openPayloadArchive(platformOs(), path);
    EXPECT_FALSE(second.file.valid());
    EXPECT_NE(second.error, kOsOk);
  }
  {
    OpenedFile reader = openExistingFile(platformOs(), path, FileAccess::Read, FileShare::Read);
    ASSERT_TRUE(reader.file.valid());
    EXPECT_FALSE(openPayloadArchive(platformOs(), path).file.valid()) << "someone else holds it";
  }
  EXPECT_TRUE(openPayloadArchive(platformOs(), path).file.valid()) << "free again";
}

// The real layout: DirectX's two chunks, from a sparse archive with marks
// at the places where a misplaced chunk would show.
TEST(PayloadArchive, StagesDirectXFromItsRealSegment) {
  TempDir dir;
  const std::string path = payloadArchivePath(dir.path());
  const ArchiveSegment dx = entryFor(12)->segment;
  const std::int64_t marks[] = {dx.offset, dx.offset + dx.chunkLength - 1,
                                dx.offset + dx.chunkLength, dx.end() - 1};
  Os& os = platformOs();
  {
    OpenedFile f = createTruncatedFile(os, path, FileShare::None);
    ASSERT_TRUE(f.file.valid());
    char tag = 'A';
    for (std::int64_t m : marks) {
      os.seek(f.file.id(), m, SeekFrom::Begin);
      ASSERT_EQ(os.write(f.file.id(), &tag, 1), kOsOk);
      ++tag;
    }
    const char tail = 'Z';
    os.seek(f.file.id(), dx.end(), SeekFrom::Begin);
    os.write(f.file.id(), &tail, 1);
  }
  TestOs recording(os);
  OpenedFile archive = openPayloadArchive(recording, path);
  ASSERT_TRUE(archive.file.valid());
  const std::string staged = dir / "DX9c.tmp";
  const StageResult r = copySegment(recording, archive.file, dx, staged);
  EXPECT_EQ(r.bytesWritten, 103'199'168);
  EXPECT_EQ(recording.peakBufferBytes(), 51'599'584u);
  const std::string bytes = readWholeFile(staged);
  ASSERT_EQ(bytes.size(), 103'199'168u);
  char tag = 'A';
  for (std::int64_t m : marks) {
    EXPECT_EQ(bytes[static_cast<std::size_t>(m - dx.offset)], tag) << m;
    ++tag;
  }
}

}  // namespace
}  // namespace norvane
