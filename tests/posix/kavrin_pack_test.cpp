#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "archive_tool.h"
#include "catalogue/catalogue.h"
#include "support/zip_builder.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;
using pack::packArchive;
using pack::verifyArchive;

void writeAt(const fs::path& file, std::int64_t offset, const std::string& data) {
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(offset);
  f.write(data.data(), static_cast<std::streamsize>(data.size()));
}

// A folder of payloads as the packer wants them, sparse: installers are
// their magic and zeros; ZIPs hold what their commands name.
class PayloadFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("kavrin-pack-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "payloads");
    for (const ComponentEntry& e : allComponents()) place(e, {});
  }
  void TearDown() override { fs::remove_all(root); }

  void place(const ComponentEntry& e, const std::string& leaveOut) {
    const fs::path file = root / "payloads" / e.stagedName;
    std::ofstream(file, std::ios::binary | std::ios::trunc).close();
    fs::resize_file(file, static_cast<std::uintmax_t>(e.segment.length()));
    if (e.extractFolder.empty()) {
      writeAt(file, 0,
              std::string_view(e.stagedName).ends_with(".msi") ? "\xD0\xCF\x11\xE0" : "MZ");
      return;
    }
    std::vector<testing::ZipEntrySpec> entries;
    const std::string prefix = std::string(e.extractFolder) + "\\";
    for (const CommandTemplate& c : e.commands) {
      for (std::string_view path : {c.path, c.path64}) {
        if (path.empty()) continue;
        std::string name(path.substr(prefix.size()));
        for (char& ch : name) {
          if (ch == '\\') ch = '/';
        }
        if (name != leaveOut) entries.push_back(testing::fileEntry(name, "package", 0));
      }
    }
    const auto image =
        testing::buildZipImage(entries, static_cast<std::uint64_t>(e.segment.length()));
    writeAt(file, 0, image.head);
    writeAt(file, e.segment.length() - static_cast<std::int64_t>(image.tail.size()), image.tail);
  }
  fs::path payload(ComponentId id) const { return root / "payloads" / entryFor(id)->stagedName; }
  fs::path archive() const { return root / "Kavrin.cab"; }
  bool nothingWritten() const {
    return !fs::exists(archive()) && !fs::exists(archive().string() + ".partial");
  }
  std::string joined(const pack::Outcome& o) const {
    std::string s;
    for (const std::string& line : o.lines) s += line + "\n";
    return s;
  }

  fs::path root;
};

TEST_F(PayloadFolder, PacksEveryPayloadInPlaceAndSparsely) {
  std::int64_t lastReported = -1;
  const auto packed =
      packArchive((root / "payloads").string(), archive().string(),
                  [&](std::int64_t done, std::int64_t, int) { lastReported = done; });
  ASSERT_TRUE(packed.ok) << joined(packed);
  EXPECT_EQ(lastReported, kPayloadArchiveLength);
  EXPECT_EQ(fs::file_size(archive()), static_cast<std::uintmax_t>(kPayloadArchiveLength));
  struct stat st {};
  ASSERT_EQ(::stat(archive().c_str(), &st), 0);
  EXPECT_LT(st.st_blocks * 512, 16 << 20) << "zeros are holes";
  std::ifstream in(archive(), std::ios::binary);
  for (ComponentId id : {1, 12, 17, 35}) {
    char head[4] = {};
    in.seekg(entryFor(id)->segment.offset);
    in.read(head, 4);
    EXPECT_EQ(std::string(head, 2), id == 17 ? "MZ" : "PK") << id;
  }
  const auto verified = verifyArchive(archive().string());
  EXPECT_TRUE(verified.ok) << joined(verified);
  EXPECT_EQ(verified.lines.size(), 35u);
  EXPECT_EQ(verified.lines[11], "ok   component 12 (DirectX 9.0c (2010.6))");
}

TEST_F(PayloadFolder, WrongSizeIsNamedWithBothLengthsAndNothingIsWritten) {
  fs::resize_file(payload(17), 63'020'047);
  const auto r = packArchive((root / "payloads").string(), archive().string());
  EXPECT_FALSE(r.ok);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_NE(r.lines[0].find("component 17"), std::string::npos) << r.lines[0];
  EXPECT_NE(r.lines[0].find("NDP46-KB3006563-x86-x64-AllOS-ENU.exe"), std::string::npos);
  EXPECT_NE(r.lines[0].find("63020047"), std::string::npos);
  EXPECT_NE(r.lines[0].find("63020048"), std::string::npos);
  EXPECT_TRUE(nothingWritten());
}

TEST_F(PayloadFolder, MissingFileAndZipWithoutItsPackage) {
  fs::remove(payload(5));
  place(*entryFor(35), "wllogin_64.msi");
  place(*entryFor(14), "NDP1.1sp1-KB867460-X86.exe");
  const auto r = packArchive((root / "payloads").string(), archive().string());
  EXPECT_FALSE(r.ok);
  const std::string all = joined(r);
  EXPECT_NE(all.find("component 5 (Visual C++ 2010 运行库(x86) 10.0.40219.455): file"),
            std::string::npos)
      << all;
  EXPECT_NE(all.find("VC2010_x86.exe is missing"), std::string::npos) << all;
  EXPECT_NE(all.find("component 35"), std::string::npos);
  EXPECT_NE(all.find("holds no \"wllogin_64.msi\""), std::string::npos) << all;
  EXPECT_NE(all.find("holds no \"NDP1.1sp1-KB867460-X86.exe\""), std::string::npos) << all;
  EXPECT_EQ(r.lines.size(), 3u) << all;
  EXPECT_TRUE(nothingWritten());
}

TEST_F(PayloadFolder, VerifyFindsACutArchiveAndABrokenPayload) {
  ASSERT_TRUE(packArchive((root / "payloads").string(), archive().string()).ok);
  writeAt(archive(), entryFor(12)->segment.end() - 22,
          std::string(22, '\0'));  // DirectX's directory end
  writeAt(archive(), entryFor(28)->segment.offset, "XXXX");
  fs::resize_file(archive(), static_cast<std::uintmax_t>(entryFor(35)->segment.offset + 1000));
  const auto r = verifyArchive(archive().string());
  EXPECT_FALSE(r.ok);
  const std::string all = joined(r);
  EXPECT_NE(all.find("expected 897823040"), std::string::npos) << all;
  EXPECT_NE(all.find("FAIL component 12"), std::string::npos) << all;
  EXPECT_NE(all.find("FAIL component 28 (NVIDIA PhysX System Software 9.14.0702): is not a Windows "
                     "Installer package"),
            std::string::npos)
      << all;
  EXPECT_NE(all.find("FAIL component 35 (Games For Windows - LIVE 3.5.95.0(微软平台)): cut short"),
            std::string::npos)
      << all;
  EXPECT_NE(all.find("ok   component 34"), std::string::npos);
}

}  // namespace
}  // namespace norvane
