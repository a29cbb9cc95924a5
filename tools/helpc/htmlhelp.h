// The HTML Help project of the same pages, for chmcmd: <id>.htm, the .hhc contents, the .hhk index and the .hhp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "markup.h"

namespace helpc {

struct ProjectFile {
    std::string name;
    std::string data;
};

// `project` must be encoded in code page 932 already; every file is Shift_JIS as a Japanese HTML Help Workshop
// writes it. `base` names the .hhp, .hhc, .hhk and the .chm.
std::vector<ProjectFile> WriteHtmlHelp(const Project& project, std::string_view base);

}  // namespace helpc
