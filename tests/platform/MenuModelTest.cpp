// The menu model: building a bar, finding items by name, and the revision
// count the views follow.
#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/MenuItem.h"
#include "platform/Object.h"
#include "platform/qt/MenuBarView.h"

namespace {

std::shared_ptr<fw::MenuItem> Item(const std::string& name, const std::string& text = "")
{
    auto item = std::make_shared<fw::MenuItem>();
    item->SetName(name);
    item->SetText(text.empty() ? name : text);
    return item;
}

TEST(MenuModelTest, AppendChildAndLookupFindItemsByName)
{
    auto bar = std::make_shared<fw::MenuBar>();
    auto file = Item("FileMenu", "&File");
    auto edit = Item("EditMenu", "&Edit");
    bar->Append(file);
    bar->Append(edit);
    auto print = Item("FilePrintHelp", "Print Help");
    file->Append(print);
    auto copy = Item("EditCopy", "&Copy");
    edit->Append(copy);

    EXPECT_EQ(print->Parent(), file);
    EXPECT_EQ(file->Parent(), bar);
    EXPECT_EQ(bar->Child("FileMenu"), file);
    // Child looks one level down only; Lookup searches the whole tree and
    // finds the item itself too.
    EXPECT_EQ(bar->Child("FilePrintHelp"), nullptr);
    EXPECT_EQ(bar->Lookup("FilePrintHelp"), print);
    EXPECT_EQ(bar->Lookup("EditCopy"), copy);
    EXPECT_EQ(bar->Lookup("EditMenu"), edit);
    EXPECT_EQ(edit->Lookup("EditMenu"), edit);
    EXPECT_EQ(bar->Lookup("Nothing"), nullptr);
    EXPECT_EQ(edit->Lookup("FilePrintHelp"), nullptr);
}

TEST(MenuModelTest, LookupIsDepthFirstInMenuOrder)
{
    auto bar = std::make_shared<fw::MenuBar>();
    auto first = Item("First");
    auto second = Item("Second");
    bar->Append(first);
    bar->Append(second);
    auto deep = Item("Twin", "deep");
    auto sub = Item("Sub");
    first->Append(sub);
    sub->Append(deep);
    second->Append(Item("Twin", "shallow"));
    EXPECT_EQ(bar->Lookup("Twin"), deep);
}

TEST(MenuModelTest, AppendingMovesAnItemAndRefusesLoops)
{
    auto a = Item("A");
    auto b = Item("B");
    auto x = Item("X");
    a->Append(x);
    b->Append(x);
    EXPECT_TRUE(a->Children().empty());
    ASSERT_EQ(b->Children().size(), 1u);
    EXPECT_EQ(x->Parent(), b);

    a->Append(b);
    EXPECT_THROW(x->Append(a), fw::RuntimeException);
    EXPECT_THROW(a->Append(a), fw::RuntimeException);
    EXPECT_THROW(a->Append(nullptr), fw::NilObjectException);
    EXPECT_EQ(a->Lookup("Nothing"), nullptr); // no loop was made
}

TEST(MenuModelTest, EveryChangeBelowABarRaisesItsRevision)
{
    auto bar = std::make_shared<fw::MenuBar>();
    auto menu = Item("EditMenu");
    bar->Append(menu);
    auto item = Item("EditCopy");
    menu->Append(item);

    uint64_t seen = bar->Revision();
    auto changed = [&] {
        bool result = bar->Revision() != seen;
        seen = bar->Revision();
        return result;
    };
    item->SetEnabled(false);
    EXPECT_TRUE(changed());
    item->SetText("Copy all");
    EXPECT_TRUE(changed());
    item->SetVisible(false);
    EXPECT_TRUE(changed());
    item->SetKeyboardShortcut("Cmd+C");
    EXPECT_TRUE(changed());
    menu->Append(Item("EditPaste"));
    EXPECT_TRUE(changed());
    item->SetAutoEnable(true);
    EXPECT_TRUE(changed());

    // Setting what is already there is no change: the enabling pass runs
    // before every menu and must not make every view rebuild.
    item->SetEnabled(false);
    item->SetText("Copy all");
    item->SetKeyboardShortcut("Cmd+C");
    EXPECT_FALSE(changed());
}

TEST(MenuModelTest, AnEmptyShortcutDiffersFromNoneSet)
{
    auto item = Item("HelpShowHelp");
    EXPECT_FALSE(item->HasKeyboardShortcut());
    item->SetKeyboardShortcut("");
    EXPECT_TRUE(item->HasKeyboardShortcut());
    EXPECT_EQ(item->KeyboardShortcut(), "");
}

TEST(MenuModelTest, MenuClassesAreRegisteredWithTheirProperties)
{
    fw::RegisterMenuClasses();
    for (const char* name : { "MenuItem", "MenuBar", "AppleMenuItem", "QuitMenuItem" }) {
        auto object = fw::NewObjectOfClass(name);
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->ClassName(), name);
        EXPECT_NE(std::dynamic_pointer_cast<fw::MenuItem>(object), nullptr) << name;
    }
    const fw::PropertySetter* text = fw::FindProperty("QuitMenuItem", "Text");
    ASSERT_NE(text, nullptr);
    auto quit = fw::NewObjectOfClass("QuitMenuItem");
    text->Apply(*quit, std::string("&Quit"));
    EXPECT_EQ(std::static_pointer_cast<fw::MenuItem>(quit)->Text(), "&Quit");
}

TEST(MenuModelTest, MacShortcutsBecomeCtrlShortcuts)
{
    EXPECT_EQ(fw::PortableShortcut("Cmd+P"), "Ctrl+P");
    EXPECT_EQ(fw::PortableShortcut("Cmd+Shift+X"), "Ctrl+Shift+X");
    EXPECT_EQ(fw::PortableShortcut("shift+cmd+x"), "Ctrl+Shift+X");
    EXPECT_EQ(fw::PortableShortcut("Option+Cmd+F5"), "Ctrl+Alt+F5");
    EXPECT_EQ(fw::PortableShortcut("Cmd++"), "Ctrl++");
    EXPECT_EQ(fw::PortableShortcut(""), "");
    EXPECT_EQ(fw::PortableShortcut("   "), "");
    EXPECT_EQ(fw::PortableShortcut("Cmd+"), "");
    EXPECT_EQ(fw::PortableShortcut("Hyper+P"), "");
    EXPECT_EQ(fw::PortableShortcut("Cmd+NoSuchKey"), "");
}

} // namespace
