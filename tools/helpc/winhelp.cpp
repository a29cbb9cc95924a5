#include "winhelp.h"

#include <algorithm>
#include <ctime>
#include <map>

namespace helpc {
namespace {

void Put8(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
}
void Put16(std::string& out, uint32_t value) {
    Put8(out, value);
    Put8(out, value >> 8);
}
void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}
void Set16(std::string& out, size_t at, uint32_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
void Set32(std::string& out, size_t at, uint32_t value) {
    Set16(out, at, value & 0xFFFF);
    Set16(out, at + 2, value >> 16);
}
std::string Z(std::string_view text) {
    std::string out(text);
    out += '\0';
    return out;
}

// The packed numbers of paragraph records: the low bit of the first byte says whether a second byte (or word)
// follows.
void PutCompressedUnsigned16(std::string& out, uint32_t value) {
    if (value <= 0x7F) {
        Put8(out, value * 2);
    } else {
        Put8(out, 1 + (value % 128) * 2);
        Put8(out, value / 128);
    }
}
void PutCompressedSigned16(std::string& out, int value) {
    PutCompressedUnsigned16(out, static_cast<uint32_t>(value >= -0x40 && value <= 0x3F ? value + 64 : value + 16384));
}
void PutCompressedUnsigned32(std::string& out, uint32_t value) {
    if (value <= 0x7FFF) {
        Put16(out, value * 2);
    } else {
        Put16(out, 1 + (value % 32768) * 2);
        Put16(out, value / 32768);
    }
}
void PutCompressedSigned32(std::string& out, int value) {
    PutCompressedUnsigned32(
        out, static_cast<uint32_t>(value >= -0x4000 && value <= 0x3FFF ? value + 16384 : value + 67108864));
}

constexpr uint32_t kNone = 0xFFFFFFFF;

// The |FONT descriptors the pages use, and the two faces.
enum Font : uint16_t { kFontTitle, kFontBody, kFontHeading, kFontBold, kFontLatin, kFontCount };
// Japanese Windows 2000 and later have this face under this ASCII name, which needs no code page to be found.
constexpr std::string_view kJapaneseFace = "MS UI Gothic";
constexpr std::string_view kLatinFace = "Arial";
constexpr std::string_view kBullet = "\x81\x45";  // "・"

std::string FontFile() {
    constexpr uint32_t kFaceSize = 32;
    std::string out;
    Put16(out, 2);
    Put16(out, kFontCount);
    Put16(out, 8);
    Put16(out, 8 + 2 * kFaceSize);
    for (std::string_view face : {kJapaneseFace, kLatinFace}) {
        std::string name(face);
        name.resize(kFaceSize, '\0');
        out += name;
    }
    struct Descriptor {
        uint8_t attributes;  // 1 bold
        uint8_t halfPoints;
        uint8_t family;  // 3 swiss
        uint16_t face;
    };
    const Descriptor descriptors[kFontCount] = {
        {1, 26, 3, 0}, {0, 20, 3, 0}, {1, 22, 3, 0}, {1, 20, 3, 0}, {0, 20, 3, 1},
    };
    for (const Descriptor& d : descriptors) {
        Put8(out, d.attributes);
        Put8(out, d.halfPoints);
        Put8(out, d.family);
        Put16(out, d.face);
        out.append(6, '\0');  // black text; the background colour is not used
    }
    return out;
}

// One text record: paragraph settings, then text strings in LinkData2 each followed by a command in LinkData1.
class Paragraph {
  public:
    enum Bits : uint16_t { kSpaceAbove = 0x02, kLeftIndent = 0x10, kFirstLineIndent = 0x40 };

    Paragraph(int spaceAbove, int leftIndent, int firstLineIndent) {
        uint16_t bits = kSpaceAbove;
        if (leftIndent != 0) {
            bits |= kLeftIndent | kFirstLineIndent;
        }
        Put8(info_, 0x00);
        Put8(info_, 0x80);
        Put16(info_, 0);  // id
        Put16(info_, bits);
        PutCompressedSigned16(info_, spaceAbove);
        if (leftIndent != 0) {
            PutCompressedSigned16(info_, leftIndent);
            PutCompressedSigned16(info_, firstLineIndent);
        }
    }
    void SetFont(uint16_t font) {
        Command(0x80);
        Put16(commands_, font);
    }
    void Text(std::string_view text) { text_ += text; }
    void StartJump(std::string_view target) {
        Command(0xE3);
        Put32(commands_, ContextHash(target));
    }
    void EndJump() { Command(0x89); }
    TopicLink Finish() {
        Command(0x82);
        Command(0xFF);
        TopicLink link;
        link.type = 0x20;
        PutCompressedSigned32(link.data1, static_cast<int>(info_.size() + commands_.size()));
        PutCompressedUnsigned16(link.data1, static_cast<uint32_t>(text_.size()));
        link.data1 += info_;
        link.data1 += commands_;
        link.data2 = text_;
        return link;
    }

  private:
    void Command(uint8_t code) {
        text_ += '\0';
        Put8(commands_, code);
    }
    std::string info_;
    std::string commands_;
    std::string text_;
};

void AddRuns(Paragraph& paragraph, const std::vector<Run>& runs, uint16_t plainFont) {
    uint16_t font = plainFont;
    for (const Run& run : runs) {
        const uint16_t wanted = run.bold ? static_cast<uint16_t>(kFontBold) : plainFont;
        if (wanted != font) {
            paragraph.SetFont(wanted);
            font = wanted;
        }
        if (!run.link.empty()) {
            paragraph.StartJump(run.link);
            paragraph.Text(run.text);
            paragraph.EndJump();
        } else {
            paragraph.Text(run.text);
        }
    }
}

// Keywords sort as WinHelp's index lists them: bytes, with Latin letters folded to lower case.
bool KeywordLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto fold = [](char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
        return fold(x) < fold(y);
    });
}

}  // namespace

