#include "archive/zip_extract.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "os/os_handles.h"
#include "support/platform.h"
#include "support/test_os.h"
#include "support/zip_builder.h"

namespace norvane {
namespace {

using testing::buildZip;
using testing::dirEntry;
using testing::fileEntry;
using testing::fileExists;
using testing::folderExists;
using testing::platformOs;
using testing::readWholeFile;
using testing::TempDir;
using testing::writeWholeFile;
using testing::ZipEntrySpec;

class ExtractZip : public ::testing::Test {
 protected:
  std::string zipPath() const { return dir / "payload.tmp"; }
  std::string dest() const { return dir / "payload"; }
  ExtractResult extract(const std::vector<ZipEntrySpec>& entries) {
    writeWholeFile(zipPath(), buildZip(entries));
    return extractZip(platformOs(), zipPath(), dest());
  }
  TempDir dir;
};

TEST_F(ExtractZip, DirectoryAndFileEntriesLandWithBackslashes) {
  const std::string big(300000, 'q');  // more than one streaming piece
  const ExtractResult r =
      extract({dirEntry("sub/"), fileEntry("sub/setup.msi", "msi-bytes"),
               fileEntry("sub/deeper/big.bin", big, 0), fileEntry("top.exe", "exe", 8)});
  EXPECT_TRUE(r.ok) << r.reason;
  EXPECT_EQ(r.entriesDone, 4);
  EXPECT_TRUE(folderExists(dest() + "\\sub"));
  EXPECT_EQ(readWholeFile(dest() + "\\sub\\setup.msi"), "msi-bytes");
  EXPECT_EQ(readWholeFile(dest() + "\\sub\\deeper\\big.bin"), big);
  EXPECT_EQ(readWholeFile(dest() + "\\top.exe"), "exe");
}

TEST_F(ExtractZip, UnixDirectoryModeCountsAsFolder) {
  ZipEntrySpec unixDir{"tools", {}, 0, 0040755u << 16, 0, {}, {}};
  const ExtractResult r = extract({unixDir, fileEntry("tools/a.txt", "a")});
  EXPECT_TRUE(r.ok) << r.reason;
  EXPECT_TRUE(folderExists(dest() + "\\tools"));
}

TEST_F(ExtractZip, CreatesMissingParentsOfTheDestination) {
  writeWholeFile(zipPath(), buildZip({fileEntry("x.msi", "x")}));
  const std::string deep = dir / "a" / "b" / "c";
  EXPECT_TRUE(extractZip(platformOs(), zipPath(), deep).ok);
  EXPECT_EQ(readWholeFile(deep + "\\x.msi"), "x");
}

TEST_F(ExtractZip, ReplacesReadOnlyFilesAndLeavesNormalAttributes) {
  Os& os = platformOs();
  ASSERT_EQ(os.createDirectory(dest()), kOsOk);
  writeWholeFile(dest() + "\\old.msi", "old contents that are longer");
  testing::makeReadOnlyAndHidden(dest() + "\\old.msi");
  ASSERT_TRUE(os.attributesOf(dest() + "\\old.msi").value.readOnly);
  ZipEntrySpec readOnlyHidden{"flagged.exe", "f", 8, 0x01 | 0x02 | (0100444u << 16), 0, {}, {}};
  const ExtractResult r = extract({fileEntry("old.msi", "new"), readOnlyHidden});
  EXPECT_TRUE(r.ok) << r.reason;
  EXPECT_EQ(readWholeFile(dest() + "\\old.msi"), "new");
  for (const char* name : {"\\old.msi", "\\flagged.exe"}) {
    const auto a = os.attributesOf(dest() + name);
    ASSERT_TRUE(a.ok());
    EXPECT_FALSE(a.value.readOnly) << name;
    EXPECT_FALSE(a.value.hidden) << name;
  }
}

TEST_F(ExtractZip, UnknownMethodStopsAtThatEntry) {
  const ExtractResult r = extract(
      {fileEntry("one.txt", "first", 8), fileEntry("two.txt", "second", 0),
       ZipEntrySpec{"three.txt", "third", 12, 0, 0, {}, {}}, fileEntry("four.txt", "fourth")});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedEntry, "three.txt");
  EXPECT_EQ(readWholeFile(dest() + "\\one.txt"), "first");
  EXPECT_EQ(readWholeFile(dest() + "\\two.txt"), "second");
  EXPECT_FALSE(fileExists(dest() + "\\three.txt"));
  EXPECT_FALSE(fileExists(dest() + "\\four.txt"));
}

TEST_F(ExtractZip, UnsafeNamesStopBeforeAnythingLandsOutside) {
  for (const char* evil :
       {"../escaped.txt", "sub/../../escaped.txt", "/escaped.txt", "C:/escaped.txt",
        "sub\\..\\..\\escaped.txt", "nul.txt", "a.txt:stream"}) {
    TempDir fresh;
    const std::string zip = fresh / "evil.tmp";
    writeWholeFile(zip, buildZip({fileEntry("ok.txt", "ok"), fileEntry(evil, "x"),
                                  fileEntry("after.txt", "after")}));
    const ExtractResult r = extractZip(platformOs(), zip, fresh / "d" / "inner");
    EXPECT_FALSE(r.ok) << evil;
    EXPECT_EQ(r.reason, "unsafe entry name") << evil;
    EXPECT_EQ(readWholeFile(fresh / "d" / "inner" / "ok.txt"), "ok");
    EXPECT_FALSE(fileExists(fresh / "d" / "escaped.txt")) << evil;
    EXPECT_FALSE(fileExists(fresh / "escaped.txt")) << evil;
    EXPECT_FALSE(fileExists(fresh / "d" / "inner" / "after.txt")) << evil;
  }
}

TEST_F(ExtractZip, CorruptDataFailsTheExtraction) {
  struct Case {
    const char* what;
    ZipEntrySpec entry;
  };
  const std::string data(5000, 'z');
  for (const Case& c : {Case{"crc", {"a.bin", data, 8, 0, 0, 0xDEADBEEF, {}}},
                        Case{"stored crc", {"a.bin", data, 0, 0, 0, 0x12345678, {}}},
                        Case{"declared too short", {"a.bin", data, 8, 0, 0, {}, 100}},
                        Case{"stored sizes disagree", {"a.bin", data, 0, 0, 0, {}, 100}},
                        Case{"encrypted", {"a.bin", data, 8, 0, 1, {}, {}}}}) {
    TempDir fresh;
    writeWholeFile(fresh / "c.tmp", buildZip({c.entry, fileEntry("after.txt", "x")}));
    const ExtractResult r = extractZip(platformOs(), fresh / "c.tmp", fresh / "out");
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_FALSE(fileExists(fresh / "out" / "after.txt")) << c.what;
  }
}

// Sizes that disagree with the data fail even where the checksum agrees
// with what the declared size would keep.
TEST_F(ExtractZip, DataLongerOrShorterThanDeclaredFailsWithItsReason) {
  const std::string data(5000, 'z');
  const auto crcOf = [](std::string_view bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
  };
  struct Case {
    ZipEntrySpec entry;
    const char* reason;
  };
  for (const Case& c :
       {Case{{"a.bin", data, 8, 0, 0, crcOf(data.substr(0, 100)), 100},
             "more data than the entry declares"},
        Case{{"a.bin", data, 8, 0, 0, crcOf(data), 6000}, "less data than the entry declares"},
        Case{{"a.bin", data, 0, 0, 0, crcOf(data.substr(0, 100)), 100},
             "stored entry sizes disagree"}}) {
    TempDir fresh;
    writeWholeFile(fresh / "c.tmp", buildZip({c.entry}));
    const ExtractResult r = extractZip(platformOs(), fresh / "c.tmp", fresh / "out");
    EXPECT_FALSE(r.ok) << c.reason;
    EXPECT_EQ(r.reason, c.reason);
  }
}

// Sizes around whole output pieces: inflate can fill a piece exactly as the
// input runs out and still hold the stream's last bytes.
TEST_F(ExtractZip, DeflatedEntriesOfEverySizeAroundAPiece) {
  constexpr std::size_t kPiece = 256 * 1024;
  std::vector<ZipEntrySpec> entries;
  std::vector<std::string> contents;
  for (const char fill : {'x', '\0'}) {
    for (const std::size_t whole : {kPiece, 2 * kPiece, 4 * kPiece}) {
      for (const std::size_t extra : {0u, 1u, 5u, 50u, 100u, 195u, 200u}) {
        contents.emplace_back(whole + extra, fill);
        entries.push_back(fileEntry("f" + std::to_string(entries.size()), contents.back()));
      }
    }
  }
  const ExtractResult r = extract(entries);
  ASSERT_TRUE(r.ok) << r.reason << " at " << r.failedEntry;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(readWholeFile(dest() + "\\" + entries[i].name), contents[i]) << entries[i].name;
  }
}

