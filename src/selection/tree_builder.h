// Which components each group of systems is offered, and building the tree.
#pragma once

#include <span>

#include "catalogue/catalogue.h"
#include "env/environment.h"
#include "selection/component_tree.h"

namespace norvane {

// The Runtimes group's components offered to a class, in tree order.
std::span<const ComponentId> runtimesOffered(OsClass osClass);
// The same in every class.
std::span<const ComponentId> driversOffered();
std::span<const ComponentId> platformsOffered();

// Clears the tree and fills it: three emphasised group items, each with its
// offered components, all three groups expanded.
void buildComponentTree(ComponentTree& tree, OsClass osClass);

}  // namespace norvane
