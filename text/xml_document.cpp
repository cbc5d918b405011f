#include "text/xml_document.h"

#include <algorithm>
#include <limits>

#include "text/code_pages.h"
#include "text/file_bytes.h"
#include "text/xml_tables.h"

namespace {

constexpr int32_t kBlockSize = 65536;
// Positions are 32-bit indexes; a longer text cannot be addressed by the nodes.
constexpr size_t kMaxTextLength = size_t(std::numeric_limits<int32_t>::max()) - 64;

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\n' || unit == u'\r';
}

bool IsNameDelimiter(char16_t unit) {
    switch (unit) {
    case u' ': case u'\t': case u'\n': case u'\r': case u'<': case u'>': case u'=':
    case u'\\': case u'/': case u'?': case u'!': case u'"': case u'\'': case u';':
        return true;
    default:
        return false;
    }
}

char16_t FoldAscii(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

std::u16string Ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

std::u16string Decimal(int64_t value) {
    return Ascii(std::to_string(value));
}

// One token at a time over text[0, end). Positions are 64-bit inside so that
// looking a few units ahead near the end can never wrap.
class Scanner {
public:
    Scanner(const std::u16string& text, int64_t end) : m_text(text), m_end(end) {}

    // The name of the last start tag, end tag or processing instruction.
    int32_t nameStart = 0;
    int32_t nameLength = 0;

    int64_t NameRun(int64_t pos) const {
        int64_t q = pos;
        while (q < m_end && !IsNameDelimiter(m_text[size_t(q)])) ++q;
        return q - pos;
    }

    void Scan(int64_t pos, XmlToken& token) {
        token.start = int32_t(pos);
        token.length = 0;
        token.flags = 0;
        token.tokenText.clear();
        if (pos >= m_end) {
            token.kind = XML_TOKEN_END_OF_TEXT;
            return;
        }
        if (At(pos) != u'<') {
            bool blank = true;
            int64_t q = pos;
            for (; q < m_end && At(q) != u'<'; ++q) {
                if (!IsBlank(At(q))) blank = false;
            }
            Finish(token, blank ? XML_TOKEN_BLANKS : XML_TOKEN_TEXT, q);
            return;
        }
        if (pos + 1 >= m_end) return Unterminated(token, "tag");
        char16_t next = At(pos + 1);
        if ((next >= u'A' && next <= u'Z') || next == u':' || next == u'_' || next > u'`')
            return StartTag(token, pos);
        if (next == u'/') {
            SetName(pos + 2);
            int64_t close = Find(pos + 2, u">");
            if (close < 0) return Unterminated(token, "Element end tag");
            return Finish(token, XML_TOKEN_END_TAG, close + 1);
        }
        if (next == u'?') {
            SetName(pos + 2);
            int64_t close = Find(pos + 2, u"?>");
            if (close < 0) return Unterminated(token, "Processing instruction");
            return Finish(token, XML_TOKEN_PROCESSING, close + 2);
        }
        if (next == u'!') return Declaration(token, pos);
        // An error token always takes the units it judged, so scanning moves on.
        return Incorrect(token, "tag name character", 1);
    }

private:
    char16_t At(int64_t pos) const { return m_text[size_t(pos)]; }

    void SetName(int64_t pos) {
        nameStart = int32_t(pos);
        nameLength = int32_t(NameRun(pos));
    }

    int64_t Find(int64_t from, std::u16string_view what) const {
        if (from > m_end) return -1;
        size_t found = std::u16string_view(m_text).substr(0, size_t(m_end)).find(what, size_t(from));
        return found == std::u16string_view::npos ? -1 : int64_t(found);
    }

    void Finish(XmlToken& token, int kind, int64_t end) {
        token.kind = kind;
        token.length = int32_t(end - token.start);
    }

    void Unterminated(XmlToken& token, const char* markup) {
        token.kind = XML_TOKEN_ERROR;
        token.length = int32_t(m_end - token.start);
        token.tokenText = Ascii(markup) + u" at offset " + Decimal(token.start) + u" unterminated";
    }

    void Incorrect(XmlToken& token, const char* subject, int32_t consumed) {
        token.kind = XML_TOKEN_ERROR;
        token.length = consumed;
        token.tokenText = u"Incorrect " + Ascii(subject) + u" at offset " + Decimal(token.start);
    }

    void StartTag(XmlToken& token, int64_t pos) {
        SetName(pos + 1);
        int64_t nameEnd = nameStart + nameLength;
        int64_t q = nameEnd;
        while (q < m_end && At(q) != u'>') {
            if (At(q) != u'=') {
                ++q;
                continue;
            }
            // A value after "=" may be quoted; a ">" inside the quotes is part of it.
            ++q;
            while (q < m_end && IsBlank(At(q))) ++q;
            if (q < m_end && (At(q) == u'"' || At(q) == u'\'')) {
                char16_t quote = At(q);
                ++q;
                while (q < m_end && At(q) != quote) ++q;
                if (q >= m_end) return Unterminated(token, "Element tag");
                ++q;
            }
        }
        if (q >= m_end) return Unterminated(token, "Element tag");
        if (At(q - 1) == u'/') {
            int64_t slash = q - 1;
            // In <a x=1/> the "/" belongs to the value: the element is not empty.
            if (slash == nameEnd || IsBlank(At(slash - 1)) || At(slash - 1) == u'"' || At(slash - 1) == u'\'')
                token.flags |= XML_TOKEN_EMPTY_ELEMENT;
        }
        Finish(token, XML_TOKEN_START_TAG, q + 1);
        token.tokenText.assign(m_text, size_t(nameStart), size_t(nameLength));
    }

    void Declaration(XmlToken& token, int64_t pos) {
        if (pos + 2 >= m_end) return Unterminated(token, "tag");
        char16_t kind = At(pos + 2);
        if (kind == u'-') {
            if (pos + 3 >= m_end) return Unterminated(token, "Comment");
            if (At(pos + 3) != u'-') return Incorrect(token, "comment tag", 3);
            int64_t close = Find(pos + 4, u"-->");
            if (close < 0) return Unterminated(token, "Comment");
            return Finish(token, XML_TOKEN_COMMENT, close + 3);
        }
        if (kind == u'[') {
            if (pos + 3 >= m_end) return Unterminated(token, "tag");
            if (At(pos + 3) != u'C') return Incorrect(token, "tag", 3);
            // Only "<![C" is compared, so the section may be shorter than
            // "<![CDATA[": its end is looked for after where the opening would end,
            // never before the token or past the text.
            int64_t close = Find(std::min(pos + 9, m_end), u"]]>");
            if (close < 0) return Unterminated(token, "CDATA Section");
            return Finish(token, XML_TOKEN_CDATA, close + 3);
        }
        if (kind == u'D') {
            // A DOCTYPE may hold an internal subset in brackets, with quoted
            // literals; the declaration ends at the first ">" outside both.
            int depth = 0;
            char16_t quote = 0;
            for (int64_t q = pos + 3; q < m_end; ++q) {
                char16_t unit = At(q);
                if (quote) {
                    if (unit == quote) quote = 0;
                } else if (unit == u'"' || unit == u'\'') {
                    quote = unit;
                } else if (unit == u'[') {
                    ++depth;
                } else if (unit == u']') {
                    if (depth > 0) --depth;
                } else if (unit == u'>' && depth == 0) {
                    return Finish(token, XML_TOKEN_DECLARATION, q + 1);
                }
            }
            return Unterminated(token, "Doctype");
        }
        if (kind == u'E' || kind == u'A' || kind == u'N') {
            int64_t close = Find(pos + 3, u">");
            if (close < 0) return Unterminated(token, "tag");
            return Finish(token, XML_TOKEN_DECLARATION, close + 1);
        }
        return Incorrect(token, "! tag", 2);
    }

    const std::u16string& m_text;
    int64_t m_end;
};

// The value of one attribute of the tag text[start, end) (ASCII case of the
// attribute name ignored); false when the tag has no such attribute.
bool FindAttribute(const std::u16string& text, int64_t start, int64_t end, std::u16string_view name,
                   std::u16string& value) {
    int64_t q = start;
    while (q < end && !IsBlank(text[size_t(q)])) ++q;  // past "<" and the tag's name
    while (q < end) {
        while (q < end && IsBlank(text[size_t(q)])) ++q;
        int64_t nameBegin = q;
        while (q < end && !IsBlank(text[size_t(q)]) && text[size_t(q)] != u'=' && text[size_t(q)] != u'>')
            ++q;
        std::u16string_view attribute(text.data() + nameBegin, size_t(q - nameBegin));
        if (attribute.empty()) ++q;
        while (q < end && IsBlank(text[size_t(q)])) ++q;
        std::u16string found;
        if (q < end && text[size_t(q)] == u'=') {
            ++q;
            while (q < end && IsBlank(text[size_t(q)])) ++q;
            if (q < end && (text[size_t(q)] == u'"' || text[size_t(q)] == u'\'')) {
                char16_t quote = text[size_t(q++)];
                int64_t valueBegin = q;
                while (q < end && text[size_t(q)] != quote) ++q;
                found.assign(text, size_t(valueBegin), size_t(q - valueBegin));
                if (q < end) ++q;
            } else {
                int64_t valueBegin = q;
                while (q < end && !IsBlank(text[size_t(q)]) && text[size_t(q)] != u'>') ++q;
                found.assign(text, size_t(valueBegin), size_t(q - valueBegin));
            }
        }
        if (!attribute.empty() && EqualsIgnoringCase(attribute, name)) {
            value = found;
            return true;
        }
    }
    return false;
}

// The name after "charset" and "=" in a meta tag's content attribute.
std::u16string CharsetOfContent(const std::u16string& content) {
    std::u16string folded;
    for (char16_t unit : content) folded.push_back(FoldAscii(unit));
    size_t at = folded.find(u"charset");
    if (at == std::u16string::npos) return {};
    size_t q = at + 7;
    while (q < content.size() && IsBlank(content[q])) ++q;
    if (q >= content.size() || content[q] != u'=') return {};
    ++q;
    while (q < content.size() && IsBlank(content[q])) ++q;
    size_t begin = q;
    while (q < content.size() && !IsBlank(content[q]) && content[q] != u';' && content[q] != u'"' &&
           content[q] != u'\'')
        ++q;
    return content.substr(begin, q - begin);
}

// The encoding a file declares in its first bytes: the xml declaration's, or
// the charset of an HTML file's Content-Type meta tag.
std::u16string DeclaredEncoding(std::string_view sample) {
    std::u16string text = DecodeCodePage(CODE_PAGE_UTF8, sample);
    Scanner scanner(text, int64_t(text.size()));
    bool tagSeen = false;
    XmlToken token;
    int64_t pos = 0;
    for (;;) {
        scanner.Scan(pos, token);
        if (token.kind == XML_TOKEN_END_OF_TEXT || token.kind == XML_TOKEN_ERROR) return {};
        int64_t tokenEnd = int64_t(token.start) + token.length;
        std::u16string_view name(text.data() + scanner.nameStart, size_t(scanner.nameLength));
        std::u16string value;
        if (token.kind == XML_TOKEN_PROCESSING && !tagSeen && EqualsIgnoringCase(name, u"xml")) {
            if (FindAttribute(text, token.start, tokenEnd - 2, u"encoding", value)) return value;
        } else if (token.kind == XML_TOKEN_END_TAG) {
            tagSeen = true;
            if (EqualsIgnoringCase(name, u"head")) return {};
        } else if (token.kind == XML_TOKEN_START_TAG) {
            if (!tagSeen) {
                tagSeen = true;
                if (!EqualsIgnoringCase(name, u"html")) return {};
            } else if (EqualsIgnoringCase(name, u"meta") &&
                       FindAttribute(text, token.start, tokenEnd - 1, u"http-equiv", value) &&
                       EqualsIgnoringCase(value, u"Content-Type")) {
                if (!FindAttribute(text, token.start, tokenEnd - 1, u"content", value)) return {};
                return CharsetOfContent(value);
            }
        }
        pos = tokenEnd;
    }
}

// A lenient test: every byte with the top bit set must be followed by as many
// bytes with the top bit set as its bits 5 to 3 announce.
bool LooksLikeUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        uint8_t lead = uint8_t(bytes[i]);
        if (!(lead & 0x80)) {
            ++i;
            continue;
        }
        size_t further = !(lead & 0x20) ? 1 : !(lead & 0x10) ? 2 : !(lead & 0x08) ? 3 : 0;
        if (further == 0) return false;
        for (size_t j = 1; j <= further; ++j) {
            if (i + j >= bytes.size() || !(uint8_t(bytes[i + j]) & 0x80)) return false;
        }
        i += further + 1;
    }
    return true;
}