// A deflated empty file may hold no deflate data at all.
TEST_F(ExtractZip, DeflatedEmptyFileWithoutData) {
  std::string zip = buildZip({fileEntry("empty.txt", "", 0)});
  // Turn the stored entry into a deflated one with no data: the method
  // sits 8 bytes into the local header and 10 into the central one.
  zip[8] = 8;
  zip[zip.find("PK\x01\x02") + 10] = 8;
  writeWholeFile(zipPath(), zip);
  const ExtractResult r = extractZip(platformOs(), zipPath(), dest());
  EXPECT_TRUE(r.ok) << r.reason;
  EXPECT_EQ(readWholeFile(dest() + "\\empty.txt"), "");
}

TEST_F(ExtractZip, EmptyMissingAndForeignFiles) {
  writeWholeFile(zipPath(), "");
  ExtractResult r = extractZip(platformOs(), zipPath(), dest());
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(folderExists(dest())) << "the folder is made before the header check";
  EXPECT_TRUE(platformOs().listDirectory(dest()).value.empty());

  const std::string missingDest = dir / "never";
  r = extractZip(platformOs(), dir / "absent.tmp", missingDest);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(folderExists(missingDest));

  writeWholeFile(zipPath(), "MZ this is an installer, not a ZIP");
  EXPECT_FALSE(extractZip(platformOs(), zipPath(), dir / "foreign").ok);

  // A valid start whose directory was cut off.
  const std::string whole = buildZip({fileEntry("a.txt", "aaaa")});
  writeWholeFile(zipPath(), whole.substr(0, whole.size() / 2));
  EXPECT_FALSE(extractZip(platformOs(), zipPath(), dir / "cut").ok);
}

