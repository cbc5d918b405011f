#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>

#include "text/xml_document.h"
#include "text_test_files.h"

using namespace std::string_view_literals;

namespace {

// ---- reading: marks, NULs, declared encodings, detection, the ANSI fallback ----

struct DecodeCase {
    const char* what;
    std::string_view bytes;
    const char* text;  // UTF-8 of the expected text
    const char* diagnostics;
    uint32_t flags;
};

const DecodeCase kDecodeCases[] = {
    {"empty file", ""sv, "", "ANSI 0 length ", 0},
    {"UTF-16LE mark, NUL unit dropped", "\xFF\xFE<\0a\0\0\0>\0"sv, "<a>",
     "UTF-16LE BOM + (1 nulls removed) length 4 ", XML_READ_UTF16LE_BOM},
    {"UTF-16BE mark, bytes swapped", "\xFE\xFF\0<\0a\0>\x04\x1F"sv, "<a>\xD0\x9F",
     "UTF-16BE BOM + endian swap length 4 ", XML_READ_UTF16BE_BOM},
    {"odd-sized UTF-16 file", "\xFF\xFE<\0a"sv, "<", "UTF-16LE BOM + length 1 ", XML_READ_UTF16LE_BOM},
    {"UTF-16 mark alone", "\xFF\xFE"sv, "", "UTF-16LE BOM + 0 length ", XML_READ_UTF16LE_BOM},
    {"UTF-8 mark", "\xEF\xBB\xBF<a>\xC3\xA9</a>"sv, "<a>\xC3\xA9</a>", "UTF-8 BOM + to 8 wide chars ",
     XML_READ_UTF8_BOM},
    {"a 1-byte file is no mark", "\xFF"sv, "\xD1\x8F", "ANSI (used UTF-8 detection) to 1 wide chars ", 0},
    {"'<' first: UTF-8 even when invalid", "<a>\xE9</a>"sv, "<a>\xEF\xBF\xBD</a>", "UTF-8 to 8 wide chars ", 0},
    {"xml declaration names windows-1251",
     "<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\xCF\xF0\xE8</a>"sv,
     "<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\xD0\x9F\xD1\x80\xD0\xB8</a>",
     "windows-1251 to 55 wide chars ", 0},
    {"unquoted encoding value", "<?xml encoding=koi8-r ?><a>\xF0</a>"sv,
     "<?xml encoding=koi8-r ?><a>\xD0\x9F</a>", "koi8-r to 32 wide chars ", 0},
    {"HTML meta charset",
     "<html><head><meta http-equiv='content-type' content='text/html; charset=KOI8-R'></head>\xF0</html>"sv,
     "<html><head><meta http-equiv='content-type' content='text/html; charset=KOI8-R'></head>\xD0\x9F</html>",
     "KOI8-R to 95 wide chars ", 0},
    {"a first tag other than html ends the search",
     "<x><meta http-equiv='Content-Type' content='charset=koi8-r'></x>"sv,
     "<x><meta http-equiv='Content-Type' content='charset=koi8-r'></x>", "UTF-8 to 64 wide chars ", 0},
    {"no '<', valid UTF-8 detected", "  x\xC3\xA9"sv, "  x\xC3\xA9",
     "UTF-8 (used UTF-8 detection) to 4 wide chars ", 0},
    {"no '<', not UTF-8: the ANSI page", " \xE9t\xE9"sv, " \xD0\xB9t\xD0\xB9",
     "ANSI (used UTF-8 detection) to 4 wide chars ", 0},
    {"NUL bytes dropped", "<a>x\0y</a>"sv, "<a>xy</a>", "UTF-8 (1 nulls removed) to 9 wide chars ", 0},
};

TEST(XmlReadTest, DecodesEachEncoding) {
    FixedAnsiCodePages cyrillicAnsi(1251);
    ScopedCodePages scoped(&cyrillicAnsi);
    for (const DecodeCase& c : kDecodeCases) {
        SCOPED_TRACE(c.what);
        uint32_t flags = 0;
        std::u16string diagnostics;
        std::u16string text = XmlDocument::DecodeFileBytes(c.bytes, flags, diagnostics);
        EXPECT_EQ(Narrow(text), c.text);
        EXPECT_EQ(Narrow(diagnostics), c.diagnostics);
        EXPECT_EQ(flags, c.flags);
    }
}

TEST(XmlReadTest, ReadsAFileAndHandsBackTheReaderFlags) {
    TempFolder folder;
    std::u16string path = folder.Write("a.xml", "\xEF\xBB\xBF<a>t</a>"sv);
    XmlDocument doc;
    // The caller's mark flags are replaced; its other flags stay; the open flag is cleared.
    uint32_t flags = XML_READ_IGNORE_CASE | XML_READ_UTF16LE_BOM;
    std::u16string diagnostics;
    ASSERT_TRUE(doc.ReadFileText(path, diagnostics, flags));
    EXPECT_EQ(flags, XML_READ_IGNORE_CASE | XML_READ_UTF8_BOM);
    EXPECT_EQ(doc.text, u"<a>t</a>");
    EXPECT_EQ(diagnostics, u"UTF-8 BOM + to 8 wide chars ");
    EXPECT_EQ(doc.resultText, diagnostics);
    EXPECT_TRUE(doc.Parse());
    EXPECT_EQ(doc.resultText, u"UTF-8 BOM + to 8 wide chars ");
}

TEST(XmlReadTest, AFolderOrAMissingFileIsNoFileAndEmptiesTheDocument) {
    TempFolder folder;
    std::u16string good = folder.Write("a.xml", "<a><b>t</b></a>"sv);
    const std::u16string separator(1, char16_t(std::filesystem::path::preferred_separator));
    for (const std::u16string& bad :
         {folder.Folder(), folder.Folder() + separator, folder.Path("missing.xml"), std::u16string()}) {
        SCOPED_TRACE(Narrow(bad));
        XmlDocument doc;
        uint32_t flags = 0;
        std::u16string diagnostics;
        ASSERT_TRUE(doc.ReadFileText(good, diagnostics, flags));
        ASSERT_TRUE(doc.Parse());
        flags = XML_READ_IGNORE_CASE;
        EXPECT_FALSE(doc.ReadFileText(bad, diagnostics, flags));
        EXPECT_EQ(flags, XML_READ_IGNORE_CASE);  // reader flags come back on success only
        EXPECT_FALSE(diagnostics.empty());       // the system's reason
        EXPECT_EQ(diagnostics.find_first_of(u"\r\n"), std::u16string::npos);
        EXPECT_TRUE(doc.text.empty());
        EXPECT_FALSE(doc.FindElement());
        EXPECT_FALSE(doc.FindChildElement(u"b"));
    }
}

// ---- parsing: results and the exact messages ----

struct ParseCase {
    const char16_t* text;
    bool result;
    const char16_t* message;  // appended to an earlier result text "pre"
};

const ParseCase kParseCases[] = {
    {u"", false, u"Empty document"},
    {u"<a/>", true, u""},
    {u"<a attr='x>y'>t</a>", true, u""},
    {u"<!DOCTYPE a [<!ENTITY x 'y>'>]><?pi x?><!-- c --><a/>", true, u""},
    {u"<a><b></a>", false, u"End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
    {u"<a></b></a>", false, u"No start tag for end tag 'b' at offset 3"},
    {u"<a/><b/>", false, u"Root element has sibling"},
    {u"<1a>", false, u"Incorrect tag name character at offset 0"},
    {u"<a>< b</a>", false, u"Incorrect tag name character at offset 3"},
    {u"<a><!- x --></a>", false, u"Incorrect comment tag at offset 3"},
    {u"<a><![x]]></a>", false, u"Incorrect tag at offset 3"},
    {u"<a><!x></a>", false, u"Incorrect ! tag at offset 3"},
    {u"<a>", false, u"Element 'a' at offset 0 not ended"},
    {u"<a x='1", false, u"Element tag at offset 0 unterminated"},
    {u"<a></a", false, u"Element end tag at offset 3 unterminated"},
    {u"<a><?pi", false, u"Processing instruction at offset 3 unterminated"},
    {u"<a><!-- x", false, u"Comment at offset 3 unterminated"},
    {u"<a><!DOCTYPE [>", false, u"Doctype at offset 3 unterminated"},
    {u"<a><!ENTITY", false, u"tag at offset 3 unterminated"},
    {u"<a>x<", false, u"tag at offset 4 unterminated"},
    {u"<a><!", false, u"tag at offset 3 unterminated"},
    // A CDATA start that is short or unterminated never reads past the text.
    {u"<a><![C", false, u"CDATA Section at offset 3 unterminated"},
    {u"<a><![C]]></a>", false, u"CDATA Section at offset 3 unterminated"},
    {u"<a><![CDATA[x", false, u"CDATA Section at offset 3 unterminated"},
    {u"<a><![CDATA[x]]></a>", true, u""},
    {u"just text", false, u"No root element"},
};

TEST(XmlParseTest, ResultsAndMessages) {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(Narrow(c.text));
        XmlDocument doc;
        doc.text = c.text;
        doc.resultText = u"pre";
        EXPECT_EQ(doc.Parse(), c.result);
        std::u16string expected = *c.message ? std::u16string(u"pre ") + c.message : u"pre";
        EXPECT_EQ(doc.resultText, expected);
    }
}

TEST(XmlParseTest, ANewDocumentIsEmpty) {
    XmlDocument doc;
    EXPECT_EQ(doc.resultText, u"Empty document");
    EXPECT_EQ(doc.NodesAllocated(), 8);
    EXPECT_EQ(doc.NodesInUse(), 1);
    EXPECT_EQ(doc.docFlags, 0u);
    EXPECT_FALSE(doc.FindElement());
}

TEST(XmlParseTest, UnendedElementKeepsItsStartTagAndTheTreeStays) {
    XmlDocument doc;
    doc.text = u"<a><b></a>";
    doc.Parse();
    const XmlNode& a = doc.Node(1);
    const XmlNode& b = doc.Node(2);
    EXPECT_EQ(a.firstChild, 2);
    EXPECT_EQ(a.length, 10);
    EXPECT_EQ(a.tagLengths, 3u | 4u << 22);
    EXPECT_EQ(b.parent, 1);
    EXPECT_TRUE(b.flags & XML_NODE_NOT_ENDED);
    EXPECT_EQ(b.length, 3);
    EXPECT_TRUE(doc.Node(0).flags & XML_DOC_ERROR);
}

TEST(XmlParseTest, ChildrenOfUnendedElementsMoveUpAsSiblings) {
    // A language file cut off in the middle: nothing stays inside config.
    XmlDocument doc;
    doc.text = u"<r><config><str_ok>OK</str_ok><x>";
    doc.resultText.clear();
    EXPECT_FALSE(doc.Parse());
    EXPECT_EQ(doc.resultText, u"Root element has sibling");
    // Document children in order: r, config, str_ok, x; each one's parent is 0.
    int32_t expected[] = {1, 2, 3, 4};
    int32_t node = doc.Node(0).firstChild;
    for (int32_t want : expected) {
        ASSERT_EQ(node, want);
        EXPECT_EQ(doc.Node(node).parent, 0);
        EXPECT_EQ(doc.Node(node).firstChild, 0);
        node = doc.Node(node).nextSibling;
    }
    EXPECT_EQ(node, 0);
    EXPECT_EQ(doc.Node(1).prevSibling, 4);  // the ring still closes on the last child
    EXPECT_EQ(doc.GetNodeText(3), u"OK");
}

TEST(XmlParseTest, SiblingRingFlagsAndEmptyElements) {
    XmlDocument doc;
    doc.text = u"<a><b/><c x=\"1\"/><d /><e x=1/></a>";
    doc.Parse();
    // b, c, d are empty-element tags; in <e x=1/> the "/" is part of the value.
    for (int32_t node : {2, 3, 4}) EXPECT_TRUE(doc.Node(node).flags & XML_NODE_EMPTY) << node;
    EXPECT_FALSE(doc.Node(5).flags & XML_NODE_EMPTY);
    EXPECT_TRUE(doc.Node(5).flags & XML_NODE_NOT_ENDED);
    EXPECT_EQ(doc.Node(2).prevSibling, 5);
    EXPECT_EQ(doc.Node(3).prevSibling, 2);
    EXPECT_TRUE(doc.Node(2).flags & XML_NODE_FIRST_CHILD);
    EXPECT_FALSE(doc.Node(3).flags & XML_NODE_FIRST_CHILD);
    EXPECT_EQ(doc.Node(2).flags & XML_NODE_DEPTH_MASK, 1u);
    EXPECT_EQ(doc.Node(1).flags & XML_NODE_DEPTH_MASK, 0u);
}

TEST(XmlParseTest, GrowsPastOneBlockOfNodes) {
    constexpr int kChildren = 70000;
    XmlDocument doc;
    doc.text = u"<r>";
    for (int i = 0; i < kChildren; ++i) doc.text += u"<b/>";
    doc.text += u"<last>t</last></r>";
    ASSERT_TRUE(doc.Parse());
    EXPECT_EQ(doc.NodesInUse(), kChildren + 3);
    // Node 65536 is the first of the second block and one of the children.
    EXPECT_EQ(doc.Node(1 << 16).parent, 1);
    EXPECT_EQ(doc.TagName(1 << 16), u"b");
    ASSERT_TRUE(doc.FindChildElement(u"last"));
    EXPECT_EQ(doc.childPos, kChildren + 2);
    EXPECT_EQ(doc.GetChildText(), u"t");
    // A second parse reuses the blocks.
    doc.text = u"<a/>";
    EXPECT_TRUE(doc.Parse());
    EXPECT_EQ(doc.NodesInUse(), 2);
}

TEST(XmlParseTest, PackedFieldsSaturateAndTextStaysInsideTheElement) {
    XmlDocument deep;
    constexpr int kDepth = 70000;
    for (int i = 0; i < kDepth; ++i) deep.text += u"<a>";
    for (int i = 0; i < kDepth; ++i) deep.text += u"</a>";
    ASSERT_TRUE(deep.Parse());
    const XmlNode& innermost = deep.Node(kDepth);
    EXPECT_EQ(innermost.flags & XML_NODE_DEPTH_MASK, XML_NODE_DEPTH_MASK);
    EXPECT_FALSE(innermost.flags & XML_NODE_EMPTY);  // the depth never spills into the flags

    XmlDocument longEnd;  // an end tag longer than its 10-bit field
    longEnd.text = u"<r><a>t</a" + std::u16string(2000, u' ') + u"></r>";
    ASSERT_TRUE(longEnd.Parse());
    EXPECT_EQ(longEnd.GetNodeText(2), u"t");

    XmlDocument longStart;  // a start tag longer than its 22-bit field
    longStart.text = u"<r><a x='" + std::u16string(0x400000, u'y') + u"'>t</a></r>";
    ASSERT_TRUE(longStart.Parse());
    EXPECT_EQ(longStart.GetNodeText(2), u"t");
}

TEST(XmlParseTest, DeepPilesOfUnendedElementsAndStrayEndTagsCostNoMoreThanTheirSize) {
    // A walk of the open elements for every end tag, or a re-parenting of every
    // moved child at every level, would take minutes here.
    constexpr int kDepth = 100000;
    XmlDocument doc;
    for (int i = 0; i < kDepth; ++i) doc.text += u"<a><i/>";
    for (int i = 0; i < kDepth; ++i) doc.text += u"</b>";
    doc.resultText.clear();
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(doc.Parse());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(doc.resultText, u"Root element has sibling");
    // Everything ends up flat under the document, in document order.
    int32_t count = 0;
    int32_t expected = 1;
    for (int32_t node = doc.Node(0).firstChild; node != 0; node = doc.Node(node).nextSibling, ++expected) {
        ASSERT_EQ(node, expected);
        ASSERT_EQ(doc.Node(node).parent, 0);
        ++count;
    }
    EXPECT_EQ(count, 2 * kDepth);
    EXPECT_TRUE(doc.Node(1).flags & XML_NODE_NOT_ENDED);
}

// ---- element text ----

struct TextCase {
    const char16_t* xml;
    const char16_t* text;  // of the root element
};

const TextCase kTextCases[] = {
    {u"<a>x &amp; y &#65; &#x42; &bogus; z</a>", u"x & y A B &bogus; z"},
    {u"<a>one<![CDATA[<two>]]><!-- c -->three</a>", u"one<two>three"},
    {u"<a>x<?pi?>y</a>", u"xy"},
    {u"<a attr='x>y'>t</a>", u"t"},
    {u"<a>&lt;b&gt;</a>", u"<b>"},
    {u"<a>  kept \r\n blanks </a>", u"  kept \r\n blanks "},
    {u"<a><b>t</b></a>", u""},
    {u"<a/>", u""},
    // Numeric references past U+10FFFF, overflowing or 0 stay as written.
    {u"<a>&#99999999999; &#x110000; &#0; &#x; &#65</a>", u"&#99999999999; &#x110000; &#0; &#x; &#65"},
    {u"<a>&#x10FFFF;&#128512;</a>", u"\U0010FFFF\U0001F600"},
    // Names fold to lowercase; of a case pair the small letter wins.
    {u"<a>&AMP; &Eacute;&eacute; &apos;&quot; &thetasym;</a>", u"& \u00E9\u00E9 '\" \u03D1"},
    {u"<a>&toolongname; &amp</a>", u"&toolongname; &amp"},
};

TEST(XmlTextTest, ElementText) {
    for (const TextCase& c : kTextCases) {
        SCOPED_TRACE(Narrow(c.xml));
        XmlDocument doc;
        doc.text = c.xml;
        doc.Parse();
        EXPECT_EQ(doc.GetNodeText(1), c.text);
    }
}

TEST(XmlTextTest, NoTextOutsideElements) {
    XmlDocument doc;
    doc.text = u"<a>t</a>";
    doc.Parse();
    EXPECT_EQ(doc.GetNodeText(0), u"");  // the document itself
    EXPECT_EQ(doc.GetNodeText(2), u"");  // past the nodes in use
    EXPECT_EQ(doc.GetNodeText(-1), u"");
}

// ---- the cursor ----

TEST(XmlCursorTest, FindsElementsByNameInOrder) {
    XmlDocument doc;
    doc.text = u"<r><x>1</x><y>2</y><x>3</x></r>";
    ASSERT_TRUE(doc.Parse());
    ASSERT_TRUE(doc.FindChildElement(u"x"));  // takes the root first
    EXPECT_EQ(doc.currentPos, 1);
    EXPECT_EQ(doc.GetChildText(), u"1");
    ASSERT_TRUE(doc.FindChildElement(u"x"));
    EXPECT_EQ(doc.GetChildText(), u"3");
    int32_t before = doc.childPos;
    EXPECT_FALSE(doc.FindChildElement(u"x"));
    EXPECT_EQ(doc.childPos, before);  // unchanged when nothing is found
    doc.EnterElement();
    EXPECT_EQ(doc.parentPos, 1);
    EXPECT_EQ(doc.currentPos, before);
    EXPECT_EQ(doc.currentType, 1);
    EXPECT_FALSE(doc.FindElement(u"y"));  // no y after the last x
    doc.ResetPosition();
    EXPECT_FALSE(doc.FindElement(u"x"));  // the document's only child is r
    EXPECT_TRUE(doc.FindElement(u"r"));
    ASSERT_TRUE(doc.FindChildElement());
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(u"y"));
    EXPECT_EQ(doc.GetNodeText(doc.currentPos), u"2");
    doc.EnterElement();  // y has no current child: the cursor goes nowhere
    EXPECT_EQ(doc.currentPos, 0);
    EXPECT_EQ(doc.currentType, 0);
}

