#pragma once
// The per-user registry (HKEY_CURRENT_USER) as the settings store and the probes see it.
#include <optional>
#include <string>
#include <string_view>

namespace vitrell {

class IRegistry {
  public:
    virtual ~IRegistry() = default;
    // The text of a REG_SZ value below HKEY_CURRENT_USER; nullopt when the key or the value is
    // missing or the value is of another type. Texts longer than maxChars also give nullopt.
    virtual std::optional<std::wstring> ReadString(std::wstring_view keyPath,
                                                   std::wstring_view name,
                                                   size_t maxChars = 32767) = 0;
    // Stores a REG_SZ value, creating missing keys. False when the registry refused.
    virtual bool WriteString(std::wstring_view keyPath, std::wstring_view name, std::wstring_view text) = 0;
};

}  // namespace vitrell
