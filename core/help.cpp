#include "core/help.h"

#include <algorithm>

#include "core/help_topics.h"

namespace vitrell {

namespace {

// The page of a numbered topic; empty for a number the map does not hold.
std::wstring_view TopicPage(std::uintptr_t context) {
    for (const HelpTopicPage& topic : kHelpTopicPages)
        if (topic.context == context)
            return topic.page;
    return {};
}

class NoViewers final : public IHelpViewers {
  public:
    OsVersion RealVersion() override { return {}; }
    bool FileExists(const std::wstring&) override { return false; }
    bool HtmlHelpLoadable() override { return false; }
    void CallWinHelp(WindowHandle, const std::wstring&, std::uint32_t, std::uintptr_t) override {}
    void CallHtmlHelp(WindowHandle, const std::wstring&, std::uint32_t) override {}
};

}  // namespace

HelpCall ChooseHelpCall(IHelpViewers& viewers,
                        const std::wstring& helpFile,
                        const std::wstring& htmlHelpFile,
                        std::uint32_t command,
                        std::uintptr_t data) {
    const HelpCall designed{HelpViewer::kWinHelp, helpFile, command, data};
    // Up to Windows Server 2003 the designed viewer is there. A failed version query gives 0: WinHelp too.
    if (viewers.RealVersion().major < 6 || !viewers.FileExists(htmlHelpFile) || !viewers.HtmlHelpLoadable())
        return designed;
    HelpCall call{HelpViewer::kHtmlHelp, htmlHelpFile, kHhDisplayToc, 0};
    if (command == kHelpPartialKey) {
        call.command = kHhDisplayIndex;
    } else if (command == kHelpContext) {
        // A topic by its page: chmcmd's context aliases carry the build folder, so HH_HELP_CONTEXT would miss.
        const std::wstring_view page = TopicPage(data);
        if (!page.empty()) {
            call.command = kHhDisplayTopic;
            call.file += L"::/";
            call.file += page;
        }
    }
    return call;
}

void HelpDesk::Open(WindowHandle owner,
                    const std::wstring& helpFile,
                    const std::wstring& htmlHelpFile,
                    std::uint32_t command,
                    std::uintptr_t data) {
    const HelpCall call = ChooseHelpCall(viewers_, helpFile, htmlHelpFile, command, data);
    if (call.viewer == HelpViewer::kHtmlHelp) {
        htmlHelpUsed_ = true;
        viewers_.CallHtmlHelp(owner, call.file, call.command);
        return;
    }
    winHelpFile_ = call.file;
    if (std::find(winHelpOwners_.begin(), winHelpOwners_.end(), owner) == winHelpOwners_.end())
        winHelpOwners_.push_back(owner);
    viewers_.CallWinHelp(owner, call.file, call.command, call.data);
}

void HelpDesk::CloseAll() {
    for (const WindowHandle owner : winHelpOwners_)
        viewers_.CallWinHelp(owner, winHelpFile_, kHelpQuit, 0);
    winHelpOwners_.clear();
    if (htmlHelpUsed_)
        viewers_.CallHtmlHelp(0, std::wstring(), kHhCloseAll);
    htmlHelpUsed_ = false;
}

IHelpViewers& NoHelpViewers() {
    static NoViewers none;
    return none;
}

}  // namespace vitrell
