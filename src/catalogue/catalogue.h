// The fixed knowledge of the 35 components: captions, where each payload
// lies in the payload archive, how it is staged and installed, and what is
// cleaned up afterwards. Constant data; safe to read from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace norvane {

using ComponentId = std::int32_t;
inline constexpr ComponentId kFirstComponentId = 1;
inline constexpr ComponentId kLastComponentId = 35;
inline constexpr std::int64_t kPayloadArchiveLength = 897'823'040;

enum class ComponentGroup { Runtimes, DriversAndComponents, GamePlatforms };

struct ArchiveSegment {
  std::int32_t offset;
  std::int32_t chunkLength;
  std::int32_t chunkCount;

  constexpr std::int64_t length() const {
    return static_cast<std::int64_t>(chunkLength) * chunkCount;
  }
  constexpr std::int64_t end() const { return offset + length(); }
};

enum class CommandKind { msi, exe };

struct CommandTemplate {
  CommandKind kind;
  std::string_view path;    // relative to the work directory
  std::string_view path64;  // used instead of path on 64-bit Windows, when set
  std::string_view switches;
};

enum class RegistryHive { CurrentUser };

struct RegistryStringValue {
  RegistryHive hive;
  std::string_view keyPath;
  std::string_view valueName;
  std::string_view data;
};

struct ComponentEntry {
  ComponentId id;
  ComponentGroup group;
  std::string_view treeCaption;
  std::string_view progressCaption;
  ArchiveSegment segment;
  std::string_view stagedName;
  std::string_view extractFolder;  // empty: the payload is an installer itself
  std::span<const CommandTemplate> commands;
  bool deleteStagedFile;
  bool deleteExtractFolder;
  bool resetWorkDirectoryFirst;
  const RegistryStringValue* registryValueAfter;  // null for all but one entry
  std::int32_t pauseAfterMs;
};

// The entry of an id, or nothing for any value outside 1 to 35.
const ComponentEntry* entryFor(ComponentId id);

// All entries in ascending id.
std::span<const ComponentEntry> allComponents();

std::string_view groupCaption(ComponentGroup group);

}  // namespace norvane
