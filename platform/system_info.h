#pragma once
// Which Windows this is, as the system reports its version.
#include <cstdint>

namespace vitrell {

struct OsVersion {
    std::uint32_t platformId = 0;  // 1: the Windows 95 family, 2: the NT family; 0 after a failed query
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

class ISystemInfo {
  public:
    virtual ~ISystemInfo() = default;
    virtual OsVersion QueryVersion() = 0;
};

}  // namespace vitrell
