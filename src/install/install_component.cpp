#include "install/install_component.h"

#include "os/file_tree.h"
#include "os/paths.h"

namespace norvane {

namespace {

// The interpreter expands % and ! in any quoting. The folder's 8.3 name
// avoids them where the volume makes such names and the characters fall in
// the shortened parts; otherwise runInstaller refuses the command and the
// report says so: a visible failure, never a command run with a mangled path.
std::string interpreterSafeFolder(Os& os, const std::string& workDirectory) {
  if (!interpreterExpands(workDirectory)) return workDirectory;
  auto shortName = os.shortPathName(workDirectory);
  if (!shortName.ok() || interpreterExpands(shortName.value)) {
    return workDirectory;
  }
  std::string out = shortName.value;
  if (out.empty() || !isSeparator(out.back())) out += '\\';
  return out;
}

void pauseAtLeast(Os& os, std::uint32_t milliseconds) {
  // Sleep may wake a tick early; wait until more than the pause has passed.
  const std::uint64_t start = os.monotonicMs();
  for (std::uint64_t passed = 0; passed <= milliseconds; passed = os.monotonicMs() - start) {
    os.sleepMs(static_cast<std::uint32_t>(milliseconds - passed + 1));
  }
}

}  // namespace

ComponentReport installComponent(Os& os, ComponentId id, const OsFile& archive,
                                 const std::string& workDirectory, bool is32Bit,
                                 const StatusTextReceiver& setStatusText) {
  ComponentReport report;
  report.id = id;
  const ComponentEntry* entry = entryFor(id);
  if (entry == nullptr) return report;

  if (setStatusText) setStatusText(entry->progressCaption);

  if (entry->resetWorkDirectoryFirst) {
    deleteTree(os, workDirectory);
    os.createDirectory(std::string(withoutTrailingSeparators(workDirectory)));
  }

  const std::string stagedPath = workDirectory + std::string(entry->stagedName);
  report.staging = copySegment(os, archive, entry->segment, stagedPath);

  const std::string extractPath = workDirectory + std::string(entry->extractFolder);
  if (!entry->extractFolder.empty()) report.extraction = extractZip(os, stagedPath, extractPath);

  const std::string commandFolder = interpreterSafeFolder(os, workDirectory);
  for (const CommandTemplate& command : entry->commands) {
    report.installers.push_back(
        runInstaller(os, makeInstallerCommand(command, commandFolder, is32Bit)));
  }

  if (entry->deleteStagedFile) os.deleteFile(stagedPath);
  if (entry->deleteExtractFolder) deleteTree(os, extractPath);

  if (const RegistryStringValue* value = entry->registryValueAfter) {
    report.registryError = os.writeUserRegistryString(
        std::string(value->keyPath), std::string(value->valueName), std::string(value->data));
  }
  if (entry->pauseAfterMs > 0) pauseAtLeast(os, static_cast<std::uint32_t>(entry->pauseAfterMs));
  return report;
}

}  // namespace norvane
