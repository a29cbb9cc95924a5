#pragma once
// INFO_VER: the version-information box with its mail and home-page links.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "about/form_layout.h"
#include "core/probes.h"
#include "core/product.h"

namespace vitrell {

inline constexpr Rgb kLinkRest{192, 255, 192};
inline constexpr Rgb kLinkHighlight{0, 255, 0};

enum class LinkGroup { None, Mail, HomePage };

// Labels 10 and 11 belong to the mail group, 12 to 14 to the home page; every other label to none.
LinkGroup GroupOf(int labelIndex);

// The home-page address split after the "/" that ends its host: {"http://host/", "rest"}.
struct SplitAddress {
    std::wstring_view head;
    std::wstring_view tail;
};
constexpr SplitAddress SplitAfterHost(std::wstring_view address) {
    const size_t scheme = address.find(L"://");
    const size_t hostStart = scheme == std::wstring_view::npos ? 0 : scheme + 3;
    const size_t slash = address.find(L'/', hostStart);
    if (slash == std::wstring_view::npos)
        return {address, {}};
    return {address.substr(0, slash + 1), address.substr(slash + 1)};
}

struct FileAttributes {
    bool directory = false;
    bool hidden = false;
    bool system = false;
};

// A program file is present when that exact path is a plain file, neither hidden nor a system file.
bool IsProgramPresent(const std::optional<FileAttributes>& attributes);

// The system drive: the first three characters of WinDir ("C:\"), empty when WinDir is unset.
std::wstring SystemDrive(const std::optional<std::wstring>& winDir);

// Where the browser is expected for a Windows name; nothing for a name it does not know.
std::optional<std::wstring> BrowserPath(std::wstring_view osName, std::wstring_view systemDrive);

// The program path in quotes, so that a path with blanks can never start "C:\Program.exe".
std::wstring BrowserCommandLine(std::wstring_view programPath, std::wstring_view address);

// The dialog's controls as the form sees them.
class IVersionBoxView {
  public:
    virtual ~IVersionBoxView() = default;
    virtual void SetLabelColour(int labelIndex, Rgb colour) = 0;
    virtual void ShowWarning(std::wstring_view text, std::wstring_view title) = 0;  // modal, OK only
    virtual void Unload() = 0;
};

// What the links need of the system.
class IVersionBoxSystem {
  public:
    virtual ~IVersionBoxSystem() = default;
    virtual std::optional<std::wstring> Environment(std::wstring_view name) = 0;
    virtual std::optional<FileAttributes> Attributes(const std::wstring& path) = 0;  // nullopt: nothing there
    // Hands `target` to the program the system has registered for it; false when none took it.
    virtual bool ShellOpen(const std::wstring& target) = 0;
    // Starts `application` with `commandLine`, shown at normal size without taking the focus.
    virtual void StartProcess(const std::wstring& application, const std::wstring& commandLine) = 0;
};

// Command1, the OK button, the form's one child window. Its id is IDOK's, so Enter reaches it through the dialog
// manager.
inline constexpr int kCommand1Id = 1;
inline constexpr FontSpec kCommand1Font{L"MS UI Gothic", 9, false, false, false};
inline constexpr RectTwips kCommand1Rect{4200, 1445, 1300, 300};
inline constexpr std::wstring_view kCommand1Caption = L"OK";

class VersionBox {
  public:
    static constexpr int kFirstLink = 10;
    static constexpr int kLastLink = 14;

    VersionBox(IVersionBoxView& view, IVersionBoxSystem& system, ISystemInfo& info);

    static const FormLayout& Layout();
    static std::wstring TipFor(int labelIndex);  // empty for a label without a tooltip
    // Command1 and its font, as the DPI scaler lays them out beside the labels' fonts.
    static std::vector<ScaledPart> Parts();
    static std::vector<ScaledFont> PartFonts();

    void Command1_Click();
    void Form_MouseMove();
    void Label1_MouseMove(int index);
    void Label1_Click(int index);

    // The colour a label is drawn in now: a link's current colour, any other label's own ink.
    LabelInk InkOf(const LabelSpec& label) const;

  private:
    void SetGroupColours(Rgb mail, Rgb homePage);
    void SetColour(int index, Rgb colour);
    void OpenMail();
    void OpenHomePage();

    IVersionBoxView& view_;
    IVersionBoxSystem& system_;
    ISystemInfo& info_;
    std::array<Rgb, kLastLink - kFirstLink + 1> linkColours_{};
};

}  // namespace vitrell
