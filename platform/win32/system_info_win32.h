#pragma once
#include "platform/system_info.h"

namespace vitrell {

class Win32SystemInfo final : public ISystemInfo {
  public:
    OsVersion QueryVersion() override;
};

}  // namespace vitrell
