// The five web addresses the wizard opens. They sit under the reserved
// ".example" domain, which can belong to no one, until the publisher gives
// its own. The two that labels show are short enough for their 132-pixel
// labels.
#pragma once

#include <string_view>

namespace norvane {

inline constexpr std::string_view kHomePageUrl = "http://www.nv.example";
inline constexpr std::string_view kForumUrl = "http://bbs.nv.example";
inline constexpr std::string_view kDownloadPageUrl = "http://www.nv.example/runtimes/";
inline constexpr std::string_view kAuthorPageUrl = "http://weibo.nv.example/merrow";
inline constexpr std::string_view kBrowserPromoUrl = "http://browser.nv.example/download/";

}  // namespace norvane
