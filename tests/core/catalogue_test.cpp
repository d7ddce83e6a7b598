#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace norvane {
namespace {

TEST(Catalogue, EntryForKnowsExactlyOneToThirtyFive) {
  for (ComponentId id : {0, 36, -1, 1000, -2147483647 - 1}) EXPECT_EQ(entryFor(id), nullptr) << id;
  for (ComponentId id = 1; id <= 35; ++id) {
    ASSERT_NE(entryFor(id), nullptr) << id;
    EXPECT_EQ(entryFor(id)->id, id);
  }
  EXPECT_EQ(entryFor(1)->stagedName, "VC2005_x86.tmp");
  EXPECT_EQ(entryFor(35)->stagedName, "xlive.tmp");
  EXPECT_EQ(allComponents().size(), 35u);
}

TEST(Catalogue, SegmentsTileTheArchiveWithoutGapOrOverlap) {
  std::int64_t expected = 0;
  std::int64_t sum = 0;
  std::int32_t largestChunk = 0;
  for (const ComponentEntry& e : allComponents()) {
    EXPECT_EQ(e.segment.offset, expected) << e.id;
    expected = e.segment.end();
    sum += e.segment.length();
    largestChunk = std::max(largestChunk, e.segment.chunkLength);
    EXPECT_EQ(e.segment.chunkCount, e.id == 12 ? 2 : e.id == 15 ? 4 : 1) << e.id;
  }
  EXPECT_EQ(sum, 897'823'040);
  EXPECT_EQ(expected, kPayloadArchiveLength);
  EXPECT_EQ(largestChunk, 63'020'048);
  EXPECT_EQ(entryFor(17)->segment.chunkLength, largestChunk);
  EXPECT_EQ(entryFor(12)->segment.length(), 103'199'168);
  EXPECT_EQ(entryFor(15)->segment.length(), 202'940'580);
}

TEST(Catalogue, CaptionsUseAsciiPunctuationAndSingleBlanks) {
  for (const ComponentEntry& e : allComponents()) {
    for (std::string_view caption : {e.treeCaption, e.progressCaption}) {
      ASSERT_FALSE(caption.empty()) << e.id;
      EXPECT_NE(caption.front(), ' ') << e.id;
      EXPECT_NE(caption.back(), ' ') << e.id;
      EXPECT_EQ(caption.find("  "), std::string_view::npos) << e.id;
      for (std::string_view fullWidth : {"（", "）", "，", "／"}) {
        EXPECT_EQ(caption.find(fullWidth), std::string_view::npos) << e.id << " " << caption;
      }
    }
  }
}

TEST(Catalogue, ProgressCaptionDiffersForExactlyTheFifteenListed) {
  const std::set<ComponentId> differing{9, 10, 11, 17, 18, 19, 20, 21, 24, 25, 31, 32, 33, 34, 35};
  for (const ComponentEntry& e : allComponents()) {
    EXPECT_EQ(e.treeCaption != e.progressCaption, differing.count(e.id) == 1) << e.id;
  }
  EXPECT_NE(entryFor(9)->treeCaption.find("12.0.30501.1"), std::string_view::npos);
  EXPECT_NE(entryFor(9)->progressCaption.find("12.0.21005.1"), std::string_view::npos);
  EXPECT_EQ(entryFor(33)->progressCaption, "Origin客户端 安装完后会运行更新");
}

TEST(Catalogue, StagedNamesAndCommandPathsStayWithTheirComponent) {
  for (const ComponentEntry& e : allComponents()) {
    const std::string staged(e.stagedName);
    if (!e.extractFolder.empty()) {
      EXPECT_EQ(staged, std::string(e.extractFolder) + ".tmp") << e.id;
    } else {
      EXPECT_TRUE(staged.ends_with(".exe") || staged.ends_with(".msi")) << e.id;
      EXPECT_FALSE(e.deleteExtractFolder) << e.id;
    }
    ASSERT_GE(e.commands.size(), 1u) << e.id;
    ASSERT_LE(e.commands.size(), 6u) << e.id;
    for (const CommandTemplate& c : e.commands) {
      for (std::string_view path : {c.path, c.path64}) {
        if (path.find('\\') != std::string_view::npos) {
          EXPECT_TRUE(path.starts_with(std::string(e.extractFolder) + "\\")) << e.id << " " << path;
        } else if (!path.empty()) {
          EXPECT_EQ(path, e.stagedName) << e.id;  // the staged installer runs itself
        }
      }
      const bool isMsiPath = c.path.ends_with(".msi");
      EXPECT_EQ(c.kind == CommandKind::msi, isMsiPath) << e.id;
    }
  }
}

TEST(Catalogue, ExtraActionsBelongToTheirSingleEntries) {
  for (const ComponentEntry& e : allComponents()) {
    EXPECT_EQ(e.resetWorkDirectoryFirst, e.id == 33) << e.id;
    EXPECT_EQ(e.pauseAfterMs, e.id == 33 ? 1000 : 0) << e.id;
    EXPECT_EQ(e.registryValueAfter != nullptr, e.id == 32) << e.id;
    for (const CommandTemplate& c : e.commands) {
      EXPECT_EQ(!c.path64.empty(), e.id == 35 && &c == &e.commands[2]) << e.id;
    }
  }
  const RegistryStringValue& steam = *entryFor(32)->registryValueAfter;
  EXPECT_EQ(steam.hive, RegistryHive::CurrentUser);
  EXPECT_EQ(steam.keyPath, "Software\\Valve\\Steam");
  EXPECT_EQ(steam.valueName, "Language");
  EXPECT_EQ(steam.data, "schinese");
}

TEST(Catalogue, CleanupFlagsFollowTheTable) {
  const std::set<ComponentId> bothDeleted{1, 2, 3, 4, 12, 15, 16, 35};
  const std::set<ComponentId> onlyStagedDeleted{13, 17, 28};
  for (const ComponentEntry& e : allComponents()) {
    EXPECT_EQ(e.deleteExtractFolder, bothDeleted.count(e.id) == 1) << e.id;
    EXPECT_EQ(e.deleteStagedFile, bothDeleted.count(e.id) + onlyStagedDeleted.count(e.id) == 1)
        << e.id;
  }
}

TEST(Catalogue, JSharpSwitchesCarryTheirOwnQuotes) {
  for (ComponentId id : {22, 23}) {
    const std::string_view s = entryFor(id)->commands[0].switches;
    EXPECT_EQ(s, "/q:a /c:\"install.exe /q\"");
    EXPECT_EQ(s.size(), 24u);
  }
}

TEST(Catalogue, GroupsAndTheirCaptions) {
  for (const ComponentEntry& e : allComponents()) {
    const ComponentGroup expected = e.id == 12 || (e.id >= 26 && e.id <= 31)
                                        ? ComponentGroup::DriversAndComponents
                                    : e.id >= 32 ? ComponentGroup::GamePlatforms
                                                 : ComponentGroup::Runtimes;
    EXPECT_EQ(e.group, expected) << e.id;
  }
  EXPECT_EQ(groupCaption(ComponentGroup::Runtimes), "运行库合集");
  EXPECT_EQ(groupCaption(ComponentGroup::DriversAndComponents), "常用驱动及组件");
  EXPECT_EQ(groupCaption(ComponentGroup::GamePlatforms), "常用游戏平台");
}

}  // namespace
}  // namespace norvane
