#include "skinui/markup/ImageDescriptor.h"
#include "skinui/markup/ValueSyntax.h"

#include <gtest/gtest.h>

#include <climits>

using namespace skinui::markup;

namespace {

bool Same(const MarkupRect& r, int l, int t, int rr, int b) {
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

TEST(ValueSyntaxTest, Colours) {
    EXPECT_EQ(ParseColor(u"#FFB4B4B4"), 0xFFB4B4B4u);
    EXPECT_EQ(ParseColor(u"  #ff0000ff"), 0xFF0000FFu);
    EXPECT_EQ(ParseColor(u"00FF00"), 0x0000FF00u);
    EXPECT_EQ(ParseColor(u"#12zz"), 0x12u);
    EXPECT_EQ(ParseColor(u""), 0u);
    EXPECT_EQ(ParseColor(u"#"), 0u);
    EXPECT_EQ(ParseColor(u"#FFFFFFFFFF"), 0xFFFFFFFFu); // saturates like the C runtime
}

TEST(ValueSyntaxTest, IntegersSaturateAndIgnoreTrailingText) {
    EXPECT_EQ(ParseInt(u"142"), 142);
    EXPECT_EQ(ParseInt(u"  -7px"), -7);
    EXPECT_EQ(ParseInt(u"+3"), 3);
    EXPECT_EQ(ParseInt(u"x1"), 0);
    EXPECT_EQ(ParseInt(u"-"), 0);
    EXPECT_EQ(ParseInt(u"99999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseInt(u"-99999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseInt(u"-2147483648"), INT_MIN);
}

TEST(ValueSyntaxTest, RectanglesAndSizesNeverReadPastTheEnd) {
    EXPECT_TRUE(Same(ParseRect(u"1,2,3,4"), 1, 2, 3, 4));
    EXPECT_TRUE(Same(ParseRect(u"1;-2, 3,4"), 1, -2, 3, 4));
    EXPECT_TRUE(Same(ParseRect(u"5"), 5, 0, 0, 0));
    EXPECT_TRUE(Same(ParseRect(u"5,"), 5, 0, 0, 0));
    EXPECT_TRUE(Same(ParseRect(u""), 0, 0, 0, 0));
    MarkupSize corner = ParseSize(u"3,3,3,3");
    EXPECT_EQ(corner.cx, 3);
    EXPECT_EQ(corner.cy, 3);
    MarkupSize half = ParseSize(u"400");
    EXPECT_EQ(half.cx, 400);
    EXPECT_EQ(half.cy, 0);
}

TEST(ValueSyntaxTest, OnlyExactTrueIsTrue) {
    EXPECT_TRUE(ParseBool(u"true"));
    EXPECT_FALSE(ParseBool(u"True"));
    EXPECT_FALSE(ParseBool(u"true "));
    EXPECT_FALSE(ParseBool(u"1"));
}

TEST(ValueSyntaxTest, AttributeListStopsAtFirstMalformedPair) {
    auto pairs = ParseAttributeList(u"width=\"20\" textcolor=\"#FF000000\" bad=x pair=\"x\"");
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].first, u"width");
    EXPECT_EQ(pairs[0].second, u"20");
    EXPECT_EQ(pairs[1].second, u"#FF000000");
    EXPECT_EQ(ParseAttributeList(u"a=\"1\"  b=\"2\"")[1].first, u" b"); // the name is all up to =
    EXPECT_EQ(ParseAttributeList(u"a=\"1\"b=\"2\"").size(), 1u);        // no space
    EXPECT_EQ(ParseAttributeList(u"a = \"1\"").size(), 0u);
    EXPECT_EQ(ParseAttributeList(u"two words=\"1\"")[0].first, u"two words");
    EXPECT_EQ(ParseAttributeList(u"a=\"unterminated").size(), 0u);
    EXPECT_EQ(ParseAttributeList(u"a=").size(), 0u);
    EXPECT_EQ(ParseAttributeList(u"a=\"1\" ").size(), 1u);
    EXPECT_EQ(ParseAttributeList(u"").size(), 0u);
}

TEST(ImageDescriptorTest, BareNameAndEveryKey) {
    auto bare = ParseImageDescriptor(u"bk.png");
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_EQ(bare[0].name, u"bk.png");
    EXPECT_FALSE(bare[0].hasDest);
    EXPECT_EQ(bare[0].fade, 255);

    auto full = ParseImageDescriptor(u"file='btn.png' dest='1,2,3,4' source='0,0,10,20' "
                                     u"corner='2,2,2,2' mask='#FFFF00FF' fade='128' hole='true' "
                                     u"xtiled='true' ytiled='false' unknown='x'");
    ASSERT_EQ(full.size(), 1u);
    const ImageDrawSpec& s = full[0];
    EXPECT_EQ(s.name, u"btn.png");
    EXPECT_TRUE(s.hasDest);
    EXPECT_TRUE(Same(s.dest, 1, 2, 3, 4));
    EXPECT_TRUE(Same(s.source, 0, 0, 10, 20));
    EXPECT_TRUE(Same(s.corner, 2, 2, 2, 2));
    EXPECT_EQ(s.mask, 0xFFFF00FFu);
    EXPECT_EQ(s.fade, 128);
    EXPECT_TRUE(s.hole);
    EXPECT_TRUE(s.xtiled);
    EXPECT_FALSE(s.ytiled);

    // A type after the name: the name as it stands first, then the name with the type.
    auto res = ParseImageDescriptor(u"res='132' restype='PNG'");
    ASSERT_EQ(res.size(), 2u);
    EXPECT_EQ(res[0].name, u"132");
    EXPECT_EQ(res[0].resType, u"");
    EXPECT_EQ(res[1].name, u"132");
    EXPECT_EQ(res[1].resType, u"PNG");
    EXPECT_TRUE(res[1].fromResource);
    // A type before the name applies to it alone.
    auto typed = ParseImageDescriptor(u"restype='PNG' res='132'");
    ASSERT_EQ(typed.size(), 1u);
    EXPECT_EQ(typed[0].resType, u"PNG");

    EXPECT_EQ(ParseImageDescriptor(u"file='a' fade='300'")[0].fade, 255);
    EXPECT_EQ(ParseImageDescriptor(u"file='a' fade='-4'")[0].fade, 0);
    EXPECT_TRUE(ParseImageDescriptor(u"").empty());
    EXPECT_TRUE(ParseImageDescriptor(u"file=''").size() == 1); // empty value ignored: bare name
}

TEST(ImageDescriptorTest, SeveralImagesAndOverride) {
    auto images = ParseImageDescriptor(u"file='a.png' source='0,0,5,5' file='b.png' fade='10'");
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].name, u"a.png");
    EXPECT_EQ(images[0].fade, 255);
    EXPECT_EQ(images[1].name, u"b.png");
    EXPECT_TRUE(Same(images[1].source, 0, 0, 5, 5)); // settings read so far carry over
    EXPECT_EQ(images[1].fade, 10);

    ImageOverride filled;
    filled.dest = MarkupRect{0, 0, 42, 10};
    filled.source = MarkupRect{0, 0, 42, 10};
    auto modified =
        ParseImageDescriptor(u"file='bar.png' dest='0,0,100,10' corner='1,1,1,1'", filled);
    ASSERT_EQ(modified.size(), 1u);
    EXPECT_TRUE(Same(modified[0].dest, 0, 0, 42, 10));
    EXPECT_TRUE(Same(modified[0].source, 0, 0, 42, 10));
    EXPECT_TRUE(Same(modified[0].corner, 1, 1, 1, 1)) << "what the override leaves stays";

    ImageOverride placed;
    placed.dest = MarkupRect{1, 1, 2, 2};
    auto bareModified = ParseImageDescriptor(u"bar.png", placed);
    ASSERT_EQ(bareModified.size(), 1u);
    EXPECT_EQ(bareModified[0].name, u"bar.png");
    EXPECT_TRUE(bareModified[0].hasDest);

    ImageOverride faded;
    faded.fade = 7;
    auto two = ParseImageDescriptor(u"file='a.png' file='b.png'", faded);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].fade, 255) << "only the image named last takes the override";
    EXPECT_EQ(two[1].fade, 7);
}

TEST(ImageDescriptorTest, MalformedPairEndsParsingKeepingWhatWasRead) {
    auto a = ParseImageDescriptor(u"file='a.png'  fade='9'hole='true'"); // no space
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].fade, 9);
    EXPECT_FALSE(a[0].hole);
    auto b = ParseImageDescriptor(u"file = 'a.png' fade=\"3\"");
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].name, u"a.png");
    EXPECT_EQ(b[0].fade, 255);
    auto c = ParseImageDescriptor(u"file='a.png' dest='1,2");
    ASSERT_EQ(c.size(), 1u);
    EXPECT_FALSE(c[0].hasDest);
    auto d = ParseImageDescriptor(u"fade='3' file");
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].name, u"fade='3' file");
}

} // namespace
