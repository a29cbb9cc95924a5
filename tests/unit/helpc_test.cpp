// The help compiler: the markup's rules, and the parts of the .HLP writer where one byte out of place breaks the
// file, read back the way WinHelp and Wine's winhlp32 read them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "helpc/markup.h"
#include "helpc/winhelp.h"

using namespace helpc;

namespace {

uint32_t U16(std::string_view b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8;
}
uint32_t U32(std::string_view b, size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}
std::string Bytes32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

// A B+ tree read as WinHelp does: descend the index pages by `less`, then scan the leaf. `size` tells a record's
// length (`leaf`: with its data). Returns the leaf record equal to `key`, or empty.
using KeyLess = std::function<bool(std::string_view record, std::string_view key)>;
using RecordSize = std::function<size_t(std::string_view record, bool leaf)>;
std::string_view Page(std::string_view tree, uint32_t page) {
    return tree.substr(38 + page * U16(tree, 4), U16(tree, 4));
}
std::vector<std::string_view> LeafRecords(std::string_view page, const RecordSize& size) {
    std::vector<std::string_view> records;
    for (size_t i = 0, at = 8, n = U16(page, 2); i < n; ++i, at += records.back().size())
        records.push_back(page.substr(at, size(page.substr(at), true)));
    return records;
}
std::string_view Find(std::string_view tree, std::string_view key, const KeyLess& less, const RecordSize& size) {
    uint32_t page = U16(tree, 26);
    for (uint32_t level = U16(tree, 32); level > 1; --level) {
        std::string_view p = Page(tree, page);
        page = U16(p, 4);
        for (size_t i = 0, at = 6, n = U16(p, 2); i < n && !less(key, p.substr(at)); ++i) {
            at += size(p.substr(at), false);
            page = U16(p, at - 2);
        }
    }
    for (std::string_view record : LeafRecords(Page(tree, page), size))
        if (!less(record, key) && !less(key, record))
            return record;
    return {};
}
// Every leaf record, first leaf to last along the NextPage chain.
std::vector<std::string_view> Leaves(std::string_view tree, const RecordSize& size) {
    uint32_t page = U16(tree, 26);
    for (uint32_t level = U16(tree, 32); level > 1; --level)
        page = U16(Page(tree, page), 4);
    std::vector<std::string_view> records;
    for (; page != 0xFFFF; page = U16(Page(tree, page), 6))
        for (std::string_view record : LeafRecords(Page(tree, page), size))
            records.push_back(record);
    return records;
}
const KeyLess kLongLess = [](std::string_view a, std::string_view b) {
    return static_cast<int32_t>(U32(a, 0)) < static_cast<int32_t>(U32(b, 0));
};
RecordSize FixedSize(size_t leaf) {
    return [leaf](std::string_view, bool isLeaf) { return isLeaf ? leaf : 6; };
}
RecordSize StringKeySize(size_t leafData) {
    return [leafData](std::string_view r, bool isLeaf) { return r.find('\0') + 1 + (isLeaf ? leafData : 2); };
}
const KeyLess kStringLess = [](std::string_view a, std::string_view b) {
    return a.substr(0, a.find('\0')) < b.substr(0, b.find('\0'));
};

// An internal file of a .HLP, found through the directory.
std::string_view FileIn(std::string_view hlp, std::string_view name) {
    std::string_view entry = Find(hlp.substr(U32(hlp, 4) + 9), std::string(name) + '\0', kStringLess, StringKeySize(4));
    const uint32_t at = entry.empty() ? 0 : U32(entry, name.size() + 1);
    return entry.empty() ? std::string_view() : hlp.substr(at + 9, U32(hlp, at + 4));
}

std::vector<Diagnostic> ParseAll(const std::vector<std::pair<std::string, std::string>>& files, Project& project) {
    std::vector<Diagnostic> diagnostics;
    Contents contents;
    std::vector<Topic> topics;
    for (const auto& [name, text] : files) {
        if (name == "contents")
            ParseContents("contents.txt", text, contents, diagnostics);
        else if (Topic topic; ParseTopic(name + ".txt", name, text, topic, diagnostics))
            topics.push_back(std::move(topic));
    }
    if (diagnostics.empty() && AssembleProject(contents, std::move(topics), project, diagnostics))
        EncodeProject(project, diagnostics);
    return diagnostics;
}

const std::vector<std::pair<std::string, std::string>> kPages = {
    {"contents", "title: VITRELL ヘルプ\n; the order of the contents\nover\nenv\ninit\n"},
    {"over",
     "title: 概要\nkeywords: 透明度; transparency; settings\n\nカーソルの下の\nウィンドウを半透明に\n"
     "\n# 戻すには\n- **レベル 0** にして\n- [[env]] と [[init|初期設定]] を見ます\n"},
    {"env", "title: 環境設定\nkeywords: settings\ncontext: 24\n\nLatin words\njoin with spaces.\n"},
    {"init", "title: 初期設定\nkeywords: 初期設定\ncontext: 25\n\n本文。\n"},
};

}  // namespace

