#pragma once
// The version box's controls and system as plain records.
#include <map>
#include <string>
#include <vector>

#include "about/version_box.h"

namespace vitrell::testing {

class FakeVersionBoxView final : public IVersionBoxView {
  public:
    void SetLabelColour(int labelIndex, Rgb colour) override { colours[labelIndex] = colour; }
    void ShowWarning(std::wstring_view text, std::wstring_view title) override {
        warnings.push_back(std::wstring(title) + L"|" + std::wstring(text));
    }
    void Unload() override { ++unloads; }

    std::map<int, Rgb> colours;  // what the form last asked each label to show
    std::vector<std::wstring> warnings;
    int unloads = 0;
};

class FakeVersionBoxSystem final : public IVersionBoxSystem {
  public:
    std::optional<std::wstring> Environment(std::wstring_view name) override {
        const auto it = environment.find(std::wstring(name));
        if (it == environment.end())
            return std::nullopt;
        return it->second;
    }
    std::optional<FileAttributes> Attributes(const std::wstring& path) override {
        asked.push_back(path);
        const auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
    bool ShellOpen(const std::wstring& target) override {
        shellOpened.push_back(target);
        return handlerWorks;
    }
    void StartProcess(const std::wstring& application, const std::wstring& commandLine) override {
        started.push_back(application + L"|" + commandLine);
    }

    std::map<std::wstring, std::wstring> environment;
    std::map<std::wstring, FileAttributes> files;
    std::vector<std::wstring> asked;
    std::vector<std::wstring> shellOpened;
    bool handlerWorks = false;  // the system has a program for the address
    std::vector<std::wstring> started;
};

class FakeSystemInfo final : public ISystemInfo {
  public:
    OsVersion QueryVersion() override { return version; }
    OsVersion version{2, 5, 1};  // Windows XP
};

}  // namespace vitrell::testing
