#include "selection/tree_builder.h"

#include <array>

namespace norvane {

namespace {

constexpr std::array<ComponentId, 20> kNewerX64{1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                                11, 14, 15, 17, 18, 19, 20, 21, 23, 25};
constexpr std::array<ComponentId, 21> kOlderX64{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                                13, 14, 15, 16, 18, 19, 20, 21, 23, 25};
constexpr std::array<ComponentId, 15> kNewerX86{1,  3,  5,  7,  9,  11, 14, 15,
                                                17, 18, 19, 20, 21, 22, 24};
constexpr std::array<ComponentId, 16> kOlderX86{1,  3,  5,  7,  9,  11, 13, 14,
                                                15, 16, 18, 19, 20, 21, 22, 24};
constexpr std::array<ComponentId, 7> kDrivers{12, 26, 27, 28, 29, 30, 31};
constexpr std::array<ComponentId, 4> kPlatforms{32, 33, 34, 35};

std::int32_t addGroup(ComponentTree& tree, ComponentGroup group,
                      std::span<const ComponentId> members) {
  const std::int32_t g = tree.addItem(-1, std::string(groupCaption(group)), 0, true);
  for (ComponentId id : members) {
    tree.addItem(g, std::string(entryFor(id)->treeCaption), id, false);
  }
  return g;
}

}  // namespace

std::span<const ComponentId> runtimesOffered(OsClass osClass) {
  switch (osClass) {
    case OsClass::NewerX64:
      return kNewerX64;
    case OsClass::OlderX64:
      return kOlderX64;
    case OsClass::NewerX86:
      return kNewerX86;
    case OsClass::OlderX86:
      return kOlderX86;
  }
  return {};
}

std::span<const ComponentId> driversOffered() { return kDrivers; }
std::span<const ComponentId> platformsOffered() { return kPlatforms; }

void buildComponentTree(ComponentTree& tree, OsClass osClass) {
  tree.clear();
  const std::int32_t runtimes = addGroup(tree, ComponentGroup::Runtimes, runtimesOffered(osClass));
  const std::int32_t drivers =
      addGroup(tree, ComponentGroup::DriversAndComponents, driversOffered());
  const std::int32_t platforms = addGroup(tree, ComponentGroup::GamePlatforms, platformsOffered());
  tree.expand(runtimes);
  tree.expand(drivers);
  tree.expand(platforms);
}

}  // namespace norvane