TEST(HelpMarkup, ValidPagesBecomeBlocksAndRuns) {
    Project project;
    ASSERT_TRUE(ParseAll(kPages, project).empty());
    ASSERT_EQ(project.topics.size(), 3u);
    const Topic& over = project.topics[0];
    EXPECT_EQ(over.id, "over");
    ASSERT_EQ(over.body.size(), 4u);
    EXPECT_EQ(over.body[0].runs[0].text,
              "\x83\x4a\x81\x5b\x83\x5c\x83\x8b\x82\xcc\x89\xba\x82\xcc\x83\x45\x83\x42"
              "\x83\x93\x83\x68\x83\x45\x82\xf0\x94\xbc\x93\xa7\x96\xbe\x82\xc9")
        << "Japanese lines join without a space, in code page 932";
    EXPECT_EQ(over.body[1].kind, BlockKind::Heading);
    EXPECT_TRUE(over.body[2].runs[0].bold);
    EXPECT_EQ(over.body[3].runs[0].link, "env");
    EXPECT_EQ(over.body[3].runs[0].text, project.topics[1].title) << "[[id]] shows the target's title";
    EXPECT_EQ(project.topics[1].body[0].runs[0].text, "Latin words join with spaces.");
    EXPECT_EQ(project.topics[2].context, 25);
}

TEST(HelpMarkup, BadInputIsReportedWithFileAndLine) {
    struct Row {
        std::string name, text, want;
    };
    const std::vector<Row> rows = {
        {"env", "keywords: a\n\ntext\n", "env.txt:1: missing header line title:"},
        {"env", "title: t\n\ntext\n", "env.txt:1: missing header line keywords:"},
        {"env", "title: t\nkeywords: a\ncontext: x\n\ntext\n", "env.txt:3: context: needs a positive number"},
        {"env", "title: t\nkeywords: a\nauthor: me\n\ntext\n", "env.txt:3: unknown header line author:"},
        {"env", "title: t\nkeywords: a\n\nfirst\n**open bold\n", "env.txt:4: bold text ** is not closed"},
        {"env", "title: t\nkeywords: a\n\n[[init\n", "env.txt:4: a link [[ is not closed"},
        {"env", "title: t\nkeywords: a\n\ntext\n\nsee [[nowhere]]\n", "env.txt:6: unknown link target [[nowhere]]"},
        {"env", "title: t\nkeywords: a\ncontext: 25\n\ntext\n", "init.txt:3: context 25 is already used by env.txt"},
        {"env", "title: t\nkeywords: a\n\ncafé\n", "env.txt:4: text that code page 932 cannot hold"},
        {"extra", "title: t\nkeywords: a\n\ntext\n", "extra.txt:1: topic extra is missing from contents.txt"},
        {"contents", "over\n", "contents.txt:1: the first line must be title:"},
    };
    for (const Row& row : rows) {
        auto files = kPages;
        auto same = std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.first == row.name; });
        if (same != files.end())
            same->second = row.text;
        else
            files.emplace_back(row.name, row.text);
        Project project;
        const std::vector<Diagnostic> diagnostics = ParseAll(files, project);
        ASSERT_FALSE(diagnostics.empty()) << "accepted: " << row.text;
        const std::string got = FormatDiagnostic(diagnostics.front());
        EXPECT_EQ(got.substr(0, row.want.size()), row.want) << "got " << got;
    }
}

