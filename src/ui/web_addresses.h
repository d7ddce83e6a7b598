// The five web addresses the wizard opens. They sit under the reserved
// ".example" domain, which can belong to no one, until the publisher gives
// its own.
#pragma once

#include <string_view>

namespace norvane {

inline constexpr std::string_view kHomePageUrl = "https://www.norvane.example/";
inline constexpr std::string_view kForumUrl = "https://bbs.norvane.example/";
inline constexpr std::string_view kDownloadPageUrl = "https://www.norvane.example/runtimes/";
inline constexpr std::string_view kAuthorPageUrl = "https://weibo.norvane.example/merrow";
inline constexpr std::string_view kBrowserPromoUrl = "https://browser.norvane.example/download/";

}  // namespace norvane
