// Prints what one engine tick costs: the platform calls it makes (counted through the fakes) and the heap
// allocations it needs (counted by a replaced operator new). Figures only; nothing here fails on them.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string_view>

#include "engine/engine.h"
#include "tests/fakes/fake_window_system.h"
#include "tests/fakes/main_window_rig.h"

namespace {

long g_allocations = 0;  // every operator new of the process while counting is on
bool g_counting = false;

}  // namespace

// The replacements pair malloc with free, as the standard allows. GCC, seeing a delete expression inlined into
// free() for a pointer that came from operator new, takes them for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    if (g_counting)
        ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace vitrell {
namespace {

// Counts each kind of call and passes it on to the fake.
class CountingWindowSystem final : public IWindowSystem {
  public:
    explicit CountingWindowSystem(testing::FakeWindowSystem& inner) : inner_(inner) {}

    bool GetCursorPos(ScreenPoint& point) override {
        ++cursor;
        return inner_.GetCursorPos(point);
    }
    WindowHandle WindowFromPoint(ScreenPoint point) override {
        ++fromPoint;
        return inner_.WindowFromPoint(point);
    }
    std::uint32_t ReadWindowLong(WindowHandle w, int index) override {
        ++(index == kGwlStyle ? styleRead : exStyleRead);
        return inner_.ReadWindowLong(w, index);
    }
    void WriteWindowLong(WindowHandle w, int index, std::uint32_t value) override {
        ++exStyleWrite;
        inner_.WriteWindowLong(w, index, value);
    }
    LayeredAttributes QueryLayeredAttributes(WindowHandle w) override {
        ++attributesRead;
        return inner_.QueryLayeredAttributes(w);
    }
    bool Answers(WindowHandle w) override {
        ++answerProbe;
        return inner_.Answers(w);
    }
    void SetLayeredWindowAttributes(WindowHandle w,
                                    std::uint32_t key,
                                    std::uint8_t alpha,
                                    std::uint32_t flags) override {
        ++alphaSet;
        inner_.SetLayeredWindowAttributes(w, key, alpha, flags);
    }

    long cursor = 0, fromPoint = 0, styleRead = 0, exStyleRead = 0, attributesRead = 0, answerProbe = 0,
         exStyleWrite = 0, alphaSet = 0;

  private:
    testing::FakeWindowSystem& inner_;
};

constexpr WindowHandle kTopLevel = 0x1000;
constexpr WindowHandle kChild = 0x2000;
constexpr WindowHandle kPerPixel = 0x3000;
constexpr WindowHandle kSilent = 0x4000;
long g_ticks = 100000;  // fewer with --quick

struct Scenario {
    const char* what;
    const wchar_t* onOff;
    WindowHandle underCursor;
};

struct TickCost {
    double allocations;  // per tick
    double ns;           // per tick
};

// Runs `tick(i)` g_ticks times, counting the allocations and timing the whole.
template <typename Tick>
TickCost Measure(Tick tick) {
    g_allocations = 0;
    g_counting = true;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < g_ticks; ++i)
        tick(i);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    g_counting = false;
    return {double(g_allocations) / g_ticks, std::chrono::duration<double, std::nano>(elapsed).count() / g_ticks};
}

void Run(const Scenario& s) {
    SettingsRecord settings;
    settings.OptOn_Off = s.onOff;
    settings.OptTou = L"20";
    testing::FakeWindowSystem fake;
    fake.windows[kTopLevel] = {};
    fake.windows[kChild] = {kWsChild, 0, {}, true, false};
    fake.windows[kPerPixel] = {0, kWsExLayered, {}, true, false};
    fake.windows[kSilent] = {0, 0, {}, false, false};
    fake.underCursor = s.underCursor;
    CountingWindowSystem counting(fake);
    Engine engine(settings, counting);

    const TickCost cost = Measure([&](long) { engine.Timer1_Timer(); });

    const long total = counting.cursor + counting.fromPoint + counting.styleRead + counting.exStyleRead +
                       counting.attributesRead + counting.answerProbe + counting.exStyleWrite + counting.alphaSet;
    const auto per = [](long n) { return double(n) / g_ticks; };
    std::printf(
        "%-36s %5.2f calls/tick  (cursor %.0f, from-point %.0f, style read %.0f, ex-style read %.0f, "
        "attributes read %.0f, answer probe %.0f, ex-style write %.0f, alpha %.0f)  allocations/tick %.3f  "
        "%.0f ns/tick over fakes\n",
        s.what, per(total), per(counting.cursor), per(counting.fromPoint), per(counting.styleRead),
        per(counting.exStyleRead), per(counting.attributesRead), per(counting.answerProbe), per(counting.exStyleWrite),
        per(counting.alphaSet), cost.allocations, cost.ns);
}

// The display tick runs twenty times a second for as long as the program runs, mostly with nothing to do.
void RunDisplayTick(const char* what, bool keyHeld) {
    testing::MainWindowRig rig;
    rig.app.Settings.OptTou = L"20";
    rig.form.Timer2_Timer();  // the first tick stores the level and builds the tooltips
    if (keyHeld)
        rig.view.keysDown.insert(0x26);
    const TickCost cost = Measure([&](long i) {
        if (keyHeld && i % 80 == 79)
            rig.app.Settings.OptTou = L"20";  // back below the limit, so the key keeps stepping
        rig.form.Timer2_Timer();
    });
    std::printf("%-36s allocations/tick %.3f  %.0f ns/tick over fakes\n", what, cost.allocations, cost.ns);
}

}  // namespace
}  // namespace vitrell

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "--quick")
        vitrell::g_ticks = 1000;
    using vitrell::Scenario;
    const Scenario scenarios[] = {
        {"engine on, top-level window", L"1", vitrell::kTopLevel},
        {"engine on, child control", L"1", vitrell::kChild},
        {"engine on, per-pixel layered window", L"1", vitrell::kPerPixel},
        {"engine on, window not answering", L"1", vitrell::kSilent},
        {"engine on, nothing under cursor", L"1", 0},
        {"engine off", L"0", vitrell::kTopLevel},
    };
    std::printf("engine tick, %ld ticks each:\n", vitrell::g_ticks);
    for (const Scenario& s : scenarios)
        vitrell::Run(s);
    std::printf("display tick, %ld ticks each:\n", vitrell::g_ticks);
    vitrell::RunDisplayTick("no key held, level unchanged", false);
    vitrell::RunDisplayTick("up arrow held, level stepping", true);
    return 0;
}
