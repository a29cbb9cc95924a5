// The WinHelp 4 writer: a .HLP container with its internal files, and the .CNT contents file beside it.
// The pieces where one byte out of place breaks the file are public so that the tests can hold them to account.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "markup.h"

namespace helpc {

constexpr uint32_t kTopicBlockSize = 4096;
constexpr uint32_t kTopicBlockHeaderSize = 12;
constexpr uint32_t kTopicLinkHeaderSize = 21;

// The number WinHelp files a context string under.
uint32_t ContextHash(std::string_view name);

// One entry of a B+ tree: `key` as an index page repeats it, `leaf` the whole leaf record (key and data).
struct BTreeEntry {
    std::string key;
    std::string leaf;
};
struct BTreeShape {
    uint16_t flags = 0x0002;
    uint16_t pageSize = 0x0800;
    std::string structure;
};
// The tree over `entries`, which must already be in the tree's order. With `keywordMap`, also the |KWMAP
// that lists each leaf page with the number of its first entry.
std::string BuildBTree(const BTreeShape& shape,
                       const std::vector<BTreeEntry>& entries,
                       std::string* keywordMap = nullptr);

// A record of |TOPIC: 2 topic header, 0x20 text.
struct TopicLink {
    uint8_t type = 0x20;
    std::string data1;
    std::string data2;
};
// Where a record lies: TOPICPOS (block * 0x4000 + byte in the block) and TOPICOFFSET (block * 0x8000 + the text
// characters of the records started before it in that block).
struct LinkPlace {
    uint32_t pos = 0;
    uint32_t offset = 0;
};
std::vector<LinkPlace> PlaceTopicLinks(const std::vector<TopicLink>& links);
// The |TOPIC file: the records with their headers, in blocks of kTopicBlockSize bytes.
std::string WriteTopicBlocks(const std::vector<TopicLink>& links, const std::vector<LinkPlace>& places);

// |CTXOMAP: the numbers HELP_CONTEXT asks for, each with its topic's TOPICOFFSET.
std::string ContextMapFile(std::vector<std::pair<uint32_t, uint32_t>> numberToOffset);

struct InternalFile {
    std::string name;
    std::string data;
};
// The whole .HLP: header, the files, and the directory after them.
std::string BuildContainer(std::vector<InternalFile> files);

struct WinHelpFiles {
    std::string hlp;
    std::string cnt;
};
// `project` must be encoded in code page 932 already. False (with diagnostics) when a paragraph cannot be stored.
bool WriteWinHelp(const Project& project,
                  std::string_view hlpName,
                  WinHelpFiles& out,
                  std::vector<Diagnostic>& diagnostics);

}  // namespace helpc
