// The harness (tests/e2e/harness.h): the registry under HKEY_CURRENT_USER.
#include "tests/e2e/harness.h"

#include <sddl.h>

#include "platform/win32/handles.h"
#include "tests/e2e/harness_internal.h"

namespace vitrell::e2e {

namespace {

UniqueRegKey OpenKey(std::wstring_view path, REGSAM access) {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, std::wstring(path).c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        return UniqueRegKey();
    return key;
}

}  // namespace

// ---- Registry ------------------------------------------------------------------------------------------------

bool DeleteKeyTree(std::wstring_view path) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, std::wstring(path).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return false;
    // RegDeleteTree leaves the key itself on some systems.
    const LSTATUS last = RegDeleteKeyW(HKEY_CURRENT_USER, std::wstring(path).c_str());
    return last == ERROR_SUCCESS || last == ERROR_FILE_NOT_FOUND;
}

bool PutValueAt(std::wstring_view path, std::wstring_view name, DWORD type, const void* data, DWORD bytes) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, std::wstring(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.get(), std::wstring(name).c_str(), 0, type, static_cast<const BYTE*>(data), bytes) ==
           ERROR_SUCCESS;
}

bool PutStringAt(std::wstring_view path, std::wstring_view name, std::wstring_view text, DWORD type) {
    const std::wstring copy(text);
    return PutValueAt(path, name, type, copy.c_str(), static_cast<DWORD>((copy.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> GetStringAt(std::wstring_view path, std::wstring_view name) {
    const UniqueRegKey key = OpenKey(path, KEY_QUERY_VALUE);
    if (!key)
        return std::nullopt;
    const std::wstring valueName(name);
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    // One character more than stored: a value written without its terminator still ends.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::wstring(buffer.data());
}

std::optional<DWORD> GetTypeAt(std::wstring_view path, std::wstring_view name) {
    const UniqueRegKey key = OpenKey(path, KEY_QUERY_VALUE);
    DWORD type = 0;
    if (!key ||
        RegQueryValueExW(key.get(), std::wstring(name).c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

bool DeleteValueAt(std::wstring_view path, std::wstring_view name) {
    const UniqueRegKey key = OpenKey(path, KEY_SET_VALUE);
    if (!key)
        return true;  // no key, no value
    const LSTATUS status = RegDeleteValueW(key.get(), std::wstring(name).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::vector<std::wstring> ValueNamesAt(std::wstring_view path) {
    std::vector<std::wstring> names;
    const UniqueRegKey key = OpenKey(path, KEY_QUERY_VALUE);
    if (!key)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = static_cast<DWORD>(std::size(name));
        if (RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

bool SetKeyReadOnly(std::wstring_view path, bool readOnly) {
    // Everyone: read only, or everything; protected, so nothing inherited widens it.
    const wchar_t* sddl = readOnly ? L"D:P(A;OICI;KR;;;WD)" : L"D:P(A;OICI;KA;;;WD)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const UniqueRegKey key = OpenKey(path, WRITE_DAC);
    const bool ok = key && RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    (void)LocalFree(descriptor);  // a leak of a few bytes at worst
    return ok;
}

std::wstring SectionPath(std::wstring_view section) {
    std::wstring path(kSettingsKey);
    path += L'\\';
    path += section;
    return path;
}

void DeleteSettings() {
    // The owner may always change the access list, so a read-only part can be opened up again first.
    for (const std::wstring& path : {std::wstring(kSettingsKey), SectionPath(L"Config"), SectionPath(L"Position")})
        (void)SetKeyReadOnly(path, false);  // missing keys fail here, and need nothing
    // The settings key is left empty by a test that never started the program; both are fine.
    ASSERT_TRUE(DeleteKeyTree(kSettingsKey)) << "could not delete the settings key";
}

bool PutString(std::wstring_view section, std::wstring_view name, std::wstring_view text) {
    return PutStringAt(SectionPath(section), name, text);
}

bool PutDword(std::wstring_view section, std::wstring_view name, DWORD value) {
    return PutValueAt(SectionPath(section), name, REG_DWORD, &value, sizeof(value));
}

bool PutBinary(std::wstring_view section, std::wstring_view name, const std::vector<BYTE>& bytes) {
    return PutValueAt(SectionPath(section), name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

std::optional<std::wstring> GetString(std::wstring_view section, std::wstring_view name) {
    return GetStringAt(SectionPath(section), name);
}

std::vector<std::wstring> ValueNames(std::wstring_view section) {
    return ValueNamesAt(SectionPath(section));
}

}  // namespace vitrell::e2e
