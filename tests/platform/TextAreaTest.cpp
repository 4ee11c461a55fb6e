// The text area: paragraphs and selections counted in characters, its
// property table, and what the player may do with it.
#include <memory>
#include <string>

#include <QApplication>
#include <QKeyEvent>
#include <QTextEdit>

#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/PropertyList.h"
#include "platform/TextArea.h"
#include "platform/Window.h"
#include "platform/qt/TextAreaWidget.h"
#include "TextAreaHost.h"
#include "tests/support/ControlFrames.h"

namespace {

class TextAreaTest : public testing::Test {
protected:
    void SetUp() override
    {
        fw::RuntimeResetForTests();
        m_text = OpenTextAreaHost(m_host, "TextArea1");
        m_text->SetLeft(20);
        m_text->SetTop(20);
        m_text->SetWidth(200);
        m_text->SetHeight(100);
    }
    void TearDown() override
    {
        CloseTextAreaHost(m_host, m_text);
        fw::RuntimeResetForTests();
    }

    QWidget* Widget() const { return m_text->Widget(); }

    void Type(int key, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(Widget(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(Widget(), &release);
    }

    std::shared_ptr<TextAreaHost> m_host;
    std::shared_ptr<fw::TextArea> m_text;
};

TEST_F(TextAreaTest, CarriageReturnsAreParagraphBreaksBothWays)
{
    m_text->SetText("one\rtwo\r\rthree");
    EXPECT_EQ(m_text->Text(), "one\rtwo\r\rthree");
    // Other line ends come back as carriage returns.
    m_text->SetText("a\r\nb\nc\r");
    EXPECT_EQ(m_text->Text(), "a\rb\rc\r");
    m_text->SetText("");
    EXPECT_EQ(m_text->Text(), "");
}

TEST_F(TextAreaTest, SelectionCountsCharactersNotBytes)
{
    // "é" is two bytes, "😀" four bytes and two UTF-16 units: all one character.
    m_text->SetText("h\xC3\xA9llo \xF0\x9F\x98\x80 w\rend");
    EXPECT_EQ(m_text->SelStart(), 0);
    EXPECT_EQ(m_text->SelLength(), 0);
    m_text->SetSelStart(6);
    m_text->SetSelLength(3);
    EXPECT_EQ(m_text->SelStart(), 6);
    EXPECT_EQ(m_text->SelLength(), 3);
    EXPECT_EQ(m_text->SelText(), "\xF0\x9F\x98\x80 w");
    // A paragraph break is one character too.
    m_text->SetSelStart(9);
    m_text->SetSelLength(2);
    EXPECT_EQ(m_text->SelText(), "\re");
    m_text->SelectAll();
    EXPECT_EQ(m_text->SelStart(), 0);
    EXPECT_EQ(m_text->SelLength(), 13);
    // Beyond the end clamps to the end.
    m_text->SetSelStart(500);
    EXPECT_EQ(m_text->SelStart(), 13);
    EXPECT_EQ(m_text->SelLength(), 0);
}

TEST_F(TextAreaTest, PropertyListSetsEveryLaidOutValueAndRejectsUnknownNames)
{
    fw::PropertyList list;
    list.Int("Left", 20).Int("Top", 30).Int("Width", 360).Int("Height", 343).Int("TabIndex", 2)
        .Bool("LockLeft", true).Bool("LockTop", true).Bool("LockRight", false).Bool("LockBottom", false)
        .Bool("Border", true).Bool("Multiline", true).Bool("ScrollbarVertical", true)
        .Bool("ScrollbarHorizontal", false).Bool("Styled", true).Bool("ReadOnly", true)
        .Bool("HideSelection", true).Bool("UseFocusRing", true)
        .Colour("TextColor", fw::RGB(10, 20, 30)).Colour("BackColor", fw::RGB(250, 240, 230))
        .Text("TextFont", "Courier").Int("TextSize", 14).Bool("Bold", true).Bool("Italic", false)
        .Bool("Underline", false).Int("Alignment", 2).Int("LimitText", 0).Bool("AcceptTabs", false)
        .Bool("AutomaticallyCheckSpelling", true).Bool("TabStop", true).Bool("Enabled", true)
        .Bool("Visible", true).Text("Format", "").Text("Mask", "").Text("HelpTag", "")
        .Int("TabPanelIndex", 0).Text("InitialParent", "").Int("TextUnit", 0)
        .Text("Text", "first\rsecond");
    fw::RuntimeMassPropertySetter(*m_text, list);
    ExpectFrames({ { m_text, 20, 30, 360, 343, 2 } });
    EXPECT_TRUE(m_text->ReadOnly());
    EXPECT_TRUE(m_text->Styled());
    EXPECT_TRUE(m_text->ScrollbarVertical());
    EXPECT_FALSE(m_text->ScrollbarHorizontal());
    EXPECT_EQ(m_text->TextColor(), fw::RGB(10, 20, 30));
    EXPECT_EQ(m_text->BackColor(), fw::RGB(250, 240, 230));
    EXPECT_EQ(m_text->TextFont(), "Courier");
    EXPECT_EQ(m_text->TextSize(), 14);
    EXPECT_TRUE(m_text->Bold());
    EXPECT_EQ(m_text->Alignment(), 2);
    EXPECT_EQ(m_text->Text(), "first\rsecond");
    EXPECT_EQ(m_text->StoredProperty("AutomaticallyCheckSpelling") != nullptr, true);

    fw::PropertyList wrong;
    wrong.Bool("ReadOnly", false).Bool("Spellcheck", true);
    EXPECT_THROW(fw::RuntimeMassPropertySetter(*m_text, wrong), fw::PropertyListException);
    // A bad list changes nothing, not even the entries before the bad one.
    EXPECT_TRUE(m_text->ReadOnly());
}

TEST_F(TextAreaTest, PlayerEditsRaiseTextChangeAndRespectReadOnlyAndLimit)
{
    int changes = 0;
    m_text->OnTextChange = [&](fw::TextArea&) { ++changes; };
    m_text->SetText("ab");
    EXPECT_EQ(changes, 1);
    m_text->SetSelStart(2);
    Type(Qt::Key_C, "c");
    EXPECT_EQ(m_text->Text(), "abc");
    EXPECT_EQ(changes, 2);

    m_text->SetReadOnly(true);
    Type(Qt::Key_D, "d");
    EXPECT_EQ(m_text->Text(), "abc");

    m_text->SetReadOnly(false);
    m_text->SetLimitText(4);
    m_text->SetSelStart(3);
    Type(Qt::Key_D, "d");
    Type(Qt::Key_E, "e");
    EXPECT_EQ(m_text->Text(), "abcd");

    // A single-line text area takes no paragraph breaks from the keyboard.
    m_text->SetLimitText(0);
    m_text->SetMultiline(false);
    Type(Qt::Key_Return, "\r");
    EXPECT_EQ(m_text->Text(), "abcd");
    m_text->SetMultiline(true);
    Type(Qt::Key_Return, "\r");
    EXPECT_EQ(m_text->Text(), "abcd\r");
}

TEST_F(TextAreaTest, LongTextScrollsVerticallyOnlyAndWraps)
{
    m_host->Show();
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "a fairly long line of words that must wrap inside the frame " + std::to_string(i) + "\r";
    m_text->SetText(text);
    QApplication::processEvents();
    EXPECT_TRUE(m_text->VerticalScrollBarShown());
    EXPECT_FALSE(m_text->HorizontalScrollBarShown());
    m_text->SetScrollbarVertical(false);
    QApplication::processEvents();
    EXPECT_FALSE(m_text->VerticalScrollBarShown());
}

TEST_F(TextAreaTest, GeometryFollowsTheControlInWindowCoordinates)
{
    m_text->SetLeft(35);
    m_text->SetTop(45);
    m_text->SetWidth(150);
    m_text->SetHeight(60);
    QWidget* widget = Widget();
    ASSERT_TRUE(widget->parentWidget());
    EXPECT_EQ(widget->geometry(), QRect(35, 45, 150, 60));
    m_text->SetVisible(false);
    EXPECT_FALSE(widget->isVisibleTo(widget->parentWidget()));
}

} // namespace
