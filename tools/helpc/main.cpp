// helpc: builds VITRELL's help from docs/help/.
//   helpc SOURCE_DIR HLP_DIR HTML_DIR
// writes HLP_DIR/VITRELL.HLP and VITRELL.CNT, and the HTML Help project (pages, .hhc, .hhk, .hhp) into HTML_DIR.
// On bad input it prints every problem as file:line and writes nothing.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "htmlhelp.h"
#include "markup.h"
#include "winhelp.h"

namespace fs = std::filesystem;
using namespace helpc;

namespace {

constexpr const char* kBase = "VITRELL";

bool ReadFile(const fs::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

struct Output {
    fs::path path;
    std::string data;
};

// Every file goes to a temporary name first; only when all are written do they take their real names.
bool WriteAll(const std::vector<Output>& outputs) {
    std::vector<fs::path> written;
    bool ok = true;
    for (const Output& output : outputs) {
        fs::path temporary = output.path;
        temporary += ".tmp";
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(output.data.data(), static_cast<std::streamsize>(output.data.size()));
        out.close();
        written.push_back(temporary);
        if (!out) {
            std::fprintf(stderr, "helpc: cannot write %s\n", temporary.string().c_str());
            ok = false;
            break;
        }
    }
    std::error_code error;
    for (size_t i = 0; ok && i < written.size(); ++i) {
        fs::rename(written[i], outputs[i].path, error);
        if (error) {
            std::fprintf(stderr, "helpc: cannot rename %s: %s\n", written[i].string().c_str(), error.message().c_str());
            ok = false;
        }
    }
    if (!ok) {
        for (const fs::path& path : written) {
            fs::remove(path, error);
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: helpc SOURCE_DIR HLP_DIR HTML_DIR\n");
        return 2;
    }
    const fs::path source = argv[1];
    std::vector<Diagnostic> diagnostics;

    Contents contents;
    std::string text;
    const fs::path contentsPath = source / "contents.txt";
    if (!ReadFile(contentsPath, text)) {
        std::fprintf(stderr, "%s:1: cannot read the contents file\n", contentsPath.string().c_str());
        return 1;
    }
    ParseContents(contentsPath.string(), text, contents, diagnostics);

    std::vector<fs::path> pages;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(source, error)) {
        const fs::path& path = entry.path();
        if (path.extension() == ".txt" && path.filename() != "contents.txt") {
            pages.push_back(path);
        }
    }
    std::sort(pages.begin(), pages.end());
    std::vector<Topic> topics;
    for (const fs::path& path : pages) {
        Topic topic;
        if (!ReadFile(path, text)) {
            diagnostics.push_back({path.string(), 1, "cannot read the page"});
            continue;
        }
        if (ParseTopic(path.string(), path.stem().string(), text, topic, diagnostics)) {
            topics.push_back(std::move(topic));
        }
    }

    Project project;
    WinHelpFiles winhelp;
    const std::string hlpName = std::string(kBase) + ".HLP";
    if (diagnostics.empty() && AssembleProject(contents, std::move(topics), project, diagnostics) &&
        EncodeProject(project, diagnostics)) {
        WriteWinHelp(project, hlpName, winhelp, diagnostics);
    }
    if (!diagnostics.empty()) {
        for (const Diagnostic& d : diagnostics) {
            std::fprintf(stderr, "%s\n", FormatDiagnostic(d).c_str());
        }
        std::fprintf(stderr, "helpc: %zu problem(s); no file written\n", diagnostics.size());
        return 1;
    }

    const fs::path hlpDir = argv[2];
    const fs::path htmlDir = argv[3];
    fs::create_directories(hlpDir, error);
    fs::create_directories(htmlDir, error);
    std::vector<Output> outputs = {{hlpDir / hlpName, winhelp.hlp},
                                   {hlpDir / (std::string(kBase) + ".CNT"), winhelp.cnt}};
    for (ProjectFile& file : WriteHtmlHelp(project, kBase)) {
        outputs.push_back({htmlDir / file.name, std::move(file.data)});
    }
    if (!WriteAll(outputs)) {
        return 1;
    }
    std::printf("helpc: %zu topics: %s (%zu bytes), %s.CNT, %zu HTML Help files\n", project.topics.size(),
                hlpName.c_str(), winhelp.hlp.size(), kBase, outputs.size() - 2);
    return 0;
}
