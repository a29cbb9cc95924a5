#include "htmlhelp.h"

#include <algorithm>
#include <map>

namespace helpc {
namespace {

// Shift_JIS trail bytes start at 0x40, so no byte of a Japanese character is mistaken for one of these.
std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

constexpr std::string_view kCharset = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">\r\n";

std::string Page(const Topic& topic) {
    std::string out = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\r\n<html>\r\n<head>\r\n";
    out += kCharset;
    out += "<title>" + Escape(topic.title) + "</title>\r\n";
    out += "<style type=\"text/css\">body { font-family: \"MS UI Gothic\", sans-serif; font-size: 10pt; }</style>\r\n";
    out += "</head>\r\n<body>\r\n<h1>" + Escape(topic.title) + "</h1>\r\n";
    bool inList = false;
    for (const Block& block : topic.body) {
        const bool item = block.kind == BlockKind::Item;
        if (item != inList) {
            out += item ? "<ul>\r\n" : "</ul>\r\n";
            inList = item;
        }
        std::string text;
        for (const Run& run : block.runs) {
            std::string piece = Escape(run.text);
            if (!run.link.empty()) {
                piece = "<a href=\"" + run.link + ".htm\">" + piece + "</a>";
            }
            text += run.bold ? "<b>" + piece + "</b>" : piece;
        }
        switch (block.kind) {
            case BlockKind::Heading:
                out += "<h2>" + text + "</h2>\r\n";
                break;
            case BlockKind::Item:
                out += "<li>" + text + "</li>\r\n";
                break;
            case BlockKind::Paragraph:
                out += "<p>" + text + "</p>\r\n";
                break;
        }
    }
    if (inList) {
        out += "</ul>\r\n";
    }
    out += "</body>\r\n</html>\r\n";
    return out;
}

std::string SitemapHead() {
    std::string out = "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\r\n<html>\r\n<head>\r\n";
    out += kCharset;
    out += "</head>\r\n<body>\r\n<ul>\r\n";
    return out;
}

std::string Entry(std::string_view name, const std::vector<std::string>& pages) {
    std::string out = "<li><object type=\"text/sitemap\">\r\n";
    for (const std::string& page : pages) {
        out += "\t<param name=\"Name\" value=\"" + Escape(name) + "\">\r\n";
        out += "\t<param name=\"Local\" value=\"" + page + "\">\r\n";
    }
    out += "\t</object>\r\n";
    return out;
}

}  // namespace

std::vector<ProjectFile> WriteHtmlHelp(const Project& project, std::string_view base) {
    const std::string name(base);
    std::vector<ProjectFile> files;
    for (const Topic& topic : project.topics) {
        files.push_back({topic.id + ".htm", Page(topic)});
    }

    std::string contents = SitemapHead();
    for (const Topic& topic : project.topics) {
        contents += Entry(topic.title, {topic.id + ".htm"});
    }
    contents += "</ul>\r\n</body>\r\n</html>\r\n";
    files.push_back({name + ".hhc", contents});

    std::map<std::string, std::vector<std::string>> keywords;
    for (const Topic& topic : project.topics) {
        for (const std::string& keyword : topic.keywords) {
            keywords[keyword].push_back(topic.id + ".htm");
        }
    }
    std::string index = SitemapHead();
    for (const auto& [keyword, pages] : keywords) {
        index += Entry(keyword, pages);
    }
    index += "</ul>\r\n</body>\r\n</html>\r\n";
    files.push_back({name + ".hhk", index});

    std::string hhp = "[OPTIONS]\r\nCompatibility=1.1 or later\r\n";
    hhp += "Compiled file=" + name + ".chm\r\n";
    hhp += "Contents file=" + name + ".hhc\r\n";
    hhp += "Index file=" + name + ".hhk\r\n";
    const std::string home = project.topics.front().id + ".htm";
    hhp += "Default topic=" + home + "\r\n";
    hhp += "Default Window=main\r\n";
    hhp += "Display compile progress=No\r\n";
    hhp += "Full-text search=Yes\r\n";
    hhp += "Language=0x411 Japanese\r\n";
    hhp += "Title=" + project.title + "\r\n\r\n";
    // Wine's viewer takes the index file only from a window type, never from [OPTIONS], and without one shows no
    // index tab. Tri-pane with a search tab, contents kept in step with the page (0x520); Hide, Back, Forward, Home,
    // Options and Print (0x304E). chmcmd marks the pane width and the window rectangle as given even when they are left
    // empty, so both are.
    hhp += "[WINDOWS]\r\nmain=\"" + project.title + "\",\"" + name + ".hhc\",\"" + name + ".hhk\",\"" + home + "\",\"" +
           home + "\",,,,,0x520,220,0x304E,[80,60,860,660],,,,,,,0\r\n\r\n[FILES]\r\n";
    for (const Topic& topic : project.topics) {
        hhp += topic.id + ".htm\r\n";
    }
    std::string alias = "\r\n[ALIAS]\r\n";
    std::string map = "\r\n[MAP]\r\n";
    for (const Topic& topic : project.topics) {
        if (topic.context != 0) {
            alias += topic.id + "=" + topic.id + ".htm\r\n";
            map += "#define " + topic.id + " " + std::to_string(topic.context) + "\r\n";
        }
    }
    hhp += alias + map;
    files.push_back({name + ".hhp", hhp});
    return files;
}

}  // namespace helpc
