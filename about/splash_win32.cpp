#include "about/splash_win32.h"

#include "about/form_paint_win32.h"
#include "about/splash.h"
#include "core/product.h"
#include "platform/win32/base_window.h"
#include "platform/win32/message_pump_win32.h"

namespace vitrell {

namespace {

constexpr UINT_PTR kTimer1Id = 1;

class SplashWindow final : public BaseWindow<SplashWindow>, private ISplashView {
  public:
    explicit SplashWindow(HINSTANCE instance) : instance_(instance), form_(*this), kit_(instance, Splash::Layout()) {}

    bool Create() {
        return CreateCentredWindow(instance_, 0, L"", WS_POPUP | WS_DLGFRAME, kit_.ClientSize(), nullptr) != nullptr;
    }

    WindowClass ClassInfo() const { return WindowClass{kSplashClass, LoadCursorW(nullptr, IDC_WAIT)}; }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_CREATE:
                if (!SetTimer(hwnd_, kTimer1Id, Splash::kTimer1IntervalMs, nullptr))
                    return -1;  // without its timer the splash would never close
                kit_.Attach(hwnd_);
                return 0;
            case kWmDpiChanged:
                kit_.ChangeDpi(wParam, lParam);
                return 0;
            case WM_TIMER:
                if (wParam == kTimer1Id)
                    form_.Timer1_Timer();
                return 0;
            case WM_CLOSE:
                return 0;  // Alt+F4 and the like: the timer alone closes the logo
            case WM_ERASEBKGND:
                return 1;  // WM_PAINT fills the background
            case WM_PAINT: {
                const PaintDc dc(hwnd_);
                if (dc)
                    kit_.Paint(dc.get(), [](const LabelSpec& label) { return label.ink; });
                return 0;
            }
            case WM_DESTROY:
                (void)KillTimer(hwnd_, kTimer1Id);  // fails only when the timer is already gone
                return 0;
            default:
                return DefWindowProcW(hwnd_, msg, wParam, lParam);
        }
    }

  private:
    void Unload() override { (void)DestroyWindow(hwnd_); }  // the window is ours and alive; nothing to recover

    HINSTANCE instance_;
    Splash form_;
    FormPaintKit kit_;
};

}  // namespace

void ShowSplashModal(HINSTANCE instance) {
    SplashWindow splash(instance);
    if (!splash.Create())
        return;                                  // start-up goes on without its logo
    (void)ShowWindow(splash.Window(), SW_SHOW);  // returns the previous state
    (void)UpdateWindow(splash.Window());         // the first paint comes with the loop otherwise
    RunModal(splash.Window());
}

}  // namespace vitrell
