// The help pages' markup (docs/help/README.md): contents.txt and one <id>.txt per topic, read into a project that
// both writers share. Portable; reading the files is left to the caller.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace helpc {

// One complaint about the input, printed as "file:line: message".
struct Diagnostic {
    std::string file;
    int line = 0;
    std::string message;
};
std::string FormatDiagnostic(const Diagnostic& d);

// A stretch of text with one look. `link` names the target topic; its text is filled from the target's title
// when the page wrote [[id]] alone.
struct Run {
    std::string text;
    bool bold = false;
    std::string link;
};

enum class BlockKind { Paragraph, Heading, Item };

struct Block {
    BlockKind kind = BlockKind::Paragraph;
    std::vector<Run> runs;
    int line = 0;
};

struct Topic {
    std::string id;
    std::string file;
    std::string title;
    std::vector<std::string> keywords;
    int context = 0;  // 0: none
    int titleLine = 1;
    int keywordsLine = 1;
    int contextLine = 0;
    std::vector<Block> body;
};

struct Contents {
    std::string file;
    std::string title;
    std::vector<std::string> ids;
    std::vector<int> lines;
};

// All topics in contents order; the first is the contents topic.
struct Project {
    std::string title;
    std::string contentsFile;
    std::vector<Topic> topics;
};

// Each returns false and appends to `diagnostics` when the text breaks the markup's rules.
bool ParseContents(std::string_view file, std::string_view text, Contents& out, std::vector<Diagnostic>& diagnostics);
bool ParseTopic(std::string_view file,
                std::string_view id,
                std::string_view text,
                Topic& out,
                std::vector<Diagnostic>& diagnostics);
// Orders the topics as the contents list them, checks the links and context numbers, and names untitled links.
bool AssembleProject(const Contents& contents,
                     std::vector<Topic> topics,
                     Project& out,
                     std::vector<Diagnostic>& diagnostics);

// Text turned into code page 932 in place; every string that cannot be held is reported with its file and line.
bool EncodeProject(Project& project, std::vector<Diagnostic>& diagnostics);

}  // namespace helpc