TEST_F(ExtractZip, FileInTheWayOfAFolderOrAFolderInTheWayOfAFile) {
  ASSERT_EQ(platformOs().createDirectory(dest()), kOsOk);
  writeWholeFile(dest() + "\\sub", "plain file");
  ASSERT_EQ(platformOs().createDirectory(dest() + "\\taken.msi"), kOsOk);
  ExtractResult r =
      extract({dirEntry("sub/"), fileEntry("x.txt", "x"), fileEntry("taken.msi", "m")});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedEntry, "taken.msi");
  EXPECT_EQ(readWholeFile(dest() + "\\sub"), "plain file") << "an existing file is left alone";
  EXPECT_EQ(readWholeFile(dest() + "\\x.txt"), "x");
}

TEST_F(ExtractZip, WriteFailureKeepsWhatWasWrittenAndStops) {
  writeWholeFile(zipPath(),
                 buildZip({fileEntry("a.txt", "a"), fileEntry("b.bin", std::string(600000, 'b')),
                           fileEntry("c.txt", "c")}));
  testing::TestOs os(platformOs());
  os.failCall("write " + dest() + "\\b.bin", 2, 112);
  const ExtractResult r = extractZip(os, zipPath(), dest());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, 112u);
  EXPECT_EQ(readWholeFile(dest() + "\\a.txt"), "a");
  EXPECT_EQ(readWholeFile(dest() + "\\b.bin").size(), 256u * 1024u) << "the first piece stays";
  EXPECT_FALSE(fileExists(dest() + "\\c.txt"));
}

TEST_F(ExtractZip, StreamsInSmallPieces) {
  writeWholeFile(zipPath(), buildZip({fileEntry("big.bin", std::string(3'000'000, 'x'))}));
  testing::TestOs os(platformOs());
  ASSERT_TRUE(extractZip(os, zipPath(), dest()).ok);
  std::size_t largest = 0;
  for (const std::string& e : os.effectsStartingWith("write ")) {
    largest = std::max<std::size_t>(largest, std::stoul(e.substr(e.rfind(' ') + 1)));
  }
  EXPECT_EQ(largest, 256u * 1024u);
}

}  // namespace
}  // namespace norvane
