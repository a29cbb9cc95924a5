#pragma once
#include "platform/registry.h"

namespace vitrell {

class Win32Registry final : public IRegistry {
  public:
    std::optional<std::wstring> ReadString(std::wstring_view keyPath, std::wstring_view name, size_t maxChars) override;
    bool WriteString(std::wstring_view keyPath, std::wstring_view name, std::wstring_view text) override;
};

}  // namespace vitrell
