#include "markup.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "codepage.h"

namespace helpc {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// Splits into lines without their ends; a UTF-8 byte-order mark at the start is dropped.
std::vector<std::string_view> Lines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool IsValidId(std::string_view id) {
    return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

bool IsAsciiWordChar(char c) {
    return static_cast<unsigned char>(c) < 0x80 && c != ' ';
}

// Lines of one paragraph or item are joined with a space between Latin words and without one in Japanese text.
void AppendLine(std::string& joined, std::string_view line) {
    if (!joined.empty() && !line.empty() && IsAsciiWordChar(joined.back()) && IsAsciiWordChar(line.front())) {
        joined += ' ';
    }
    joined += line;
}

class TopicParser {
  public:
    TopicParser(std::string_view file, std::vector<Diagnostic>& diagnostics) : file_(file), diagnostics_(diagnostics) {}

    void Fail(int line, std::string message) { diagnostics_.push_back({file_, line, std::move(message)}); }

    // Inline markup of a joined block: **bold** and [[id]] / [[id|text]].
    bool ParseRuns(std::string_view text, int line, std::vector<Run>& runs) {
        bool bold = false;
        std::string plain;
        auto flush = [&] {
            if (!plain.empty()) {
                runs.push_back({plain, bold, {}});
                plain.clear();
            }
        };
        for (size_t i = 0; i < text.size();) {
            if (text.substr(i, 2) == "**") {
                flush();
                bold = !bold;
                i += 2;
            } else if (text.substr(i, 2) == "[[") {
                const size_t close = text.find("]]", i + 2);
                if (close == std::string_view::npos) {
                    Fail(line, "a link [[ is not closed with ]]");
                    return false;
                }
                flush();
                std::string_view inner = text.substr(i + 2, close - i - 2);
                const size_t bar = inner.find('|');
                Run run{{}, bold, std::string(Trim(inner.substr(0, bar)))};
                if (bar != std::string_view::npos) {
                    run.text = std::string(Trim(inner.substr(bar + 1)));
                }
                if (!IsValidId(run.link)) {
                    Fail(line, "a link names no topic id: [[" + std::string(inner) + "]]");
                    return false;
                }
                runs.push_back(std::move(run));
                i = close + 2;
            } else {
                plain += text[i];
                ++i;
            }
        }
        flush();
        if (bold) {
            Fail(line, "bold text ** is not closed");
            return false;
        }
        return true;
    }

  private:
    std::string file_;
    std::vector<Diagnostic>& diagnostics_;
};

}  // namespace

std::string FormatDiagnostic(const Diagnostic& d) {
    return d.file + ":" + std::to_string(d.line) + ": " + d.message;
}

bool ParseContents(std::string_view file, std::string_view text, Contents& out, std::vector<Diagnostic>& diagnostics) {
    const size_t before = diagnostics.size();
    out = Contents{std::string(file), {}, {}, {}};
    const std::vector<std::string_view> lines = Lines(text);
    int number = 0;
    for (std::string_view raw : lines) {
        ++number;
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (out.title.empty() && line.substr(0, 6) == "title:") {
            out.title = std::string(Trim(line.substr(6)));
            continue;
        }
        if (out.title.empty()) {
            diagnostics.push_back({out.file, number, "the first line must be title: <the help file's title>"});
            return false;
        }
        if (!IsValidId(line)) {
            diagnostics.push_back({out.file, number, "not a topic id: " + std::string(line)});
            continue;
        }
        if (std::find(out.ids.begin(), out.ids.end(), line) != out.ids.end()) {
            diagnostics.push_back({out.file, number, "topic listed twice: " + std::string(line)});
            continue;
        }
        out.ids.emplace_back(line);
        out.lines.push_back(number);
    }
    if (out.title.empty()) {
        diagnostics.push_back({out.file, 1, "missing header line title:"});
    } else if (out.ids.empty()) {
        diagnostics.push_back({out.file, number, "the contents list no topic"});
    }
    return diagnostics.size() == before;
}

bool ParseTopic(std::string_view file,
                std::string_view id,
                std::string_view text,
                Topic& out,
                std::vector<Diagnostic>& diagnostics) {
    const size_t before = diagnostics.size();
    out = Topic{};
    out.id = std::string(id);
    out.file = std::string(file);
    TopicParser parser(file, diagnostics);
    if (!IsValidId(id)) {
        parser.Fail(1, "a topic's file name must be lower-case letters, digits and _");
    }
    const std::vector<std::string_view> lines = Lines(text);
    size_t index = 0;
    bool haveKeywords = false;
    for (; index < lines.size(); ++index) {
        const int number = static_cast<int>(index) + 1;
        const std::string_view line = Trim(lines[index]);
        if (line.empty()) {
            ++index;
            break;
        }
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            parser.Fail(number, "a header line is key: value, ended by a blank line");
            continue;
        }
        const std::string_view key = Trim(line.substr(0, colon));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (key == "title") {
            out.title = std::string(value);
            out.titleLine = number;
        } else if (key == "keywords") {
            haveKeywords = true;
            out.keywordsLine = number;
            std::string_view rest = value;
            while (!rest.empty()) {
                const size_t semicolon = rest.find(';');
                const std::string_view keyword = Trim(rest.substr(0, semicolon));
                if (!keyword.empty() &&
                    std::find(out.keywords.begin(), out.keywords.end(), keyword) == out.keywords.end()) {
                    out.keywords.emplace_back(keyword);
                }
                rest = semicolon == std::string_view::npos ? std::string_view{} : rest.substr(semicolon + 1);
            }
        } else if (key == "context") {
            int context = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), context);
            if (error != std::errc{} || end != value.data() + value.size() || context <= 0) {
                parser.Fail(number, "context: needs a positive number, got " + std::string(value));
            }
            out.context = context;
            out.contextLine = number;
        } else {
            parser.Fail(number, "unknown header line " + std::string(key) + ":");
        }
    }
    if (out.title.empty()) {
        parser.Fail(1, "missing header line title:");
    }
    if (!haveKeywords || out.keywords.empty()) {
        parser.Fail(1, "missing header line keywords:");
    }

    // The body: blocks of joined lines.
    Block block;
    std::string joined;
    auto finish = [&] {
        if (!joined.empty() && parser.ParseRuns(joined, block.line, block.runs)) {
            out.body.push_back(std::move(block));
        }
        block = Block{};
        joined.clear();
    };
    for (; index < lines.size(); ++index) {
        const int number = static_cast<int>(index) + 1;
        const std::string_view line = Trim(lines[index]);
        if (line.empty()) {
            finish();
        } else if (line.substr(0, 2) == "# ") {
            finish();
            block.kind = BlockKind::Heading;
            block.line = number;
            joined = std::string(Trim(line.substr(2)));
            finish();
        } else if (line.substr(0, 2) == "- ") {
            finish();
            block.kind = BlockKind::Item;
            block.line = number;
            joined = std::string(Trim(line.substr(2)));
        } else {
            if (joined.empty()) {
                block.line = number;
            }
            AppendLine(joined, line);
        }
    }
    finish();
    return diagnostics.size() == before;
}