TEST(HelpWinHelp, ContextHashMatchesAnIndependentWriter) {
    // Values from the |CONTEXT of a file halibut wrote.
    const std::vector<std::pair<std::string, uint32_t>> rows = {
        {"Top", 0x00010959}, {"t00000000", 0x4EF9C604}, {"t00000001", 0x4EF9C5FB}, {"TOP", 0x00010959}, {"", 1}};
    for (const auto& [name, want] : rows)
        EXPECT_EQ(ContextHash(name), want) << "for \"" << name << "\"";
}

TEST(HelpWinHelp, BTreeSplitsIntoLeavesAndIndexPagesThatFindEveryKey) {
    struct Row {
        int entries;
        uint16_t pageSize;
        uint32_t pages, levels;
    };
    // 8-byte records: 7 per 64-byte leaf; an index page holds its first child and 9 more.
    const std::vector<Row> rows = {{3, 0x800, 1, 1}, {7, 64, 1, 1}, {8, 64, 3, 2}, {20, 64, 4, 2}, {100, 64, 18, 3}};
    for (const Row& row : rows) {
        std::vector<BTreeEntry> entries;
        for (int i = 0; i < row.entries; ++i) {
            const std::string key = Bytes32(static_cast<uint32_t>(i * 3 - 50));  // negative keys sort first
            entries.push_back({key, key + Bytes32(static_cast<uint32_t>(i))});
        }
        const std::string tree = BuildBTree({0x0002, row.pageSize, "L4"}, entries);
        SCOPED_TRACE(std::to_string(row.entries) + " entries");
        ASSERT_EQ(tree.size(), 38 + row.pages * row.pageSize);
        // Magic, page splits, pages, levels, entries.
        EXPECT_EQ(
            (std::vector<uint32_t>{U16(tree, 0), U16(tree, 24), U16(tree, 30), U16(tree, 32), U32(tree, 34)}),
            (std::vector<uint32_t>{0x293B, row.pages - row.levels, row.pages, row.levels, uint32_t(row.entries)}));
        const std::vector<std::string_view> leaves = Leaves(tree, FixedSize(8));
        ASSERT_EQ(leaves.size(), entries.size()) << "the leaf chain holds every entry once";
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(leaves[i], entries[i].leaf);
            EXPECT_EQ(Find(tree, entries[i].key, kLongLess, FixedSize(8)), entries[i].leaf)
                << "key " << i << " not found through the index";
        }
    }
}

TEST(HelpWinHelp, ContextMapRecordsAreNumberThenOffset) {
    // A count of 2, then (24, 0x1C) and (25, 0x8000), sorted by number.
    EXPECT_EQ(ContextMapFile({{25, 0x8000}, {24, 0x1C}}),
              std::string("\x02\x00\x18\x00\x00\x00\x1C\x00\x00\x00\x19\x00\x00\x00\x00\x80\x00\x00", 18));
}