struct ByteOrderMark {
    std::string_view bytes;
    const char16_t* name;
    uint32_t flag;
};

const ByteOrderMark kBomTable[] = {
    {"\xEF\xBB\xBF", u"UTF-8", XML_READ_UTF8_BOM},
    {"\xFF\xFE", u"UTF-16LE", XML_READ_UTF16LE_BOM},
    {"\xFE\xFF", u"UTF-16BE", XML_READ_UTF16BE_BOM},
};

}  // namespace

std::u16string DecodeEntities(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const size_t n = text.size();
    auto digitValue = [](char16_t unit, bool hex) -> int {
        if (unit >= u'0' && unit <= u'9') return unit - u'0';
        if (hex && unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
        if (hex && unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
        return -1;
    };
    for (size_t i = 0; i < n;) {
        if (text[i] != u'&') {
            out.push_back(text[i++]);
            continue;
        }
        uint32_t codePoint = 0;
        size_t after = 0;
        if (i + 1 < n && text[i + 1] == u'#') {
            size_t j = i + 2;
            bool hex = j < n && (text[j] == u'x' || text[j] == u'X');
            if (hex) ++j;
            uint32_t value = 0;
            bool inRange = true;
            size_t digits = 0;
            for (int d; j < n && (d = digitValue(text[j], hex)) >= 0; ++j, ++digits) {
                // Past the last code point the reference is no character at all.
                if (inRange) value = value * (hex ? 16 : 10) + uint32_t(d);
                if (value > 0x10FFFF) inRange = false;
            }
            if (digits > 0 && inRange && j < n && text[j] == u';') {
                codePoint = value;
                after = j + 1;
            }
        } else {
            size_t j = i + 1;
            while (j < n && j - (i + 1) < 10 && text[j] < 128 &&
                   ((text[j] >= u'a' && text[j] <= u'z') || (text[j] >= u'A' && text[j] <= u'Z') ||
                    (text[j] >= u'0' && text[j] <= u'9')))
                ++j;
            size_t length = j - (i + 1);
            if (length >= 1 && length <= 9 && j < n && text[j] == u';') {
                codePoint = EntityCodePoint(text.substr(i + 1, length));
                after = j + 1;
            }
        }
        if (codePoint == 0) {
            out.push_back(u'&');
            ++i;
            continue;
        }
        AppendCodePoint(out, codePoint);
        i = after;
    }
    return out;
}

XmlDocument::XmlDocument() {
    Parse();
    docFlags = 0;
}

void XmlDocument::EnsureNodes(int32_t total) {
    while (m_nodesAllocated < total) {
        int32_t wanted = total - m_nodesAllocated;
        if (m_blocks.empty()) {
            m_blocks.emplace_back(size_t(std::min(wanted, kBlockSize)));
        } else if (int32_t(m_blocks.back().size()) < kBlockSize) {
            // Within the last block: it grows (and moves) until it holds a full block.
            size_t grown = std::min<size_t>(size_t(kBlockSize), m_blocks.back().size() + size_t(wanted));
            m_blocks.back().resize(grown);
        } else {
            if (m_blocks.size() == m_blocks.capacity()) m_blocks.reserve(2 * m_blocks.size() + 4);
            m_blocks.emplace_back(size_t(std::min(wanted, kBlockSize)));
        }
        m_nodesAllocated = int32_t((m_blocks.size() - 1) * size_t(kBlockSize) + m_blocks.back().size());
    }
}

int32_t XmlDocument::NewNode() {
    if (m_nodesInUse == m_nodesAllocated) EnsureNodes(m_nodesInUse + std::max(1, m_nodesInUse / 2));
    int32_t index = m_nodesInUse++;
    MutableNode(index) = XmlNode{};
    return index;
}

void XmlDocument::LinkChild(int32_t parent, int32_t child) {
    XmlNode& node = MutableNode(child);
    node.parent = parent;
    node.nextSibling = 0;
    XmlNode& owner = MutableNode(parent);
    if (owner.firstChild == 0) {
        owner.firstChild = child;
        node.prevSibling = child;
        node.flags |= XML_NODE_FIRST_CHILD;
        return;
    }
    XmlNode& first = MutableNode(owner.firstChild);
    int32_t last = first.prevSibling;
    MutableNode(last).nextSibling = child;
    node.prevSibling = last;
    first.prevSibling = child;
}

void XmlDocument::MarkError(int32_t node) {
    MutableNode(node).flags |= node == 0 ? XML_DOC_ERROR : XML_NODE_ERROR;
}

// Every element of open[from..] is never ended: each keeps only its start tag,
// and its children move out to follow it as siblings under its parent,
// innermost first. The moves are splices of sibling chains; each moved node gets
// its final parent once at the end, so a deep pile of unended elements costs no
// more than its size.
void XmlDocument::MarkNotEnded(const std::vector<OpenElement>& open, size_t from) {
    if (from >= open.size()) return;
    for (size_t i = open.size(); i-- > from;) {
        const OpenElement& element = open[i];
        XmlNode& node = MutableNode(element.node);
        node.flags |= XML_NODE_NOT_ENDED;
        node.length = element.tagLength;
        int32_t parent = node.parent;
        if (node.flags & XML_NODE_ERROR) MarkError(parent);
        int32_t first = node.firstChild;
        if (first == 0) continue;
        int32_t last = MutableNode(first).prevSibling;
        int32_t after = node.nextSibling;
        MutableNode(last).nextSibling = after;
        if (after != 0)
            MutableNode(after).prevSibling = last;
        else
            MutableNode(MutableNode(parent).firstChild).prevSibling = last;
        node.nextSibling = first;
        MutableNode(first).prevSibling = element.node;
        node.firstChild = 0;
    }
    // The outermost one was its parent's last child (it was still open), so
    // everything after it now is what moved out.
    const int32_t outermost = open[from].node;
    const int32_t parent = Node(outermost).parent;
    for (int32_t moved = Node(outermost).nextSibling; moved != 0; moved = Node(moved).nextSibling)
        MutableNode(moved).parent = parent;
}

void XmlDocument::DropTree() {
    m_nodesInUse = 1;
    EnsureNodes(8);
    MutableNode(0) = XmlNode{};
}

// A tag name matches a wanted name when the wanted name begins with it and goes
// on, if at all, with a character that cannot belong to a name.
bool XmlDocument::NameMatches(std::u16string_view tagName, std::u16string_view wanted) const {
    size_t n = tagName.size();
    if (wanted.size() < n) return false;
    bool exact = !(docFlags & XML_READ_IGNORE_CASE);
    for (size_t i = 0; i < n; ++i) {
        char16_t a = tagName[i], b = wanted[i];
        if (exact) {
            if (a != b) return false;
        } else if (a >= 128 || b >= 128) {
            if (a != b) return false;
            exact = true;
        } else if (FoldAscii(a) != FoldAscii(b)) {
            return false;
        }
    }
    if (wanted.size() == n) return true;
    char16_t next = wanted[n];
    return next == u' ' || next == u'=' || next == u'/' || next == u'[' || next == u']';
}

std::u16string_view XmlDocument::TagName(int32_t node) const {
    if (node <= 0 || node >= m_nodesInUse) return {};
    const XmlNode& element = Node(node);
    Scanner scanner(text, int64_t(text.size()));
    int64_t length = scanner.NameRun(int64_t(element.start) + 1);
    return std::u16string_view(text.data() + element.start + 1, size_t(length));
}

bool XmlDocument::Parse() {
    std::u16string oldResult = resultText;
    ResetPosition();
    m_nodesInUse = 1;
    EnsureNodes(int32_t(std::min(text.size(), kMaxTextLength) / 64 + 8));
    MutableNode(0) = XmlNode{};
    std::u16string message;
    auto setMessage = [&message](std::u16string text) {
        if (message.empty()) message = std::move(text);
    };

    if (text.empty()) {
        message = u"Empty document";
    } else if (text.size() > kMaxTextLength) {
        message = u"Document of " + Decimal(int64_t(text.size())) + u" units is too long";
        MarkError(0);
    } else {
        const int64_t end = int64_t(text.size());
        Scanner scanner(text, end);
        std::vector<OpenElement> open;
        open.reserve(6);
        auto nameOf = [this](const OpenElement& element) {
            return std::u16string(text, size_t(element.nameStart), size_t(element.nameLength));
        };
        // Stack positions of the open elements by name (ASCII-folded when names
        // are compared without case), innermost last.
        std::unordered_map<std::u16string, std::vector<size_t>> openByName;
        const bool foldNames = (docFlags & XML_READ_IGNORE_CASE) != 0;
        auto NameKey = [foldNames](std::u16string name) {
            if (foldNames) {
                for (char16_t& unit : name) unit = FoldAscii(unit);
            }
            return name;
        };
        auto pushOpen = [&](const OpenElement& element) {
            openByName[NameKey(nameOf(element))].push_back(open.size());
            open.push_back(element);
        };
        auto popOpen = [&]() {
            auto named = openByName.find(NameKey(nameOf(open.back())));
            if (named != openByName.end()) {
                named->second.pop_back();
                if (named->second.empty()) openByName.erase(named);
            }
            open.pop_back();
        };
        XmlToken token;
        int64_t pos = 0;
        for (;;) {
            scanner.Scan(pos, token);
            int32_t current = open.empty() ? 0 : open.back().node;
            if (token.kind == XML_TOKEN_END_OF_TEXT) {
                if (!open.empty()) {
                    setMessage(u"Element '" + nameOf(open.back()) + u"' at offset " +
                               Decimal(Node(open.back().node).start) + u" not ended");
                    MarkError(0);
                }
                MarkNotEnded(open, 0);
                open.clear();
                break;
            }
            switch (token.kind) {
            case XML_TOKEN_START_TAG: {
                int32_t index = NewNode();
                LinkChild(current, index);
                XmlNode& node = MutableNode(index);
                node.start = token.start;
                node.length = token.length;
                // Depth and tag length are packed; past their fields they
                // saturate (the text is found again from the tag itself).
                node.flags |= uint32_t(std::min<size_t>(open.size(), XML_NODE_DEPTH_MASK));
                node.tagLengths = std::min<uint32_t>(uint32_t(token.length), XML_START_TAG_MAX);
                if (token.flags & XML_TOKEN_EMPTY_ELEMENT)
                    node.flags |= XML_NODE_EMPTY;
                else
                    pushOpen({index, token.length, scanner.nameStart, scanner.nameLength});
                break;
            }
            case XML_TOKEN_END_TAG: {
                // The innermost open element of that name, found through the
                // index rather than by walking the stack for every end tag.
                std::u16string endName(text, size_t(scanner.nameStart), size_t(scanner.nameLength));
                size_t match = 0;
                auto named = openByName.find(NameKey(endName));
                if (named != openByName.end() && !named->second.empty()) match = named->second.back() + 1;
                if (match == 0) {
                    MarkError(0);
                    if (current != 0) MarkError(current);
                    setMessage(u"No start tag for end tag '" + endName + u"' at offset " + Decimal(token.start));
                    break;
                }
                if (match < open.size()) {
                    setMessage(u"End tag '" + endName + u"' at offset " + Decimal(scanner.nameStart - 1) +
                               u" does not match start tag '" + nameOf(open.back()) + u"' at offset " +
                               Decimal(Node(open.back().node).start));
                    MarkError(0);
                }
                MarkNotEnded(open, match);
                XmlNode& node = MutableNode(open[match - 1].node);
                node.length = int32_t(int64_t(token.start) + token.length - node.start);
                node.tagLengths |= std::min<uint32_t>(uint32_t(token.length), XML_END_TAG_MAX) << 22;
                while (open.size() >= match) popOpen();
                break;
            }
            case XML_TOKEN_ERROR:
                MarkError(0);
                if (current != 0) MarkError(current);
                setMessage(token.tokenText);
                break;
            default:
                break;  // text, CDATA, comments, instructions and declarations make no node
            }
            pos = int64_t(token.start) + std::max<int32_t>(token.length, 1);
        }
    }

    XmlNode& document = MutableNode(0);
    document.length = int32_t(std::min(text.size(), kMaxTextLength));
    if (m_nodesInUse == 1) {
        setMessage(u"No root element");
    } else {
        document.firstChild = 1;
        if (Node(1).nextSibling != 0) message = u"Root element has sibling";
    }
    ResetPosition();
    if (oldResult.empty())
        resultText = message;
    else if (message.empty())
        resultText = oldResult;
    else
        resultText = oldResult + u" " + message;
    const XmlNode& root = Node(0);
    return !(root.flags & XML_DOC_ERROR) && root.firstChild != 0 && Node(root.firstChild).nextSibling == 0;
}

void XmlDocument::ResetPosition() {
    parentPos = 0;
    currentPos = 0;
    childPos = 0;
    currentType = 0;
}

int32_t XmlDocument::FindNamedElement(int32_t parent, int32_t after, std::u16string_view name) const {
    if (!ValidNode(parent) || !ValidNode(after)) return 0;
    int32_t node = after != 0 ? Node(after).nextSibling : Node(parent).firstChild;
    for (; node != 0 && ValidNode(node); node = Node(node).nextSibling) {
        if (name.empty() || NameMatches(TagName(node), name)) return node;
    }
    return 0;
}

bool XmlDocument::FindElement(std::u16string_view name) {
    if (m_blocks.empty()) return false;
    int32_t found = FindNamedElement(parentPos, currentPos, name);
    if (found == 0) return false;
    currentPos = found;
    parentPos = Node(found).parent;
    childPos = 0;
    currentType = 1;
    return true;
}

bool XmlDocument::FindChildElement(std::u16string_view name) {
    if (currentPos == 0 && !FindElement()) return false;
    int32_t found = FindNamedElement(currentPos, childPos, name);
    if (found == 0) return false;
    childPos = found;
    return true;
}

void XmlDocument::EnterElement() {
    if (currentPos == 0 || currentType != 1) return;
    parentPos = currentPos;
    currentPos = childPos;
    childPos = 0;
    currentType = currentPos != 0 ? 1 : 0;
}

std::u16string XmlDocument::GetChildText() const {
    return GetNodeText(childPos);
}

std::u16string XmlDocument::GetNodeText(int32_t index) const {
    if (index <= 0 || index >= m_nodesInUse) return {};
    const XmlNode& node = Node(index);
    if (node.firstChild != 0 || (node.flags & (XML_NODE_EMPTY | XML_NODE_NOT_ENDED))) return {};
    const int64_t textEnd = int64_t(text.size());
    const int64_t elementStart = std::min<int64_t>(node.start, textEnd);
    const int64_t elementEnd = std::min<int64_t>(int64_t(node.start) + node.length, textEnd);
    Scanner scanner(text, textEnd);

    // A saturated packed length is found again from the tags themselves, so that
    // the content never takes in a part of either tag.
    int64_t contentStart = elementStart + int64_t(node.tagLengths & XML_START_TAG_MAX);
    if ((node.tagLengths & XML_START_TAG_MAX) == XML_START_TAG_MAX) {
        XmlToken startTag;
        scanner.Scan(elementStart, startTag);
        contentStart = elementStart + startTag.length;
    }
    int64_t contentEnd = elementEnd - int64_t(node.tagLengths >> 22);
    if ((node.tagLengths >> 22) == XML_END_TAG_MAX) {
        for (int64_t q = elementEnd - 2; q >= contentStart && q >= 0; --q) {
            if (text[size_t(q)] == u'>') break;
            if (text[size_t(q)] == u'<' && q + 1 < textEnd && text[size_t(q + 1)] == u'/') {
                contentEnd = q;
                break;
            }
        }
    }
    contentStart = std::clamp(contentStart, elementStart, elementEnd);
    contentEnd = std::clamp(contentEnd, contentStart, elementEnd);

    std::u16string_view content(text.data() + contentStart, size_t(contentEnd - contentStart));
    if (content.find(u'<') == std::u16string_view::npos) return DecodeEntities(content);

    std::u16string result;
    Scanner inner(text, contentEnd);
    XmlToken token;
    for (int64_t pos = contentStart;;) {
        inner.Scan(pos, token);
        if (token.kind == XML_TOKEN_END_OF_TEXT) break;
        std::u16string_view part(text.data() + token.start, size_t(token.length));
        if (token.kind == XML_TOKEN_TEXT || token.kind == XML_TOKEN_BLANKS) {
            result += DecodeEntities(part);
        } else if (token.kind == XML_TOKEN_CDATA) {
            size_t open = std::min<size_t>(9, part.size());
            size_t close = part.size() >= open + 3 ? part.size() - 3 : open;
            result += part.substr(open, close - open);
        }
        pos = int64_t(token.start) + std::max<int32_t>(token.length, 1);
    }
    return result;
}

std::u16string XmlDocument::DecodeFileBytes(std::string_view bytes, uint32_t& readerFlags,
                                            std::u16string& diagnostics) {
    std::string_view sample = bytes.substr(0, 1024);
    std::u16string encoding;
    bool fromMark = false;
    size_t unitSize = 1;
    for (const ByteOrderMark& mark : kBomTable) {
        // Compared only over the bytes there are: a file may be shorter than a mark.
        if (sample.substr(0, mark.bytes.size()) == mark.bytes) {
            encoding = mark.name;
            fromMark = true;
            readerFlags |= mark.flag;
            unitSize = mark.bytes.size() == 2 ? 2 : 1;
            bytes.remove_prefix(mark.bytes.size());
            break;
        }
    }
    if (!fromMark) {
        encoding = DeclaredEncoding(sample);
        if (encoding.empty() && !bytes.empty() && bytes[0] == '<') encoding = u"UTF-8";
    }

    std::u16string result;
    std::u16string diag;
    if (!encoding.empty()) diag = encoding + (fromMark ? u" BOM +" : u"") + u" ";
    const bool openDiagEmpty = diag.empty();
    auto addNulls = [&diag](size_t nulls) {
        if (nulls > 0) diag += u"(" + Decimal(int64_t(nulls)) + u" nulls removed) ";
    };

    if (bytes.empty()) {
        diag += u"0 length ";
    } else if (unitSize == 2) {
        const bool swap = (readerFlags & XML_READ_UTF16BE_BOM) != 0;
        const size_t units = bytes.size() / 2;  // an odd last byte is no unit
        result.reserve(units);
        size_t nulls = 0;
        for (size_t i = 0; i < units; ++i) {
            uint16_t unit = uint16_t(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8);
            if (unit == 0) {
                ++nulls;
                continue;
            }
            if (swap) unit = uint16_t(unit << 8 | unit >> 8);
            result.push_back(char16_t(unit));
        }
        addNulls(nulls);
        if (swap) diag += u"endian swap ";
        diag += u"length " + Decimal(int64_t(units)) + u" ";
    } else {
        std::string narrow;
        narrow.reserve(bytes.size());
        for (char byte : bytes) {
            if (byte != '\0') narrow.push_back(byte);
        }
        addNulls(bytes.size() - narrow.size());
        if (encoding.empty()) {
            if (LooksLikeUtf8(narrow)) encoding = u"UTF-8";
            diag += u"(used UTF-8 detection) ";
        }
        uint32_t codePage = encoding.empty() ? CODE_PAGE_ANSI : CharsetCodePage(encoding);
        result = DecodeCodePage(codePage, narrow);
        diag += u"to " + Decimal(int64_t(result.size())) + u" wide chars ";
    }
    if (openDiagEmpty) diag = (encoding.empty() ? std::u16string(u"ANSI") : encoding) + u" " + diag;
    diagnostics = diag;
    return result;
}

bool XmlDocument::ReadFileText(std::u16string_view path, std::u16string& resultOut, uint32_t& flags) {
    uint32_t readerFlags = (flags & ~(XML_READ_UTF16LE_BOM | XML_READ_UTF8_BOM | XML_READ_UTF16BE_BOM)) |
                           XML_READ_OPEN_READ;
    text.clear();
    std::string bytes;
    std::u16string error;
    if (!ReadFileBytes(path, bytes, error)) {
        DropTree();
        resultText = error;
        resultOut = resultText;
        return false;
    }
    std::u16string diagnostics;
    text = DecodeFileBytes(bytes, readerFlags, diagnostics);
    readerFlags &= ~(XML_READ_OPEN_READ | XML_READ_OPEN_WRITE | XML_READ_OPEN_APPEND);
    resultText = diagnostics;
    resultOut = resultText;
    flags = readerFlags;
    return true;
}
