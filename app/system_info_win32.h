#pragma once
#include "app/probes.h"

namespace vitrell {

class Win32SystemInfo final : public ISystemInfo {
public:
    OsVersion QueryVersion() override;
};

}  // namespace vitrell
