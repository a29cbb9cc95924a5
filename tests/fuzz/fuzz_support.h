#pragma once
// What the fuzz targets share: turning the fuzzer's bytes into registry texts and stores, and stopping with a
// readable message when an invariant fails (libFuzzer then keeps the input as a crash file).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "tests/fakes/fake_registry.h"
#include "tests/invariants.h"

namespace vitrell::fuzz {

inline void Require(bool holds, const char* what, std::wstring_view detail = {}) {
    if (holds)
        return;
    std::fprintf(stderr, "invariant failed: %s", what);
    if (!detail.empty()) {
        std::fprintf(stderr, " ('");
        for (size_t i = 0; i < detail.size() && i < 200; ++i)
            std::fputc(detail[i] >= 0x20 && detail[i] < 0x7F ? static_cast<char>(detail[i]) : '?', stderr);
        std::fprintf(stderr, "'%s)", detail.size() > 200 ? "..., long" : "");
    }
    std::fprintf(stderr, "\n");
    std::abort();
}

// A registry text: up to 40,000 UTF-16 code units of any value (NUL and lone surrogates included), spelled out
// byte by byte or unit by unit, or a short piece repeated as a long edited value would be.
inline std::wstring ArbitraryText(FuzzedDataProvider& in) {
    const int shape = in.ConsumeIntegralInRange(0, 2);
    const size_t repeatTo = shape == 2 ? in.ConsumeIntegralInRange<size_t>(0, 40000) : 0;
    const std::string bytes = in.ConsumeRandomLengthString(shape == 1 ? 256 : 128);
    std::wstring text;
    if (shape == 1) {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1])
                                                                                    << 8);
    } else {
        for (char c : bytes)
            text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    while (!text.empty() && text.size() < repeatTo)
        text += text.substr(0, repeatTo - text.size());
    return text;
}

// Every key start-up reads, in both sections: missing, a text (REG_SZ), or a value of another type (a number,
// binary data, an expandable text), which the store does not read as a setting.
inline void PutArbitraryStore(FuzzedDataProvider& in, testing::FakeRegistry& registry) {
    for (const testing::StartupKey& k : testing::kStartupKeys) {
        const std::wstring path = SettingsStore::SectionPath(k.section);
        switch (in.ConsumeIntegralInRange(0, 2)) {
            case 1:
                registry.Put(path, k.key, ArbitraryText(in));
                break;
            case 2:
                registry.PutNonString(path, k.key);
                break;
            default:
                break;
        }
    }
}

class StartupHost final : public IStartupHost {
  public:
    explicit StartupHost(SizeTwips screen) : screen_(screen) {}
    bool FirstCopy() override { return true; }
    void ShowRunningCopy() override {}
    std::wstring ApplicationFolder() override { return L"C:\\VITRELL"; }
    void ChangeDirectory(const std::wstring&) override {}
    SizeTwips ScreenSize() override { return screen_; }
    MonitorList Monitors() override { return {{0, 0, screen_.width, screen_.height}}; }
    void ShowSplashModal() override {}
    void ShowMainWindow(bool) override {}

  private:
    SizeTwips screen_;
};

// A screen as the system may report it, in twips: any whole number of pixels at 96 dpi, absurd ones included.
inline SizeTwips ArbitraryScreen(FuzzedDataProvider& in) {
    return {in.ConsumeIntegral<int>() * 15.0, in.ConsumeIntegral<int>() * 15.0};
}

}  // namespace vitrell::fuzz