TEST(HelpWinHelp, TopicRecordsChainAcrossBlocks) {
    // Sizes of LinkData1/LinkData2: a header, then text records; the third crosses into block 1, the fifth ends
    // exactly at the end of block 1, so the sixth starts block 2.
    struct Row {
        uint8_t type;
        size_t data1, data2;
        uint32_t pos, offset;
    };
    const std::vector<Row> rows = {
        {2, 28, 5, 12, 0},
        {0x20, 10, 100, 66, 0},
        {0x20, 10, 3979, 197, 100},
        {0x20, 10, 50, 0x4000 + 123, 0x8000},
        {0x20, 0, 3871, 0x4000 + 204, 0x8000 + 50},
        {2, 28, 0, 0x8000 + 12, 0x10000},
    };
    std::vector<TopicLink> links;
    for (const Row& row : rows)
        links.push_back({row.type, std::string(row.data1, 'a'), std::string(row.data2, 'b')});
    const std::vector<LinkPlace> places = PlaceTopicLinks(links);
    // Read back as winhlp32 does: drop the block headers, then follow NextBlock from TOPICPOS 12.
    const std::string topic = WriteTopicBlocks(links, places);
    std::string data;
    for (size_t at = 0; at < topic.size(); at += kTopicBlockSize)
        data += topic.substr(at + 12, kTopicBlockSize - 12);
    uint32_t pos = 12, previous = 0xFFFFFFFF;
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(places[i].pos, rows[i].pos) << "TOPICPOS of record " << i;
        EXPECT_EQ(places[i].offset, rows[i].offset) << "TOPICOFFSET of record " << i;
        ASSERT_EQ(pos, rows[i].pos) << "NextBlock to record " << i;
        const size_t at = (pos - 12) / 0x4000 * (kTopicBlockSize - 12) + (pos - 12) % 0x4000;
        EXPECT_EQ(static_cast<uint8_t>(data[at + 20]), rows[i].type);
        EXPECT_EQ(U32(data, at + 8), previous) << "PrevBlock of record " << i;
        previous = pos;
        pos = U32(data, at + 12);
    }
    EXPECT_EQ(pos, 0xFFFFFFFFu);
    // Block 1: the last record begun before it, the first begun in it, and the last topic header before it.
    EXPECT_EQ(U32(topic, kTopicBlockSize + 0), 197u);
    EXPECT_EQ(U32(topic, kTopicBlockSize + 4), 0x4000u + 123);
    EXPECT_EQ(U32(topic, kTopicBlockSize + 8), 12u);
}

TEST(HelpWinHelp, HelpFileAnswersContextsKeywordsAndTitles) {
    Project project;
    ASSERT_TRUE(ParseAll(kPages, project).empty());
    WinHelpFiles files;
    std::vector<Diagnostic> diagnostics;
    ASSERT_TRUE(WriteWinHelp(project, "VITRELL.HLP", files, diagnostics));
    const std::string& hlp = files.hlp;
    EXPECT_EQ(U32(hlp, 12), hlp.size());

    std::string_view system = FileIn(hlp, "|SYSTEM");
    ASSERT_FALSE(system.empty());
    std::map<uint32_t, std::string_view> records;
    for (size_t at = 12; at + 4 <= system.size(); at += 4 + U16(system, at + 2))
        records[U16(system, at)] = system.substr(at + 4, U16(system, at + 2));
    EXPECT_EQ(records[1], project.title + '\0');
    EXPECT_EQ(U16(records[9], 8), 0x411u) << "locale";
    EXPECT_EQ(U16(records[11], 0), 128u) << "Shift_JIS charset";

    // Each topic's offset, as |CONTEXT gives it for the topic id, must lead to that topic everywhere.
    std::string_view context = FileIn(hlp, "|CONTEXT"), titles = FileIn(hlp, "|TTLBTREE");
    std::map<std::string, uint32_t> offsets;
    for (const Topic& topic : project.topics) {
        std::string_view entry = Find(context, Bytes32(ContextHash(topic.id)), kLongLess, FixedSize(8));
        ASSERT_FALSE(entry.empty()) << topic.id;
        offsets[topic.id] = U32(entry, 4);
        std::string_view title = Find(titles, Bytes32(offsets[topic.id]), kLongLess,
                                      [](std::string_view r, bool leaf) { return leaf ? r.find('\0', 4) + 1 : 6; });
        EXPECT_EQ(title.substr(4), topic.title + '\0') << topic.id;
    }
    EXPECT_EQ(U32(records[3], 0), offsets["over"]) << "contents topic";
    EXPECT_EQ(FileIn(hlp, "|CTXOMAP"), ContextMapFile({{24, offsets["env"]}, {25, offsets["init"]}}));

    // "settings" belongs to two topics, in contents order.
    std::string_view keyword = Find(FileIn(hlp, "|KWBTREE"), std::string("settings", 9), kStringLess, StringKeySize(6));
    ASSERT_FALSE(keyword.empty());
    ASSERT_EQ(U16(keyword, 9), 2u);
    std::string_view data = FileIn(hlp, "|KWDATA").substr(U32(keyword, 11));
    EXPECT_EQ((std::pair{U32(data, 0), U32(data, 4)}), (std::pair{offsets["over"], offsets["env"]}));
    EXPECT_EQ(U16(FileIn(hlp, "|KWMAP"), 0), 1u) << "one leaf page listed";
}
