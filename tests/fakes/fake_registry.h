#pragma once
// An in-memory HKEY_CURRENT_USER that records every write in order.
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace vitrell::testing {

class FakeRegistry final : public IRegistry {
  public:
    struct Value {
        bool isString = true;  // false: a value of another type (DWORD, binary, expandable)
        std::wstring text;
    };
    struct Write {
        std::wstring key, name, text;
        bool operator==(const Write&) const = default;
    };

    std::optional<std::wstring> ReadString(std::wstring_view key, std::wstring_view name, size_t maxChars) override {
        ++reads;
        const auto it = values.find({std::wstring(key), std::wstring(name)});
        if (it == values.end() || !it->second.isString || it->second.text.size() > maxChars)
            return std::nullopt;
        return it->second.text;
    }

    bool WriteString(std::wstring_view key, std::wstring_view name, std::wstring_view text) override {
        writes.push_back({std::wstring(key), std::wstring(name), std::wstring(text)});
        if (refuseWrites)
            return false;
        values[{std::wstring(key), std::wstring(name)}] = {true, std::wstring(text)};
        return true;
    }

    void Put(std::wstring_view key, std::wstring_view name, std::wstring_view text) {
        values[{std::wstring(key), std::wstring(name)}] = {true, std::wstring(text)};
    }
    void PutNonString(std::wstring_view key, std::wstring_view name) {
        values[{std::wstring(key), std::wstring(name)}] = {false, L""};
    }
    // What the registry holds as text, however long.
    std::optional<std::wstring> Get(std::wstring_view key, std::wstring_view name) {
        return ReadString(key, name, std::numeric_limits<size_t>::max());
    }

    std::map<std::pair<std::wstring, std::wstring>, Value> values;
    std::vector<Write> writes;
    int reads = 0;
    bool refuseWrites = false;
};

}  // namespace vitrell::testing
