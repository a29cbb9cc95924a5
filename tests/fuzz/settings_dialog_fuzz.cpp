// The settings dialog: loaded from what start-up made of an arbitrary store, then any sequence of clicks, spinner
// steps, tab changes and buttons, opened afresh whenever it closes. Whatever it stores lies within its ranges, it
// never stores both bars off, and Cancel and the close box store nothing.
#include <algorithm>
#include <climits>
#include <memory>

#include "tests/fakes/settings_dialog_fixture.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vitrell;

namespace {

enum Event { kClick, kSpin, kTab, kOk, kApply, kCancel, kHelp, kReset, kCustomize, kLast = kCustomize };

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    testing::FakeRegistry registry;
    fuzz::PutArbitraryStore(in, registry);
    AppContext app(registry);
    fuzz::StartupHost startup(fuzz::ArbitraryScreen(in));
    Main(app, startup);

    testing::EventLog log;
    testing::FakeDialogView view(log);
    testing::FakeSettingsHost host(log);
    std::unique_ptr<SettingsDialog> dialog;
    const std::wstring config = SettingsStore::SectionPath(kConfig);
    bool barsStored = false;
    for (int events = 0; events < 200; ++events) {
        registry.writes.clear();
        if (!dialog || dialog->Unloaded()) {
            // Every opening loads afresh from memory, and loading stores nothing.
            dialog = std::make_unique<SettingsDialog>(app, host, view);
            dialog->Form_Load();
            fuzz::Require(registry.writes.empty(), "loading the dialog stores nothing");
        }
        if (in.remaining_bytes() == 0)
            break;
        const Event event = static_cast<Event>(in.ConsumeIntegralInRange<int>(0, kLast));
        switch (event) {
            case kClick: {
                const int box = in.ConsumeIntegralInRange(0, kBoxCount - 1);
                dialog->SetCheck(box, !dialog->Check(box));
                break;
            }
            case kSpin: {
                const int spinner = in.ConsumeIntegralInRange(0, kSpinnerCount - 1);
                const int step = in.ConsumeBool() ? (in.ConsumeBool() ? 1 : -1) : in.ConsumeIntegral<int>();
                dialog->SetSpinner(spinner,
                                   static_cast<int>(std::clamp<long long>(
                                       static_cast<long long>(dialog->Spinner(spinner)) + step, INT_MIN, INT_MAX)));
                break;
            }
            case kTab:
                dialog->SetTab(in.ConsumeIntegral<int>());
                break;
            case kOk:
            case kApply:
                dialog->Command1_Click(static_cast<int>(event == kOk ? CommandButton::Ok : CommandButton::Apply));
                break;
            case kCancel:
                dialog->Command1_Click(static_cast<int>(CommandButton::Cancel));  // the close box does the same
                fuzz::Require(registry.writes.empty(), "Cancel and the close box store nothing");
                break;
            case kHelp:
                dialog->Command1_Click(in.ConsumeBool() ? static_cast<int>(CommandButton::Help)
                                                        : in.ConsumeIntegral<int>());
                break;
            case kReset:
                dialog->Command3_Click();
                break;
            case kCustomize:
                dialog->Command2_Click();
                break;
        }
        for (const testing::FakeRegistry::Write& w : registry.writes) {
            fuzz::Require(testing::WithinDialogRange(w.name, w.text), "the dialog stores values within its ranges",
                          w.name + L"=" + w.text);
            barsStored |= w.name == L"OptMBar" || w.name == L"OptTBar";
        }
        if (barsStored && (event == kOk || event == kApply))
            fuzz::Require(FlagOn(registry.Get(config, L"OptMBar").value_or(L"")) ||
                              FlagOn(registry.Get(config, L"OptTBar").value_or(L"")),
                          "after OK or Apply the menu bar and the toolbar are not both stored off");
    }
    return 0;
}
