// The help window: one instance, its layout and text, its shared menu bar and
// its Edit handlers.
#include <algorithm>

#include "platform/Dialogs.h"
#include "platform/testsupport/InputDriver.h"
#include "platform/MenuItem.h"
#include "platform/Strings.h"
#include "tests/support/ControlFrames.h"
#include "tests/support/GameFixture.h"
#include "windows/Help.h"
#include "windows/HelpMenuBar.h"

namespace {

class HelpWindowTest : public GameFixture {
protected:
    static std::vector<std::string> Paragraphs(const std::string& text)
    {
        std::vector<std::string> result;
        size_t start = 0;
        for (;;) {
            size_t end = text.find("\r\r", start);
            result.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos)
                return result;
            start = end + 2;
        }
    }

    // What the clipboard holds, read by pasting it over the whole help text
    // (which is put back afterwards).
    static std::string PastedText(Help& help)
    {
        auto text = help.TextArea1();
        const std::string before = text->Text();
        text->SetText("");
        text->SetFocus();
        fw::ChooseMenuItem(help.EditPaste());
        std::string pasted = text->Text();
        text->SetText(before);
        return pasted;
    }

    static std::vector<std::string> ChildNames(const fw::MenuItem& menu)
    {
        std::vector<std::string> names;
        for (const auto& item : menu.Children())
            names.push_back(item->Name());
        return names;
    }
};

TEST_F(HelpWindowTest, ShowHelpTwiceKeepsOneLaidOutWindow)
{
    auto app = AppInstance();
    ASSERT_TRUE(app->HelpShowHelp_Action());
    auto first = fw::RuntimeGetImplicitWindow(Help::FullClassName);
    ASSERT_TRUE(first);
    ASSERT_TRUE(app->HelpShowHelp_Action());
    EXPECT_EQ(fw::RuntimeGetImplicitWindow(Help::FullClassName), first);
    auto open = fw::OpenWindows();
    EXPECT_EQ(std::count_if(open.begin(), open.end(), [](const auto& w) { return w->ClassName() == Help::FullClassName; }), 1);

    auto help = HelpInstance();
    EXPECT_EQ(help, first);
    EXPECT_EQ(help->Title(), "Tavrine Help");
    EXPECT_EQ(help->Width(), 400);
    EXPECT_EQ(help->Height(), 383);
    EXPECT_TRUE(help->Visible());

    auto text = help->TextArea1();
    ASSERT_NO_FATAL_FAILURE(ExpectFrames({ { text, 20, 20, 360, 343, 2 } }));
    EXPECT_FALSE(text->ReadOnly());
    EXPECT_TRUE(text->Styled());
    EXPECT_TRUE(text->Multiline());
    EXPECT_TRUE(text->ScrollbarVertical());
    EXPECT_FALSE(text->ScrollbarHorizontal());

    // The hidden button lies wholly beyond the content area's right edge.
    auto button = help->PushButton1();
    ASSERT_TRUE(button);
    EXPECT_GE(button->Left(), help->Width());
    EXPECT_EQ(button->Caption(), "");
    EXPECT_FALSE(button->Default());
}

TEST_F(HelpWindowTest, TextIsEightParagraphsWithTheirPhrases)
{
    const std::string& text = HelpText();
    auto paragraphs = Paragraphs(text);
    ASSERT_EQ(paragraphs.size(), 8u);
    for (const auto& p : paragraphs) {
        EXPECT_FALSE(p.empty());
        EXPECT_EQ(p.find('\r'), std::string::npos) << "a paragraph holds a stray line break";
    }
    EXPECT_NE(paragraphs[0].find("for both kids and adults"), std::string::npos);
    EXPECT_NE(paragraphs[0].find("surprisingly addicting"), std::string::npos);
    EXPECT_NE(paragraphs[1].find("jpg"), std::string::npos);
    EXPECT_NE(paragraphs[2].find("Retina"), std::string::npos);
    EXPECT_NE(paragraphs[3].find("Scramble"), std::string::npos);
    EXPECT_NE(paragraphs[3].find("shiver with excitement"), std::string::npos);
    EXPECT_NE(paragraphs[3].find("work scratch area"), std::string::npos);
    EXPECT_NE(paragraphs[4].find("Ping"), std::string::npos);
    EXPECT_NE(paragraphs[5].find("New"), std::string::npos);
    EXPECT_NE(paragraphs[6].find("Rotate"), std::string::npos);
    EXPECT_NE(paragraphs[7].find("icon"), std::string::npos);

    // The text area gives the laid-out text back as it was put in.
    EXPECT_EQ(HelpInstance()->TextArea1()->Text(), text);
}

TEST_F(HelpWindowTest, EditsAreDroppedWhenTheWindowCloses)
{
    auto help = HelpInstance();
    help->TextArea1()->SetText("scribbled over");
    EXPECT_EQ(HelpInstance()->TextArea1()->Text(), "scribbled over");
    help->Close();
    EXPECT_FALSE(fw::RuntimeGetImplicitWindow(Help::FullClassName));

    auto fresh = HelpInstance();
    EXPECT_NE(fresh, help);
    EXPECT_EQ(fresh->TextArea1()->Text(), HelpText());
}

