// Reading the update document and comparing versions, without a window.
#include <string>

#include <gtest/gtest.h>

#include "windows/UpdateDocument.h"

namespace {

using UpdateDocument::returnValue;
using UpdateDocument::SameVersion;

const std::string Document = "<?xml version=\"1.0\"?>\n<Update>\n"
                             "  <CurrentVersion>1.4.0</CurrentVersion>\n"
                             "  <Description>Faster snapping.</Description>\n"
                             "  <Free>Yes</Free>\n"
                             "  <DownloadURLOSX>http://www.halvory.example/tavrine-1.4.0.dmg</DownloadURLOSX>\n"
                             "</Update>\n";

TEST(UpdateDocumentRead, TakesEachElementsTextWhateverTheOrder)
{
    EXPECT_EQ(returnValue(Document, "CurrentVersion"), "1.4.0");
    EXPECT_EQ(returnValue(Document, "Description"), "Faster snapping.");
    EXPECT_EQ(returnValue(Document, "Free"), "Yes");
    EXPECT_EQ(returnValue(Document, "DownloadURLOSX"), "http://www.halvory.example/tavrine-1.4.0.dmg");
    EXPECT_EQ(UpdateDocument::startTag("Free"), "<Free>");
    EXPECT_EQ(UpdateDocument::endTag("Free"), "</Free>");
}

TEST(UpdateDocumentRead, KeepsTheTextCharacterForCharacter)
{
    // Line breaks, blanks, entities, CDATA and nested markup all stay.
    std::string text = "\r\n  Fixes:\n- turning &amp; snapping\r\n- <b>bold</b> <![CDATA[x<y]]> &#233; \n";
    EXPECT_EQ(returnValue("<Description>" + text + "</Description>", "Description"), text);
    // Characters beyond ASCII count as one position each.
    EXPECT_EQ(returnValue("<D>\xC3\xA9t\xC3\xA9</D><E>\xE2\x82\xAC</E>", "E"), "\xE2\x82\xAC");
    EXPECT_EQ(returnValue("\xF0\x9F\x98\x80<D>\xC3\xA9</D>", "D"), "\xC3\xA9");
    EXPECT_EQ(returnValue("<Free></Free>", "Free"), "");
}

TEST(UpdateDocumentRead, TheFirstElementWinsAndEarlierEndTagsArePassedOver)
{
    EXPECT_EQ(returnValue("<Description>first</Description><Description>second</Description>", "Description"), "first");
    EXPECT_EQ(returnValue("</Free>junk<Free>Yes</Free>", "Free"), "Yes");
    // Nested elements of the same name end at the first end tag.
    EXPECT_EQ(returnValue("<A>x<A>y</A>z</A>", "A"), "x<A>y");
}

TEST(UpdateDocumentRead, MisspeltAndMissingTagsFollowThePositionArithmetic)
{
    // A start tag with a blank is not found: the search then starts at the
    // position equal to the start tag's length, so the text is what lies
    // between there and the end tag.
    EXPECT_EQ(returnValue("<Free >Yes</Free>", "Free"), " >Yes");
    EXPECT_EQ(returnValue("<Free attr=\"1\">Yes</Free>", "Free"), " attr=\"1\">Yes");
    // Tags are matched with their case.
    EXPECT_EQ(returnValue("<free>Yes</free>", "Free"), "");
    // No end tag after the start tag: nothing.
    EXPECT_EQ(returnValue("<Free>Yes", "Free"), "");
    EXPECT_EQ(returnValue("<Free>Yes</Fre>", "Free"), "");
    EXPECT_EQ(returnValue("", "Free"), "");
    EXPECT_EQ(returnValue("short", "Free"), "");
    // An empty name looks for "<>".
    EXPECT_EQ(returnValue("a<>b</>c", ""), "b");
}

TEST(UpdateDocumentVersion, ComparesTheFirstThreeFieldsExactly)
{
    EXPECT_TRUE(SameVersion("1.3.0", 1, 3, 0));
    EXPECT_TRUE(SameVersion("1.3.0.7", 1, 3, 0)); // a fourth field is never read
    EXPECT_TRUE(SameVersion("1.3.0.x.y", 1, 3, 0));
    EXPECT_FALSE(SameVersion("1.2.9", 1, 3, 0)); // older counts as different
    EXPECT_FALSE(SameVersion("1.4.0", 1, 3, 0));
    EXPECT_FALSE(SameVersion("2.3.0", 1, 3, 0));
    EXPECT_FALSE(SameVersion("1.3.1", 1, 3, 0));
    // Fields are numbers: leading zeros and blanks do not matter.
    EXPECT_TRUE(SameVersion("01.003.00", 1, 3, 0));
    EXPECT_TRUE(SameVersion(" 1. 3. 0", 1, 3, 0));
    // A missing field reads as 0, so 1.3 names 1.3.0.
    EXPECT_TRUE(SameVersion("1.3", 1, 3, 0));
    EXPECT_FALSE(SameVersion("1.3", 1, 3, 1));
    // Text that is no number reads as 0.
    EXPECT_FALSE(SameVersion("v1.3.0", 1, 3, 0));
    EXPECT_FALSE(SameVersion("", 1, 3, 0));
    EXPECT_TRUE(SameVersion("", 0, 0, 0));
}

TEST(UpdateDocumentOffer, FreeAndPaidMessagesReadExactly)
{
    EXPECT_EQ(UpdateDocument::OfferMessage("1.4.0", "1.3.0", true),
        "Version 1.4.0 is now available. (You are using version 1.3.0.) This is a free upgrade. "
        "Would you like to automatically download this update (using your web browser)?");
    EXPECT_EQ(UpdateDocument::OfferMessage("1.4.0", "1.3.0", false),
        "Version 1.4.0 is now available. (You are using version 1.3.0.) This is a paid upgrade. "
        "Would you like to automatically download the trial version (using your web browser)?");
    // The version is shown as the document gives it.
    EXPECT_EQ(UpdateDocument::OfferMessage(" 2.0 beta ", "1.3.0", true).substr(0, 19), "Version  2.0 beta  ");
}

} // namespace