TEST(XmlCursorTest, ANameMatchesOnlyItself) {
    XmlDocument doc;
    doc.text = u"<r><str_msg10>ten</str_msg10><str_msg1>one</str_msg1><x>x</x></r>";
    ASSERT_TRUE(doc.Parse());
    EXPECT_EQ(doc.FindNamedElement(1, 0, u"str_msg1"), 3);
    EXPECT_EQ(doc.FindNamedElement(1, 0, u"str_msg10"), 2);
    EXPECT_EQ(doc.FindNamedElement(1, 0, u"str_msg"), 0);
    EXPECT_EQ(doc.FindNamedElement(1, 0, u"X"), 0);
    // A wanted name may go on with a character that ends a name.
    EXPECT_EQ(doc.FindNamedElement(1, 0, u"x attr"), 4);
    EXPECT_EQ(doc.FindNamedElement(1, 0, u"x]"), 4);
    EXPECT_EQ(doc.FindNamedElement(1, 0, u""), 2);
}

TEST(XmlCursorTest, IgnoreCaseFlagFoldsAsciiNames) {
    XmlDocument doc;
    doc.docFlags = XML_READ_IGNORE_CASE;
    doc.text = u"<R><Item>t</ITEM></r>";
    ASSERT_TRUE(doc.Parse());
    EXPECT_EQ(doc.FindNamedElement(1, 0, u"item"), 2);
    EXPECT_EQ(doc.GetNodeText(2), u"t");
}

}  // namespace