TEST_F(HelpWindowTest, MenuBarIsBuiltOnceAndSharedAcrossReopening)
{
    EXPECT_FALSE(SharedHelpMenuBar);
    auto help = HelpInstance();
    auto bar = help->GetMenuBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar, std::static_pointer_cast<fw::MenuBar>(HelpMenuBarInstance()));
    help->Close();
    auto again = HelpInstance();
    EXPECT_EQ(again->GetMenuBar(), bar);
    EXPECT_EQ(again->FilePrint(), help->FilePrint());

    ASSERT_EQ(ChildNames(*bar), (std::vector<std::string> { "FileMenu", "EditMenu" }));
    auto file = bar->Child("FileMenu");
    EXPECT_EQ(file->Text(), "&File");
    ASSERT_EQ(ChildNames(*file), (std::vector<std::string> { "FilePrint" }));
    EXPECT_EQ(again->FilePrint()->Text(), "Print Help");
    EXPECT_EQ(again->FilePrint()->KeyboardShortcut(), "Cmd+P");

    auto edit = bar->Child("EditMenu");
    EXPECT_EQ(edit->Text(), "&Edit");
    EXPECT_EQ(ChildNames(*edit),
        (std::vector<std::string> { "EditUndo", "UntitledMenu1", "EditCut", "EditCopy", "EditPaste", "EditClear",
            "UntitledMenu0", "EditSelectAll" }));
    // Separators carry no shortcut at all; Delete and the top menus an empty one.
    EXPECT_FALSE(again->UntitledMenu1()->HasKeyboardShortcut());
    EXPECT_FALSE(again->UntitledMenu0()->HasKeyboardShortcut());
    EXPECT_TRUE(again->EditClear()->HasKeyboardShortcut());
    EXPECT_EQ(again->EditClear()->KeyboardShortcut(), "");
    EXPECT_TRUE(file->HasKeyboardShortcut());
    EXPECT_EQ(again->EditSelectAll()->Text(), "Select &All");
    for (const auto& item : edit->Children()) {
        EXPECT_TRUE(item->AutoEnable()) << item->Name();
        EXPECT_TRUE(item->Visible()) << item->Name();
    }
    // Nothing of the main bar's Quit, Help or update menus is on this one.
    EXPECT_FALSE(bar->Lookup("FileQuit"));
    EXPECT_FALSE(bar->Lookup("HelpShowHelp"));
    EXPECT_FALSE(bar->Lookup("CheckforUpdateCheckNow"));
}

TEST_F(HelpWindowTest, CopyAndSelectAllAreHandledAndStayEnabled)
{
    auto help = HelpInstance();
    help->Show();
    auto text = help->TextArea1();
    text->SetFocus();
    text->SetSelStart(0);
    text->SetSelLength(7);

    help->EditCopy()->SetEnabled(false);
    EXPECT_TRUE(help->EditCopy_Action());
    EXPECT_TRUE(help->EditCopy()->Enabled());
    help->EditSelectAll()->SetEnabled(false);
    EXPECT_TRUE(help->EditSelectAll_Action());
    EXPECT_TRUE(help->EditSelectAll()->Enabled());

    // Chosen as the player chooses them, the text area does the work.
    EXPECT_TRUE(fw::ChooseMenuItem(help->EditSelectAll()));
    EXPECT_TRUE(help->EditSelectAll()->Enabled());
    EXPECT_EQ(text->SelStart(), 0);
    EXPECT_EQ(text->SelLength(), fw::Len(HelpText()));
    EXPECT_TRUE(fw::ChooseMenuItem(help->EditCopy()));
    EXPECT_TRUE(help->EditCopy()->Enabled());
    EXPECT_EQ(text->Text(), HelpText());
    EXPECT_EQ(PastedText(*help), HelpText());
}

// Opened from the menu, the help window gives the keyboard to its text, not
// to the button beyond its right edge: Space shows no selection message and
// Select All and Copy act on the help text without a click into it first.
TEST_F(HelpWindowTest, OpenedFromTheMenuTheTextTakesTheKeyboard)
{
    OpenMainWindow();
    auto help = HelpInstance();
    help->Close();
    // Something else on the clipboard first, so the copy below must replace it.
    auto scratch = HelpInstance();
    scratch->TextArea1()->SetText("stale");
    scratch->TextArea1()->SetFocus();
    ASSERT_TRUE(fw::ChooseMenuItem(scratch->EditSelectAll()));
    ASSERT_TRUE(fw::ChooseMenuItem(scratch->EditCut()));
    scratch->Close();

    Window1Instance()->SetFocus();
    fw::Input::ProcessEvents(20);
    ASSERT_TRUE(AppInstance()->HelpShowHelp_Action());
    fw::Input::ProcessEvents(20);
    help = HelpInstance();
    auto text = help->TextArea1();
    fw::Input::KeyDown(49);
    fw::Input::KeyUp(49);
    EXPECT_TRUE(messages.empty()) << messages.front();

    EXPECT_TRUE(fw::ChooseMenuItem(help->EditSelectAll()));
    EXPECT_EQ(text->SelLength(), fw::Len(HelpText()));
    EXPECT_TRUE(fw::ChooseMenuItem(help->EditCopy()));
    EXPECT_EQ(PastedText(*help), HelpText());
}

TEST_F(HelpWindowTest, HiddenButtonReportsTheSelectionAndChangesNothing)
{
    auto help = HelpInstance();
    auto text = help->TextArea1();
    text->SetSelStart(0);
    text->SetSelLength(0);
    help->PushButton1()->Push();
    text->SetSelStart(8);
    text->SetSelLength(3);
    help->PushButton1()->Push();
    EXPECT_EQ(messages, (std::vector<std::string> { "Start: 0 Length: 0", "Start: 8 Length: 3" }));
    EXPECT_EQ(text->Text(), HelpText());
    EXPECT_EQ(text->SelStart(), 8);
    EXPECT_EQ(text->SelLength(), 3);
}

} // namespace
