#pragma once
// INITDISP: the start-up logo. It closes itself when Timer1 fires, and by no other way.
#include "about/form_layout.h"

namespace vitrell {

class ISplashView {
  public:
    virtual ~ISplashView() = default;
    virtual void Unload() = 0;
};

class Splash {
  public:
    static constexpr unsigned kTimer1IntervalMs = 5000;

    explicit Splash(ISplashView& view) : view_(view) {}

    static const FormLayout& Layout();

    void Timer1_Timer();

  private:
    ISplashView& view_;
    bool unloaded_ = false;
};

}  // namespace vitrell
