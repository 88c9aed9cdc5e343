#include "skinui/markup/SkinMarkup.h"

#include <gtest/gtest.h>

#include <string>

using namespace skinui::markup;

namespace {

std::u16string Str(const char16_t* text) {
    return text ? std::u16string(text) : u"<null>";
}

// The tree as "Name(child,child)" for comparing documents.
std::u16string Shape(SkinMarkupNode node) {
    std::u16string out;
    for (; node.IsValid(); node = node.GetSibling()) {
        out += node.GetName();
        for (int i = 0; i < node.GetAttributeCount(); ++i)
            out += u" " + Str(node.GetAttributeName(i)) + u"=" + Str(node.GetAttributeValue(i));
        if (node.HasChildren())
            out += u"(" + Shape(node.GetChild()) + u")";
        out += u";";
    }
    return out;
}

std::u16string LoadError(const char16_t* text) {
    SkinMarkup markup;
    EXPECT_FALSE(markup.Load(text)) << "accepted";
    return markup.GetLastErrorMessage();
}

TEST(SkinMarkupTest, BuildsTreeWithAttributesTextAndLinks) {
    SkinMarkup markup;
    ASSERT_TRUE(markup.Load(u"<Window size=\"400,300\" caption = \"0,0,0,30\">\n"
                            u"  <Font name=\"Arial\" size=\"12\"/>\n"
                            u"  <VerticalLayout><Label text=\"a\">hello</Label>"
                            u"<Button name=\"b\" /></VerticalLayout>\n"
                            u"</Window>"));
    SkinMarkupNode root = markup.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_EQ(Shape(root), u"Window size=400,300 caption=0,0,0,30(Font name=Arial size=12;"
                           u"VerticalLayout(Label text=a;Button name=b;););");
    SkinMarkupNode label = root.GetChild().GetSibling().GetChild();
    EXPECT_EQ(Str(label.GetValue()), u"hello");
    EXPECT_EQ(Str(label.GetParent().GetName()), u"VerticalLayout");
    EXPECT_EQ(Str(label.GetParent().GetParent().GetName()), u"Window");
    EXPECT_FALSE(root.GetParent().IsValid());
    EXPECT_FALSE(label.HasChildren());
    EXPECT_TRUE(label.HasAttributes());
    EXPECT_EQ(label.GetAttributeValue(u"missing"), nullptr);
    EXPECT_EQ(Str(label.GetAttributeName(5)), u"");
    EXPECT_EQ(Str(root.GetAttributeValue(u"caption")), u"0,0,0,30");
}

TEST(SkinMarkupTest, ByteOrderMarkAndDeclarationChangeNothing) {
    std::string plain = "<Window><Button text=\"\xE4\xB8\xAD\"/></Window>";
    std::string decorated =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"gbk\"?>\n<!-- skin -->" + plain;
    SkinMarkup a, b;
    ASSERT_TRUE(a.LoadFromMem(reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()));
    ASSERT_TRUE(
        b.LoadFromMem(reinterpret_cast<const std::uint8_t*>(decorated.data()), decorated.size()));
    EXPECT_EQ(Shape(a.GetRoot()), Shape(b.GetRoot()));
    EXPECT_EQ(Str(a.GetRoot().GetChild().GetAttributeValue(u"text")), u"\u4E2D");
}

TEST(SkinMarkupTest, Utf16NeedsByteOrderMarkAndSwapsBigEndian) {
    const std::uint8_t little[] = {0xFF, 0xFE, '<', 0, 'a', 0, '/', 0, '>', 0};
    const std::uint8_t big[] = {0xFE, 0xFF, 0, '<', 0, 'a', 0, '/', 0, '>'};
    SkinMarkup markup;
    ASSERT_TRUE(markup.LoadFromMem(little, sizeof little, MarkupEncoding::Utf16));
    EXPECT_EQ(Str(markup.GetRoot().GetName()), u"a");
    ASSERT_TRUE(markup.LoadFromMem(big, sizeof big, MarkupEncoding::Utf16));
    EXPECT_EQ(Str(markup.GetRoot().GetName()), u"a");
    EXPECT_FALSE(markup.LoadFromMem(little + 2, sizeof little - 2, MarkupEncoding::Utf16));
    EXPECT_FALSE(markup.GetRoot().IsValid());
}

TEST(SkinMarkupTest, AnsiGoesThroughInstalledDecoder) {
    SetMarkupAnsiDecoder([](const std::uint8_t*, std::size_t) { return std::u16string(u"<b/>"); });
    const std::uint8_t bytes[] = {'<', 'a', '/', '>'};
    SkinMarkup markup;
    ASSERT_TRUE(markup.LoadFromMem(bytes, sizeof bytes, MarkupEncoding::Ansi));
    EXPECT_EQ(Str(markup.GetRoot().GetName()), u"b");
    SetMarkupAnsiDecoder(nullptr);
    ASSERT_TRUE(markup.LoadFromMem(bytes, sizeof bytes, MarkupEncoding::Ansi));
    EXPECT_EQ(Str(markup.GetRoot().GetName()), u"a");
}

TEST(SkinMarkupTest, EntitiesAreDecodedOneLevel) {
    SkinMarkup markup;
    ASSERT_TRUE(markup.Load(u"<a v=\"&lt;&gt;&amp;&quot;&apos;&amp;quot; &x;\" w=\"2\">"
                            u"x &amp;quot; &lt;y&gt;</a>"));
    SkinMarkupNode root = markup.GetRoot();
    EXPECT_EQ(Str(root.GetAttributeValue(u"v")), u"<>&\"'&quot; &x;");
    EXPECT_EQ(Str(root.GetAttributeValue(u"w")), u"2");
    EXPECT_EQ(Str(root.GetValue()), u"x &quot; <y>");
}

TEST(SkinMarkupTest, WhitespaceAfterSpaceDroppedOnlyWhenNotPreserved) {
    const char16_t* text = u"<a v=\"1 \t  2\">x \n\n y</a>";
    SkinMarkup markup;
    ASSERT_TRUE(markup.Load(text));
    EXPECT_EQ(Str(markup.GetRoot().GetValue()), u"x \n\n y");
    markup.SetPreserveWhitespace(false);
    ASSERT_TRUE(markup.Load(text));
    EXPECT_EQ(Str(markup.GetRoot().GetValue()), u"x y");
    EXPECT_EQ(Str(markup.GetRoot().GetAttributeValue(u"v")), u"1 2");
}

TEST(SkinMarkupTest, OnlyFirst64AttributesAreMapped) {
    std::u16string text = u"<a";
    for (int i = 0; i < 70; ++i) {
        std::string pair = " n" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
        text += std::u16string(pair.begin(), pair.end());
    }
    text += u"/>";
    SkinMarkup markup;
    ASSERT_TRUE(markup.Load(text.c_str()));
    SkinMarkupNode root = markup.GetRoot();
    EXPECT_EQ(root.GetAttributeCount(), 64);
    EXPECT_EQ(Str(root.GetAttributeValue(u"n63")), u"63");
    EXPECT_EQ(root.GetAttributeValue(u"n64"), nullptr);
}

TEST(SkinMarkupTest, AttributeCopyIsLimitedAndTerminated) {
    SkinMarkup markup;
    ASSERT_TRUE(markup.Load(u"<a v=\"abcdef\" e=\"\"/>"));
    char16_t buffer[5] = {u'x', u'x', u'x', u'x', u'x'};
    EXPECT_TRUE(markup.GetRoot().GetAttributeValue(u"v", buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"abcd");
    EXPECT_TRUE(markup.GetRoot().GetAttributeValue(u"e", buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"");
    EXPECT_FALSE(markup.GetRoot().GetAttributeValue(u"none", buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"");
}

TEST(SkinMarkupTest, ManyElementsGrowTheTable) {
    std::u16string text = u"<r>";
    for (int i = 0; i < 3000; ++i)
        text += u"<c/>";
    text += u"</r>";
    SkinMarkup markup;
    ASSERT_TRUE(markup.Load(text.c_str()));
    int count = 0;
    for (SkinMarkupNode n = markup.GetRoot().GetChild(); n.IsValid(); n = n.GetSibling())
        ++count;
    EXPECT_EQ(count, 3000);
}

TEST(SkinMarkupTest, UnclosedElementsAtTopTwoLevelsAreTolerated) {
    SkinMarkup markup;
    EXPECT_TRUE(markup.Load(u"<Window><Layout>text"));
    EXPECT_TRUE(markup.Load(u"<Window><Layout/>"));
    EXPECT_TRUE(markup.Load(u"<a/><b/>"));
    EXPECT_EQ(Str(markup.GetRoot().GetSibling().GetName()), u"b");
    EXPECT_EQ(LoadError(u"<a><b><c>text"), u"Expected end-tag start");
    EXPECT_EQ(LoadError(u"<a><b><c/>"), u"Expected start tag");
}

TEST(SkinMarkupTest, EveryParseErrorHasItsText) {
    EXPECT_EQ(LoadError(u"text"), u"Expected start tag");
    EXPECT_EQ(LoadError(u"<a/>junk"), u"Expected start tag");
    EXPECT_EQ(LoadError(u"< >"), u"Error parsing element name");
    EXPECT_EQ(LoadError(u"<a b>"), u"Error while parsing attributes");
    EXPECT_EQ(LoadError(u"<a b='1'/>"), u"Expected attribute value");
    EXPECT_EQ(LoadError(u"<a b=\"1/>"), u"Error while parsing attribute string");
    EXPECT_EQ(LoadError(u"<a b=\"1\"/x"), u"Expected start-tag closing");
    EXPECT_EQ(LoadError(u"<a b=\"1\""), u"Expected start-tag closing");
    EXPECT_EQ(LoadError(u"<a><b></c></a>"), u"Unmatched closing tag");
    EXPECT_EQ(LoadError(u"<a><b></b x></a>"), u"Unmatched closing tag");
    EXPECT_EQ(LoadError(u"<a><b><c>x</c"), u"Unmatched closing tag");
}

TEST(SkinMarkupTest, ErrorLocationIsNext49Characters) {
    SkinMarkup markup;
    ASSERT_FALSE(markup.Load(u"<a></b   >tail"));
    EXPECT_EQ(Str(markup.GetLastErrorLocation()), u"b   >tail");
    std::u16string longTail = u"<a b='" + std::u16string(200, u'y') + u"'/>";
    ASSERT_FALSE(markup.Load(longTail.c_str()));
    EXPECT_EQ(Str(markup.GetLastErrorLocation()), u"'" + std::u16string(48, u'y'));
    markup.SetError(std::u16string(150, u'm').c_str(), std::u16string(80, u'l').c_str());
    EXPECT_EQ(Str(markup.GetLastErrorMessage()).size(), 99u);
    EXPECT_EQ(Str(markup.GetLastErrorLocation()).size(), 49u);
}

TEST(SkinMarkupTest, TextEndsAtFirstNul) {
    const std::uint8_t bytes[] = {'<', 'a', '/', '>', 0, '<', '<'};
    SkinMarkup markup;
    EXPECT_TRUE(markup.LoadFromMem(bytes, sizeof bytes));
    EXPECT_TRUE(markup.LoadFromMem(nullptr, 0));
    EXPECT_FALSE(markup.GetRoot().IsValid());
}

TEST(SkinMarkupTest, TextWithoutElementParsesWithoutRoot) {
    SkinMarkup markup;
    for (const char16_t* text : {u" <!-- only a comment --> ", u"<?xml version=\"1.0\"?>", u"  "}) {
        EXPECT_TRUE(markup.Load(text)) << Str(text).size();
        EXPECT_FALSE(markup.GetRoot().IsValid());
    }
    EXPECT_EQ(LoadError(u"<!-- c --> text"), u"Expected start tag");
}

} // namespace
