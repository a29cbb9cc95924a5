#pragma once
#include "platform/system_info.h"

namespace vitrell {

class Win32SystemInfo final : public ISystemInfo {
  public:
    OsVersion QueryVersion() override;
};

// The version the system really is (RtlGetVersion), which neither a manifest nor a compatibility setting changes;
// what GetVersionEx reports where that call is missing.
OsVersion RealVersion();

}  // namespace vitrell
