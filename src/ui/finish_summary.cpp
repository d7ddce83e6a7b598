#include "ui/finish_summary.h"

namespace norvane {

namespace {

// The label holds about eight lines: a heading, two failures of up to
// three lines each, and the closing line.
constexpr std::size_t kFailuresShown = 2;
constexpr std::size_t kNamesShown = 3;

std::string captionOf(ComponentId id) {
  const ComponentEntry* e = entryFor(id);
  return e == nullptr ? std::to_string(id) : std::string(e->progressCaption);
}

std::string moreOf(std::size_t total) { return "……等 " + std::to_string(total) + " 项"; }

std::string namesOf(const std::vector<ComponentId>& ids) {
  std::string out;
  for (std::size_t k = 0; k < ids.size() && k < kNamesShown; ++k) {
    if (k > 0) out += "、";
    out += captionOf(ids[k]);
  }
  if (ids.size() > kNamesShown) out += moreOf(ids.size());
  return out;
}

}  // namespace

std::string finishSummary(const std::vector<ComponentOutcome>& outcomes) {
  if (outcomes.empty()) return {};
  std::vector<const ComponentOutcome*> failures;
  std::vector<ComponentId> restart;
  std::size_t present = 0;
  for (const ComponentOutcome& o : outcomes) {
    if (o.outcome == Outcome::Failed) failures.push_back(&o);
    if (o.outcome == Outcome::RestartNeeded) restart.push_back(o.id);
    if (o.outcome == Outcome::AlreadyPresent) ++present;
  }
  std::string text;
  if (failures.empty()) {
    text = "所选的 " + std::to_string(outcomes.size()) + " 个组件均已安装完成";
    if (present > 0) text += "（其中 " + std::to_string(present) + " 个已是相同或更新的版本）";
    text += "。";
  } else {
    text = std::to_string(failures.size()) + " 个组件未能安装：";
    for (std::size_t k = 0; k < failures.size() && k < kFailuresShown; ++k) {
      text += "\r\n" + captionOf(failures[k]->id) + "：" + failures[k]->reason;
    }
    if (failures.size() > kFailuresShown) text += "\r\n" + moreOf(failures.size());
    const std::size_t good = outcomes.size() - failures.size();
    if (good > 0) text += "\r\n其余 " + std::to_string(good) + " 个组件已安装。";
  }
  if (!restart.empty()) text += "\r\n需重新启动计算机后生效：" + namesOf(restart);
  return text;
}

}  // namespace norvane