uint32_t ContextHash(std::string_view name) {
    // Letters of either case, digits, '.' and '_' weigh in; the table mirrors the one WinHelp uses.
    uint32_t hash = 0;
    for (char c : name) {
        uint32_t weight = 0;
        if (c >= 'A' && c <= 'Z') {
            weight = static_cast<uint32_t>(c - 'A' + 17);
        } else if (c >= 'a' && c <= 'z') {
            weight = static_cast<uint32_t>(c - 'a' + 17);
        } else if (c >= '1' && c <= '9') {
            weight = static_cast<uint32_t>(c - '0');
        } else if (c == '0') {
            weight = 10;
        } else if (c == '.') {
            weight = 12;
        } else if (c == '_') {
            weight = 13;
        }
        hash = hash * 43 + weight;
    }
    return name.empty() ? 1 : hash;
}

std::string BuildBTree(const BTreeShape& shape, const std::vector<BTreeEntry>& entries, std::string* keywordMap) {
    constexpr size_t kLeafHeader = 8;
    constexpr size_t kIndexHeader = 6;
    const size_t pageSize = shape.pageSize;
    std::vector<std::string> pages;
    // The first entry of every page of the level being built, for the level above.
    std::vector<std::pair<std::string, uint16_t>> level;
    if (keywordMap != nullptr) {
        keywordMap->clear();
        Put16(*keywordMap, 0);
    }

    // Leaves: as many entries as fit, chained both ways.
    size_t next = 0;
    uint32_t leafEntriesBefore = 0;
    do {
        std::string page(kLeafHeader, '\0');
        uint16_t count = 0;
        const size_t first = next;
        // At least one entry, so that an oversized one cannot stall the loop (callers keep entries small).
        while (next < entries.size() && (count == 0 || page.size() + entries[next].leaf.size() <= pageSize)) {
            page += entries[next].leaf;
            ++count;
            ++next;
        }
        const uint16_t number = static_cast<uint16_t>(pages.size());
        Set16(page, 0, static_cast<uint32_t>(pageSize - page.size()));
        Set16(page, 2, count);
        Set16(page, 4, level.empty() ? 0xFFFF : number - 1u);
        Set16(page, 6, next < entries.size() ? number + 1u : 0xFFFF);
        page.resize(pageSize, '\0');
        pages.push_back(std::move(page));
        level.emplace_back(first < entries.size() ? entries[first].key : std::string(), number);
        if (keywordMap != nullptr) {
            Put32(*keywordMap, leafEntriesBefore);
            Put16(*keywordMap, number);
        }
        leafEntriesBefore += count;
    } while (next < entries.size());
    if (keywordMap != nullptr) {
        Set16(*keywordMap, 0, static_cast<uint32_t>(level.size()));
    }

    // Index pages: the first child, then (key, page) for every further child; until one page remains.
    uint16_t levels = 1;
    while (level.size() > 1) {
        ++levels;
        std::vector<std::pair<std::string, uint16_t>> above;
        size_t child = 0;
        while (child < level.size()) {
            std::string page(kIndexHeader, '\0');
            const size_t first = child;
            Set16(page, 4, level[child].second);
            ++child;
            uint16_t count = 0;
            while (child < level.size() && page.size() + level[child].first.size() + 2 <= pageSize) {
                page += level[child].first;
                Put16(page, level[child].second);
                ++count;
                ++child;
            }
            Set16(page, 0, static_cast<uint32_t>(pageSize - page.size()));
            Set16(page, 2, count);
            page.resize(pageSize, '\0');
            above.emplace_back(level[first].first, static_cast<uint16_t>(pages.size()));
            pages.push_back(std::move(page));
        }
        level = std::move(above);
    }

    std::string out;
    Put16(out, 0x293B);
    Put16(out, shape.flags);
    Put16(out, shape.pageSize);
    std::string structure = shape.structure;
    structure.resize(16, '\0');
    out += structure;
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(pages.size() - levels));  // every page but the first of a level split one
    Put16(out, level.front().second);
    Put16(out, 0xFFFF);
    Put16(out, static_cast<uint32_t>(pages.size()));
    Put16(out, levels);
    Put32(out, static_cast<uint32_t>(entries.size()));
    for (const std::string& page : pages) {
        out += page;
    }
    return out;
}

