// The install run: the checked components, queued in ascending order and
// installed one after another on a worker thread that reports progress.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"
#include "install/component_outcome.h"
#include "install/install_component.h"
#include "os/os_handles.h"
#include "selection/component_tree.h"

namespace norvane {

using InstallQueue = std::vector<ComponentId>;

// How the worker reports to the installing page. All three are called on
// the worker thread; the UI applies them on its own thread in call order.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void setStatusText(std::string_view text) = 0;
  virtual void setPercent(int percent) = 0;
  // After each component, what became of it.
  virtual void componentDone(const ComponentOutcome& outcome) = 0;
  virtual void runFinished() = 0;
};

// Every item whose box is exactly checked and whose value is a component,
// ascending. pumpMessages runs after each item, so the window stays live.
InstallQueue collectInstallQueue(const ComponentTree& tree,
                                 const std::function<void()>& pumpMessages = {});

// The bar's position before component i (1-based) of n: i * 100 / (n + 1),
// rounded down; it reaches 100 only after the last component.
int progressPercent(int i, int n);

struct InstallRunSettings {
  std::string archivePath;
  std::string workDirectory;
  bool is32Bit = true;
};

// What the run holds from its start to the end of the program: the queue
// and the archive, which stays open (and so locked against other copies)
// for as long as the caller keeps this.
struct InstallRun {
  InstallQueue queue;
  OsFile archive;
  OsError archiveError = kOsOk;
  bool workerStarted = false;
  std::vector<ComponentReport> reports;  // filled by the worker, read after runFinished
};

// The worker's body: for each queued component the bar, then the component,
// then its outcome; then 100 and runFinished.
void runInstallQueue(Os& os, InstallRun& run, const InstallRunSettings& settings,
                     ProgressSink& sink);

// Queues, opens the archive and starts the worker, then returns. When no
// thread can be started nothing is installed and the run ends at once
// (100, runFinished), so the wizard never sits on a page where every button
// is disabled and the window refuses to close; workerStarted says so.
// The caller keeps the run, os and sink until the program ends: the worker
// is never waited for, and after runFinished it touches none of them again.
std::unique_ptr<InstallRun> startInstallRun(Os& os, const ComponentTree& tree,
                                            const InstallRunSettings& settings, ProgressSink& sink,
                                            const std::function<void()>& pumpMessages = {});

}  // namespace norvane
