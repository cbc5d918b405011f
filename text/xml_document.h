// A small, lenient XML reader for the language files: it reads a text file in
// any of the usual encodings into one UTF-16 text, builds a tree of element
// nodes that point into that text (nothing is copied), and walks the tree with
// a cursor. It reports the first problem it meets in its result text and still
// builds as much of the tree as it can.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct XmlNode {
    int32_t start;        // index in the text of the element's "<"
    int32_t length;       // up to the end of the end tag; the start tag's length when never ended
    uint32_t tagLengths;  // low 22 bits start-tag length, high 10 bits end-tag length
    uint32_t flags;       // XML_NODE_* and the depth in the low 16 bits
    int32_t parent;
    int32_t firstChild;
    int32_t nextSibling;
    int32_t prevSibling;  // the first child's holds the last child: appending costs no walk
};
static_assert(sizeof(XmlNode) == 32);

constexpr uint32_t XML_NODE_DEPTH_MASK = 0xFFFF;
constexpr uint32_t XML_NODE_EMPTY = 0x10000;        // written as an empty-element tag
constexpr uint32_t XML_NODE_FIRST_CHILD = 0x80000;  // was its parent's first child when linked
constexpr uint32_t XML_NODE_NOT_ENDED = 0x100000;
constexpr uint32_t XML_NODE_ERROR = 0x200000;  // an error was found inside this element
constexpr uint32_t XML_DOC_ERROR = 0x800000;   // node 0 only: the parse found an error

constexpr uint32_t XML_START_TAG_MAX = 0x3FFFFF;
constexpr uint32_t XML_END_TAG_MAX = 0x3FF;

// Reader flags (XmlDocument::docFlags after a read).
constexpr uint32_t XML_READ_UTF16LE_BOM = 0x1;
constexpr uint32_t XML_READ_UTF8_BOM = 0x4;
constexpr uint32_t XML_READ_IGNORE_CASE = 0x8;  // compare names without regard to ASCII case
constexpr uint32_t XML_READ_OPEN_READ = 0x10;
constexpr uint32_t XML_READ_OPEN_WRITE = 0x20;
constexpr uint32_t XML_READ_OPEN_APPEND = 0x40;
constexpr uint32_t XML_READ_UTF16BE_BOM = 0x80;

// Token kinds of the scanner.
constexpr int XML_TOKEN_END_OF_TEXT = -2;
constexpr int XML_TOKEN_ERROR = -1;
constexpr int XML_TOKEN_END_TAG = 0;
constexpr int XML_TOKEN_START_TAG = 1;
constexpr int XML_TOKEN_TEXT = 2;
constexpr int XML_TOKEN_BLANKS = 4;
constexpr int XML_TOKEN_CDATA = 8;
constexpr int XML_TOKEN_PROCESSING = 16;
constexpr int XML_TOKEN_COMMENT = 32;
constexpr int XML_TOKEN_DECLARATION = 64;

constexpr uint32_t XML_TOKEN_EMPTY_ELEMENT = 0x10000;  // the start tag ended with "/>"

struct XmlToken {
    int kind = XML_TOKEN_END_OF_TEXT;
    int32_t start = 0;
    int32_t length = 0;
    uint32_t flags = 0;
    std::u16string tokenText;  // a start tag's name, or an error token's message
};

class XmlDocument {
public:
    XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Reads the file into text. True when it was opened and read; after a
    // failure the document is empty. flags goes in as the caller's flags and,
    // on success, comes back as the reader flags.
    bool ReadFileText(std::u16string_view path, std::u16string& resultOut, uint32_t& flags);

    // The text of a file's bytes, as ReadFileText decodes them: marks, NULs,
    // declared encodings, UTF-8 detection, the ANSI fallback. readerFlags gains
    // the mark flag; diagnostics receives what was found.
    static std::u16string DecodeFileBytes(std::string_view bytes, uint32_t& readerFlags,
                                          std::u16string& diagnostics);

    // Builds the node tree over text. True when the text holds exactly one
    // top-level element and no error was found.
    bool Parse();

    void ResetPosition();
    bool FindElement(std::u16string_view name = {});
    bool FindChildElement(std::u16string_view name = {});
    void EnterElement();
    std::u16string GetChildText() const;
    std::u16string GetNodeText(int32_t node) const;
    int32_t FindNamedElement(int32_t parent, int32_t after, std::u16string_view name) const;

    // The tree, for whoever walks it directly (tests among them).
    int32_t NodesInUse() const { return m_nodesInUse; }
    int32_t NodesAllocated() const { return m_nodesAllocated; }
    const XmlNode& Node(int32_t index) const { return m_blocks[size_t(index) >> 16][size_t(index) & 0xFFFF]; }
    std::u16string_view TagName(int32_t node) const;

    std::u16string text;
    std::u16string resultText;
    int32_t parentPos = 0;
    int32_t currentPos = 0;
    int32_t childPos = 0;
    int currentType = 0;
    uint32_t docFlags = 0;

private:
    struct OpenElement {
        int32_t node;
        int32_t tagLength;  // unpacked: the packed field may be saturated
        int32_t nameStart;
        int32_t nameLength;
    };

    XmlNode& MutableNode(int32_t index) { return m_blocks[size_t(index) >> 16][size_t(index) & 0xFFFF]; }
    void EnsureNodes(int32_t total);
    int32_t NewNode();
    void LinkChild(int32_t parent, int32_t child);
    void MarkNotEnded(const std::vector<OpenElement>& open, size_t from);
    void MarkError(int32_t node);
    void DropTree();
    bool NameMatches(std::u16string_view tagName, std::u16string_view wanted) const;
    bool ValidNode(int32_t index) const { return index >= 0 && index < m_nodesInUse; }

    // Blocks of up to 65536 nodes; node index = block << 16 | slot, so a full
    // block never moves and indexes stay valid while the array grows.
    std::vector<std::vector<XmlNode>> m_blocks;
    int32_t m_nodesInUse = 0;
    int32_t m_nodesAllocated = 0;
};

// The document of the loaded language file.
extern XmlDocument g_languageDoc;

// Replaces every character and entity reference in text by its character; an
// "&" that begins no complete reference stays as it is.
std::u16string DecodeEntities(std::u16string_view text);