std::vector<LinkPlace> PlaceTopicLinks(const std::vector<TopicLink>& links) {
    std::vector<LinkPlace> places;
    uint32_t block = 0;
    uint32_t pos = kTopicBlockHeaderSize;
    uint32_t characters = 0;
    for (const TopicLink& link : links) {
        if (pos == kTopicBlockSize) {
            ++block;
            pos = kTopicBlockHeaderSize;
            characters = 0;
        }
        places.push_back({block * 0x4000 + pos, block * 0x8000 + characters});
        if (link.type != 2) {
            characters += static_cast<uint32_t>(link.data2.size());
        }
        pos += kTopicLinkHeaderSize + static_cast<uint32_t>(link.data1.size() + link.data2.size());
        while (pos > kTopicBlockSize) {
            ++block;
            characters = 0;
            pos -= kTopicBlockSize - kTopicBlockHeaderSize;
        }
    }
    return places;
}

std::string WriteTopicBlocks(const std::vector<TopicLink>& links, const std::vector<LinkPlace>& places) {
    std::string stream;
    for (size_t i = 0; i < links.size(); ++i) {
        const TopicLink& link = links[i];
        Put32(stream, kTopicLinkHeaderSize + static_cast<uint32_t>(link.data1.size() + link.data2.size()));
        Put32(stream, static_cast<uint32_t>(link.data2.size()));
        Put32(stream, i == 0 ? kNone : places[i - 1].pos);
        Put32(stream, i + 1 == links.size() ? kNone : places[i + 1].pos);
        Put32(stream, kTopicLinkHeaderSize + static_cast<uint32_t>(link.data1.size()));
        Put8(stream, link.type);
        stream += link.data1;
        stream += link.data2;
    }
    constexpr size_t kData = kTopicBlockSize - kTopicBlockHeaderSize;
    std::string out;
    size_t nextLink = 0;
    uint32_t lastLink = kNone;
    uint32_t lastHeader = 0;
    for (size_t start = 0, block = 0; start < stream.size(); start += kData, ++block) {
        uint32_t firstLink = kNone;
        // Records starting in this block, known by their TOPICPOS's block number.
        size_t scan = nextLink;
        while (scan < links.size() && places[scan].pos / 0x4000 == block) {
            if (firstLink == kNone) {
                firstLink = places[scan].pos;
            }
            ++scan;
        }
        Put32(out, lastLink);
        Put32(out, firstLink);
        Put32(out, lastHeader);
        out += stream.substr(start, kData);
        for (; nextLink < scan; ++nextLink) {
            lastLink = places[nextLink].pos;
            if (links[nextLink].type == 2) {
                lastHeader = places[nextLink].pos;
            }
        }
    }
    return out;
}

