#include "platform/win32/registry_win32.h"

#include <vector>

#include "platform/win32/handles.h"

namespace vitrell {

std::optional<std::wstring> Win32Registry::ReadString(std::wstring_view keyPath,
                                                      std::wstring_view name,
                                                      size_t maxChars) {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, std::wstring(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName(name);

    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    if (bytes / sizeof(wchar_t) > maxChars + 1)
        return std::nullopt;

    // One character more than asked for: a stored REG_SZ need not carry its terminating NUL.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::wstring text(buffer.data(), size / sizeof(wchar_t));
    if (const auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    if (text.size() > maxChars)
        return std::nullopt;
    return text;
}

bool Win32Registry::WriteString(std::wstring_view keyPath, std::wstring_view name, std::wstring_view text) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, std::wstring(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring data(text);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), std::wstring(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          bytes) == ERROR_SUCCESS;
}

}  // namespace vitrell