bool AssembleProject(const Contents& contents,
                     std::vector<Topic> topics,
                     Project& out,
                     std::vector<Diagnostic>& diagnostics) {
    const size_t before = diagnostics.size();
    out = Project{contents.title, contents.file, {}};
    std::map<std::string, size_t> byId;
    for (size_t i = 0; i < topics.size(); ++i) {
        byId[topics[i].id] = i;
    }
    for (size_t i = 0; i < contents.ids.size(); ++i) {
        if (byId.find(contents.ids[i]) == byId.end()) {
            diagnostics.push_back(
                {contents.file, contents.lines[i], "no topic file " + contents.ids[i] + ".txt for this entry"});
        }
    }
    for (const Topic& topic : topics) {
        if (std::find(contents.ids.begin(), contents.ids.end(), topic.id) == contents.ids.end()) {
            diagnostics.push_back({topic.file, 1, "topic " + topic.id + " is missing from " + contents.file});
        }
    }
    std::map<int, const Topic*> contexts;
    for (const Topic& topic : topics) {
        if (topic.context == 0) {
            continue;
        }
        const auto [it, added] = contexts.emplace(topic.context, &topic);
        if (!added) {
            diagnostics.push_back(
                {topic.file, topic.contextLine,
                 "context " + std::to_string(topic.context) + " is already used by " + it->second->file});
        }
    }
    for (Topic& topic : topics) {
        for (Block& block : topic.body) {
            for (Run& run : block.runs) {
                if (run.link.empty()) {
                    continue;
                }
                const auto target = byId.find(run.link);
                if (target == byId.end()) {
                    diagnostics.push_back({topic.file, block.line, "unknown link target [[" + run.link + "]]"});
                } else if (run.text.empty()) {
                    run.text = topics[target->second].title;
                }
            }
        }
    }
    if (diagnostics.size() != before) {
        return false;
    }
    for (const std::string& id : contents.ids) {
        out.topics.push_back(std::move(topics[byId[id]]));
    }
    return true;
}

bool EncodeProject(Project& project, std::vector<Diagnostic>& diagnostics) {
    const size_t before = diagnostics.size();
    auto encode = [&](std::string& text, const std::string& file, int line) {
        std::string converted;
        if (!ToCodePage932(text, converted)) {
            diagnostics.push_back({file, line, "text that code page 932 cannot hold: " + text});
            return;
        }
        text = std::move(converted);
    };
    encode(project.title, project.contentsFile, 1);
    for (Topic& topic : project.topics) {
        encode(topic.title, topic.file, topic.titleLine);
        for (std::string& keyword : topic.keywords) {
            encode(keyword, topic.file, topic.keywordsLine);
        }
        for (Block& block : topic.body) {
            for (Run& run : block.runs) {
                encode(run.text, topic.file, block.line);
            }
        }
    }
    return diagnostics.size() == before;
}

}  // namespace helpc
