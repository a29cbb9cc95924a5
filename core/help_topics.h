#pragma once
// The help file's numbered topics, and the page of VITRELL.chm that holds each of them.
#include <string_view>

namespace vitrell {

inline constexpr unsigned kHelpContextEnvironment = 24;  // the settings dialog's tab 環境設定
inline constexpr unsigned kHelpContextInitial = 25;      // its tab 初期設定

struct HelpTopicPage {
    unsigned context;
    std::wstring_view page;
};

inline constexpr HelpTopicPage kHelpTopicPages[] = {
    {kHelpContextEnvironment, L"settings_environment.htm"},
    {kHelpContextInitial, L"settings_initial.htm"},
};

}  // namespace vitrell
