#include "install/install_run.h"

#include <algorithm>

#include "archive/payload_archive.h"

namespace norvane {

InstallQueue collectInstallQueue(const ComponentTree& tree,
                                 const std::function<void()>& pumpMessages) {
  InstallQueue queue;
  for (std::int32_t i = 0; i < tree.itemCount(); ++i) {
    if (tree.checkStateOf(i) == kChecked && tree.valueOf(i) > 0) queue.push_back(tree.valueOf(i));
    if (pumpMessages) pumpMessages();
  }
  std::sort(queue.begin(), queue.end());
  return queue;
}

int progressPercent(int i, int n) {
  return static_cast<int>(static_cast<double>(i) * 100.0 / (static_cast<double>(n) + 1.0));
}

void runInstallQueue(Os& os, InstallRun& run, const InstallRunSettings& settings,
                     ProgressSink& sink) {
  const int n = static_cast<int>(run.queue.size());
  for (int i = 1; i <= n; ++i) {
    sink.setPercent(progressPercent(i, n));
    run.reports.push_back(installComponent(
        os, run.queue[static_cast<std::size_t>(i - 1)], run.archive, settings.workDirectory,
        settings.is32Bit, [&sink](std::string_view text) { sink.setStatusText(text); }));
    sink.componentDone(outcomeOf(run.reports.back()));
  }
  sink.setPercent(100);
  sink.runFinished();
}

std::unique_ptr<InstallRun> startInstallRun(Os& os, const ComponentTree& tree,
                                            const InstallRunSettings& settings, ProgressSink& sink,
                                            const std::function<void()>& pumpMessages) {
  auto run = std::make_unique<InstallRun>();
  run->queue = collectInstallQueue(tree, pumpMessages);
  OpenedFile opened = openPayloadArchive(os, settings.archivePath);
  run->archive = std::move(opened.file);
  run->archiveError = opened.error;
  // Only references: a worker that owned part of the run would release it
  // after runFinished, when the caller may already be tearing it down.
  InstallRun* const shared = run.get();
  run->workerStarted = os.startDetachedThread(
      [&os, shared, settings, &sink] { runInstallQueue(os, *shared, settings, sink); });
  if (!run->workerStarted) {
    for (ComponentId id : run->queue) sink.componentDone(notStarted(id));
    sink.setPercent(100);
    sink.runFinished();
  }
  return run;
}

}  // namespace norvane
