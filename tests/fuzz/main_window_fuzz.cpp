// The main window: any sequence of toolbar clicks, arrow keys held and released, display and engine ticks,
// tray callbacks, menu commands, show/hide and close requests of every kind, also inside the modal loops in
// which Windows runs them (message boxes, the toolbar's customise dialog, the first activation's message pumps).
#include <functional>
#include <iterator>

#include "tests/fakes/main_window_rig.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vitrell;
using fuzz::Require;

namespace {

const std::wstring kConfigKey = SettingsStore::SectionPath(kConfig);
enum Op { kClick, kDisplayTick = 2, kEngineTick, kActivate = 8 };  // the events the checks tell apart

struct Run : testing::MainWindowRig {
    explicit Run(FuzzedDataProvider& input) : in(input) {
        // As start-up and the settings dialog leave them: levels plain and within 0..100.
        SettingsRecord& s = app.Settings;
        s.OptCent = in.ConsumeBool() ? L"1" : L"0";
        s.OptTemae = s.OptMBar = s.OptTBar = s.OptNin = L"1";
        s.OptTou = NumberText(in.ConsumeFloatingPointInRange<double>(0, 100));
        s.OptTou2 = NumberText(in.ConsumeIntegralInRange(0, 100));
        s.OptOn_Off = storedSwitch = in.PickValueInArray({L"0", L"1", L"2"});
        s.OptWinS = in.ConsumeBool() ? L"1" : L"0";
        registry.Put(kConfigKey, L"OptOn_Off", s.OptOn_Off);
        for (WindowHandle w = 1; w <= 4; ++w)
            windows.windows[w] = {in.ConsumeBool() ? kWsChild : 0u, in.ConsumeBool() ? kWsExLayered : 0u, {}, true};
        view.onAsk = view.onExclamation = toolbar.onCustomize = [this] { Nested(true); };
        view.onDoEvents = [this] { Nested(false); };
    }

    // What Windows delivers inside a modal loop; under a box or a dialog the main window itself takes no input.
    void Nested(bool modal) {
        if (depth == 3)
            return;
        ++depth;
        for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
            Event(modal);
        --depth;
    }

    void Event(bool modal) {
        if (view.unloaded || in.remaining_bytes() == 0)
            return;  // a destroyed window takes no more messages
        const bool unloaded = form.Unloaded(), engineOn = EngineSwitchOn(app.Settings.OptOn_Off);
        const size_t logged = log.size(), written = registry.writes.size();
        const int calls = windows.calls;
        const WindowHandle target = windows.underCursor = in.ConsumeIntegralInRange<WindowHandle>(0, 5);
        const auto before =
            windows.windows.count(target) ? windows.windows[target] : testing::FakeWindowSystem::Window{};
        int op = in.ConsumeIntegralInRange(0, static_cast<int>(std::size(events)) - 1);
        op = modal && (op == kClick || op == kActivate) ? kDisplayTick : op;
        view.answerOk = in.ConsumeBool();
        events[op]();

        const std::wstring& level = app.Settings.OptTou;
        Require(testing::ReadsBackAsWritten(level) && LeadingNumber(level) >= 0 && LeadingNumber(level) <= 100,
                "the level stays plain decimal text within 0..100", level);
        if (op == kDisplayTick && !form.Unloaded())
            Require(registry.Get(kConfigKey, L"OptTou") == level, "after a display tick the store holds the level",
                    level + L" held, " + registry.Get(kConfigKey, L"OptTou").value_or(L"nothing") + L" stored");
        for (; checked < registry.writes.size(); ++checked) {
            const testing::FakeRegistry::Write& w = registry.writes[checked];
            Require(w.name != L"OptOn_Off" || w.text == FlagText(!EngineSwitchOn(storedSwitch)),
                    "each stored switch inverts the one stored before: every toggle and the exit invert it");
            storedSwitch = w.name == L"OptOn_Off" ? w.text : storedSwitch;
        }
        Require(app.Settings.OptOn_Off == storedSwitch, "the engine switch is the stored one");
        const auto after = windows.windows.find(target);
        if (op == kEngineTick && after != windows.windows.end() && after->second.alpha != before.alpha)
            Require(engineOn && !unloaded && after->second.alpha == AlphaForLevel(LeadingNumber(level)) &&
                        !(before.style & kWsChild) && (before.alpha || !(before.exStyle & kWsExLayered)),
                    "only a running engine gives alpha: the level's, to a top-level window that paints no alpha of its "
                    "own");
        for (const auto& [handle, window] : windows.windows)
            Require(!window.styleWrittenWhileHung, "a window that does not answer is left alone");
        if (unloaded)
            Require(log.size() == logged && registry.writes.size() == written && windows.calls == calls,
                    "nothing happens after an unload", L"event " + std::to_wstring(op));
    }

    void ToggleKey(int key) {
        if (!view.keysDown.erase(key))
            view.keysDown.insert(key);
    }
    // The window under the cursor stops or starts answering, or closes between two ticks.
    void ChangeWindow(bool answering) {
        if (windows.windows.count(windows.underCursor) && answering)
            windows.windows[windows.underCursor].answers = !windows.windows[windows.underCursor].answers;
        else
            windows.windows.erase(windows.underCursor);
    }

    FuzzedDataProvider& in;
    std::wstring storedSwitch;
    size_t checked = 0;
    int depth = 0;
    // Every event the form takes, in the order of Op. The settings dialog, gone with the exit, stores a level.
    const std::function<void()> events[12] = {
        [this] { form.Toolbar1_ButtonClick(in.ConsumeIntegralInRange(0, 7)); },
        [this] { ToggleKey(in.ConsumeBool() ? kVkUp : kVkDown); },
        [this] { form.Timer2_Timer(); },
        [this] { form.Timer1_Timer(); },
        [this] { form.Picture1_MouseMove(static_cast<float>(in.ConsumeIntegralInRange(510, 520))); },
        [this] { form.mnuFileShow_Hide_Click(in.ConsumeIntegralInRange(-1, 2)); },
        [this] { form.mnuFileEnd_Click(); },
        [this] {
            bool cancel = false;
            form.Form_QueryUnload(cancel, in.ConsumeIntegralInRange(0, 6));
        },
        [this] { form.Form_Activate(); },
        [this] { form.CustomizeToolbar(); },
        [this] {
            if (!form.Unloaded())
                app.Store.Set(app.Settings.OptTou, kConfig, L"OptTou", NumberText(in.ConsumeIntegralInRange(0, 100)));
        },
        [this] { ChangeWindow(in.ConsumeBool()); },
    };
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    Run run(in);
    run.form.Form_Load();
    for (int events = 0; events < 400 && !run.view.unloaded && in.remaining_bytes() > 0; ++events)
        run.Event(false);
    return 0;
}