std::string ContextMapFile(std::vector<std::pair<uint32_t, uint32_t>> numberToOffset) {
    std::sort(numberToOffset.begin(), numberToOffset.end());
    std::string out;
    Put16(out, static_cast<uint32_t>(numberToOffset.size()));
    for (const auto& [number, offset] : numberToOffset) {
        Put32(out, number);
        Put32(out, offset);
    }
    return out;
}

std::string BuildContainer(std::vector<InternalFile> files) {
    constexpr uint32_t kHeader = 16;
    constexpr uint32_t kFileHeader = 9;
    std::sort(files.begin(), files.end(), [](const InternalFile& a, const InternalFile& b) { return a.name < b.name; });
    std::vector<BTreeEntry> directory;
    uint32_t offset = kHeader;
    for (const InternalFile& file : files) {
        BTreeEntry entry{Z(file.name), Z(file.name)};
        Put32(entry.leaf, offset);
        directory.push_back(std::move(entry));
        offset += kFileHeader + static_cast<uint32_t>(file.data.size());
    }
    files.push_back({{}, BuildBTree({0x0402, 0x0400, "z4"}, directory)});
    const uint32_t directoryStart = offset;
    const uint32_t total = offset + kFileHeader + static_cast<uint32_t>(files.back().data.size());

    std::string out;
    Put32(out, 0x00035F3F);
    Put32(out, directoryStart);
    Put32(out, kNone);  // no free blocks
    Put32(out, total);
    for (const InternalFile& file : files) {
        // The reserved space is exactly the file: readers take it as the file's end.
        Put32(out, kFileHeader + static_cast<uint32_t>(file.data.size()));
        Put32(out, static_cast<uint32_t>(file.data.size()));
        Put8(out, 4);
        out += file.data;
    }
    return out;
}

