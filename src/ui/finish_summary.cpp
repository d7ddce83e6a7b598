#include "ui/finish_summary.h"

#include <array>

namespace norvane {

namespace {

// How much of each list an account names; the first is the fullest.
struct Detail {
  std::size_t failuresNamed;
  std::size_t restartsNamed;
  bool presentNoted;
};
constexpr std::array kDetails{Detail{2, 3, true}, Detail{2, 2, true},  Detail{2, 1, true},
                              Detail{1, 1, true}, Detail{1, 1, false}, Detail{1, 0, false},
                              Detail{0, 0, false}};

std::string captionOf(ComponentId id) {
  const ComponentEntry* e = entryFor(id);
  return e == nullptr ? std::to_string(id) : std::string(e->progressCaption);
}

std::string moreOf(std::size_t total) { return "……等 " + std::to_string(total) + " 项"; }

std::string presentNote(std::size_t present) {
  return "（其中 " + std::to_string(present) + " 个已是相同或更新的版本）";
}

std::string restartLine(const std::vector<ComponentId>& ids, std::size_t named) {
  if (named == 0) return "需重新启动计算机后生效：" + std::to_string(ids.size()) + " 个组件";
  std::string out = "需重新启动计算机后生效：";
  for (std::size_t k = 0; k < ids.size() && k < named; ++k) {
    if (k > 0) out += "、";
    out += captionOf(ids[k]);
  }
  if (ids.size() > named) out += moreOf(ids.size());
  return out;
}

struct Tally {
  std::vector<const ComponentOutcome*> failures;
  std::vector<ComponentId> restart;
  std::size_t present = 0;
  std::size_t total = 0;
};

std::string account(const Tally& t, const Detail& d) {
  std::string text;
  if (t.failures.empty()) {
    text = "所选的 " + std::to_string(t.total) + " 个组件均已安装完成";
    if (t.present > 0 && d.presentNoted) text += presentNote(t.present);
    text += "。";
  } else {
    text = std::to_string(t.failures.size()) + " 个组件未能安装";
    text += d.failuresNamed == 0 ? "。" : "：";
    for (std::size_t k = 0; k < t.failures.size() && k < d.failuresNamed; ++k) {
      text += "\r\n" + captionOf(t.failures[k]->id) + "：" + t.failures[k]->reason;
    }
    if (d.failuresNamed > 0 && t.failures.size() > d.failuresNamed) {
      text += "\r\n" + moreOf(t.failures.size());
    }
    const std::size_t good = t.total - t.failures.size();
    if (good > 0) {
      text += "\r\n其余 " + std::to_string(good) + " 个组件已安装";
      if (t.present > 0 && d.presentNoted) text += presentNote(t.present);
      text += "。";
    }
  }
  if (!t.restart.empty()) text += "\r\n" + restartLine(t.restart, d.restartsNamed);
  return text;
}

}  // namespace

std::string finishSummary(const std::vector<ComponentOutcome>& outcomes, const TextFits& fits) {
  if (outcomes.empty()) return {};
  Tally t;
  t.total = outcomes.size();
  for (const ComponentOutcome& o : outcomes) {
    if (o.outcome == Outcome::Failed) t.failures.push_back(&o);
    if (o.outcome == Outcome::RestartNeeded) t.restart.push_back(o.id);
    if (o.outcome == Outcome::AlreadyPresent) ++t.present;
  }
  std::string text;
  for (const Detail& d : kDetails) {
    text = account(t, d);
    if (!fits || fits(text)) break;
  }
  return text;
}

}  // namespace norvane