bool WriteWinHelp(const Project& project,
                  std::string_view hlpName,
                  WinHelpFiles& out,
                  std::vector<Diagnostic>& diagnostics) {
    const size_t before = diagnostics.size();
    constexpr int kTopicHeaderSize = 28;
    constexpr size_t kLargestRecord = kTopicBlockSize - kTopicBlockHeaderSize - kTopicLinkHeaderSize;
    constexpr size_t kLongestEntry = 255;  // titles and keywords, in code page 932

    // The records, and where each topic's header, title and body start.
    std::vector<TopicLink> links;
    struct TopicRecords {
        size_t header, title, body, end;
    };
    std::vector<TopicRecords> records;
    for (const Topic& topic : project.topics) {
        TopicRecords r{};
        for (const std::string& text : topic.keywords) {
            if (text.size() > kLongestEntry) {
                diagnostics.push_back({topic.file, topic.keywordsLine, "keyword longer than 255 bytes: " + text});
            }
        }
        if (topic.title.size() > kLongestEntry) {
            diagnostics.push_back({topic.file, topic.titleLine, "title longer than 255 bytes"});
        }
        r.header = links.size();
        links.push_back({2, std::string(kTopicHeaderSize, '\0'), topic.title});
        r.title = links.size();
        Paragraph title(0, 0, 0);
        title.SetFont(kFontTitle);
        title.Text(topic.title);
        links.push_back(title.Finish());
        r.body = links.size();
        for (const Block& block : topic.body) {
            const bool heading = block.kind == BlockKind::Heading;
            const bool item = block.kind == BlockKind::Item;
            Paragraph paragraph(heading ? 16 : item ? 4 : 10, item ? 28 : 0, item ? -16 : 0);
            const uint16_t font = static_cast<uint16_t>(heading ? kFontHeading : kFontBody);
            paragraph.SetFont(font);
            if (item) {
                paragraph.Text(kBullet);
                paragraph.Text(" ");
            }
            AddRuns(paragraph, block.runs, font);
            links.push_back(paragraph.Finish());
            const TopicLink& added = links.back();
            if (added.data1.size() + added.data2.size() > kLargestRecord) {
                diagnostics.push_back({topic.file, block.line, "paragraph too long for one topic block; split it"});
            }
        }
        r.end = links.size();
        records.push_back(r);
    }
    // WinHelp expects a last, empty topic header after the final topic.
    links.push_back({2, std::string(kTopicHeaderSize, '\0'), {}});
    if (diagnostics.size() != before) {
        return false;
    }

    const std::vector<LinkPlace> places = PlaceTopicLinks(links);
    for (size_t t = 0; t < records.size(); ++t) {
        const TopicRecords& r = records[t];
        std::string& header = links[r.header].data1;
        uint32_t size = 0;
        for (size_t i = r.title; i < r.end; ++i) {
            size += kTopicLinkHeaderSize + static_cast<uint32_t>(links[i].data1.size() + links[i].data2.size());
        }
        Set32(header, 0, size);
        Set32(header, 4, kNone);  // no browse sequence
        Set32(header, 8, kNone);
        Set32(header, 12, static_cast<uint32_t>(t));
        Set32(header, 16, places[r.title].pos);
        Set32(header, 20, r.body < r.end ? places[r.body].pos : kNone);
        Set32(header, 24, places[r.end].pos);
    }
    {
        std::string& last = links.back().data1;
        Set32(last, 0, 0);
        Set32(last, 4, kNone);
        Set32(last, 8, kNone);
        Set32(last, 12, static_cast<uint32_t>(records.size()));
        Set32(last, 16, kNone);
        Set32(last, 20, kNone);
        Set32(last, 24, kNone);
    }
    auto topicOffset = [&](size_t t) { return places[records[t].header].offset; };

    std::vector<InternalFile> files;
    {
        std::string system;
        Put16(system, 0x036C);
        Put16(system, 33);  // WinHelp 4
        Put16(system, 1);
        Put32(system, static_cast<uint32_t>(std::time(nullptr)));
        Put16(system, 0);  // uncompressed topic blocks of 4 KB
        auto record = [&](uint16_t type, const std::string& data) {
            Put16(system, type);
            Put16(system, static_cast<uint32_t>(data.size()));
            system += data;
        };
        record(1, Z(project.title));
        std::string contents;
        Put32(contents, topicOffset(0));
        record(3, contents);
        std::string locale(8, '\0');
        Put16(locale, 0x0411);
        record(9, locale);
        std::string charset;
        Put16(charset, 128);  // SHIFTJIS_CHARSET
        record(11, charset);
        std::string cnt(hlpName.substr(0, hlpName.rfind('.')));
        record(10, Z(cnt + ".CNT"));
        files.push_back({"|SYSTEM", system});
    }
    files.push_back({"|FONT", FontFile()});
    files.push_back({"|TOPIC", WriteTopicBlocks(links, places)});
    {
        std::vector<std::pair<uint32_t, uint32_t>> byHash;
        std::vector<std::pair<uint32_t, uint32_t>> byNumber;
        for (size_t t = 0; t < records.size(); ++t) {
            byHash.emplace_back(ContextHash(project.topics[t].id), topicOffset(t));
            if (project.topics[t].context != 0) {
                byNumber.emplace_back(static_cast<uint32_t>(project.topics[t].context), topicOffset(t));
            }
        }
        std::sort(byHash.begin(), byHash.end(), [](const auto& a, const auto& b) {
            return static_cast<int32_t>(a.first) < static_cast<int32_t>(b.first);
        });
        for (size_t i = 1; i < byHash.size(); ++i) {
            if (byHash[i].first == byHash[i - 1].first) {
                diagnostics.push_back({project.contentsFile, 1, "two topic ids share one context hash"});
                return false;
            }
        }
        std::vector<BTreeEntry> contextEntries;
        for (const auto& [hash, offset] : byHash) {
            BTreeEntry entry;
            Put32(entry.key, hash);
            entry.leaf = entry.key;
            Put32(entry.leaf, offset);
            contextEntries.push_back(std::move(entry));
        }
        files.push_back({"|CONTEXT", BuildBTree({0x0002, 0x0800, "L4"}, contextEntries)});
        files.push_back({"|CTXOMAP", ContextMapFile(byNumber)});
    }
    {
        std::vector<BTreeEntry> titles;
        for (size_t t = 0; t < records.size(); ++t) {
            BTreeEntry entry;
            Put32(entry.key, topicOffset(t));
            entry.leaf = entry.key + Z(project.topics[t].title);
            titles.push_back(std::move(entry));
        }
        files.push_back({"|TTLBTREE", BuildBTree({0x0002, 0x0800, "Lz"}, titles)});
    }
    {
        // Keyword -> topics in contents order.
        std::vector<std::pair<std::string, size_t>> pairs;
        for (size_t t = 0; t < records.size(); ++t) {
            for (const std::string& keyword : project.topics[t].keywords) {
                pairs.emplace_back(keyword, t);
            }
        }
        std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) {
            if (KeywordLess(a.first, b.first) || KeywordLess(b.first, a.first)) {
                return KeywordLess(a.first, b.first);
            }
            return a.first < b.first;
        });
        std::string data;
        std::vector<BTreeEntry> keywords;
        for (size_t i = 0; i < pairs.size();) {
            const uint32_t dataOffset = static_cast<uint32_t>(data.size());
            uint32_t count = 0;
            size_t j = i;
            for (; j < pairs.size() && pairs[j].first == pairs[i].first; ++j) {
                Put32(data, topicOffset(pairs[j].second));
                ++count;
            }
            BTreeEntry entry{Z(pairs[i].first), Z(pairs[i].first)};
            Put16(entry.leaf, count);
            Put32(entry.leaf, dataOffset);
            keywords.push_back(std::move(entry));
            i = j;
        }
        std::string map;
        files.push_back({"|KWBTREE", BuildBTree({0x0002, 0x0800, "F24"}, keywords, &map)});
        files.push_back({"|KWDATA", data});
        files.push_back({"|KWMAP", map});
    }
    out.hlp = BuildContainer(std::move(files));

    // The contents tab: one line per topic, in contents order.
    out.cnt = ":Base " + std::string(hlpName) + "\r\n:Title " + project.title + "\r\n";
    for (const Topic& topic : project.topics) {
        out.cnt += "1 " + topic.title + "=" + topic.id + "\r\n";
    }
    return true;
}

}  // namespace helpc
