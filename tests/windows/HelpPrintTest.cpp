// Printing the help text from the help window and from the main window, into
// PDF files through the printer-dialog seam.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Strings.h"
#include "platform/System.h"
#include "tests/support/GameFixture.h"
#include "tests/support/PrintedPages.h"
#include "windows/Help.h"

namespace {

using PrintedPages::PageCount;
using PrintedPages::PageTexts;

std::vector<std::string> Lines(const std::string& page)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; start < page.size(); start = nl + 1) {
        nl = page.find('\n', start);
        if (nl == std::string::npos)
            nl = page.size();
        std::string line = page.substr(start, nl - start);
        const size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos)
            lines.push_back(line.substr(first, line.find_last_not_of(' ') - first + 1));
    }
    return lines;
}

// The footer line of a page: "page N" and, further right, the stamp.
struct Footer {
    int Page = 0;
    std::string Stamp;
};

Footer FooterOf(const std::string& page)
{
    Footer footer;
    auto lines = Lines(page);
    for (const auto& line : lines) {
        if (line.rfind("page ", 0) != 0)
            continue;
        size_t end = 5;
        while (end < line.size() && isdigit(static_cast<unsigned char>(line[end])))
            ++end;
        footer.Page = std::stoi(line.substr(5, end - 5));
        const size_t stamp = line.find_first_not_of(' ', end);
        if (stamp != std::string::npos)
            footer.Stamp = line.substr(stamp);
    }
    return footer;
}

std::string NumberedLines(int count)
{
    return PrintedPages::NumberedLines("Entry", count);
}

class HelpPrintTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        m_dir = std::filesystem::temp_directory_path() / ("tavrine-help-print-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override
    {
        GameFixture::TearDown();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string Answer(const std::string& name)
    {
        const std::string path = (m_dir / name).string();
        fw::Seams::SetPrinterDialogAnswer([this, path] {
            ++dialogs;
            return path;
        });
        return path;
    }
    void AnswerCancel()
    {
        fw::Seams::SetPrinterDialogAnswer([this] {
            ++dialogs;
            helpOpenDuringDialog = bool(fw::RuntimeGetImplicitWindow(Help::FullClassName));
            return std::string();
        });
    }

    std::filesystem::path m_dir;
    int dialogs = 0;
    bool helpOpenDuringDialog = false;
};

TEST_F(HelpPrintTest, HelpWindowPrintsItsTextAndStaysOpen)
{
    auto help = HelpInstance();
    const std::string pdf = Answer("help.pdf");
    EXPECT_TRUE(help->FilePrint_Action());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(fw::RuntimeGetImplicitWindow(Help::FullClassName), help);

    const int pages = PageCount(pdf);
    ASSERT_GE(pages, 1);
    std::string all;
    auto texts = PageTexts(pdf);
    ASSERT_EQ(int(texts.size()), pages);
    std::set<std::string> stamps;
    for (int p = 0; p < pages; ++p) {
        auto footer = FooterOf(texts[p]);
        EXPECT_EQ(footer.Page, p + 1);
        EXPECT_NE(footer.Stamp.find(", "), std::string::npos) << footer.Stamp;
        stamps.insert(footer.Stamp);
        all += texts[p];
    }
    EXPECT_EQ(stamps.size(), 1u) << "every page carries the one stamp of the run";
    EXPECT_NE(all.find("surprisingly"), std::string::npos);
    EXPECT_NE(all.find("Tavrine"), std::string::npos);
}

TEST_F(HelpPrintTest, ThreeFullBlocksGiveThreePagesWithOneFooterEach)
{
    auto text = HelpInstance()->TextArea1();
    // How many lines a block holds, from a text too long for one page.
    text->SetText(NumberedLines(200));
    const std::string probe = Answer("probe.pdf");
    ASSERT_TRUE(HelpInstance()->FilePrint_Action());
    auto probePages = PageTexts(probe);
    ASSERT_GE(probePages.size(), 2u);
    int perBlock = 0;
    for (const auto& line : Lines(probePages[0]))
        perBlock += line.rfind("Entry", 0) == 0;
    ASSERT_GT(perBlock, 10);

    text->SetText(NumberedLines(3 * perBlock));
    const std::string pdf = Answer("three.pdf");
    ASSERT_TRUE(HelpInstance()->FilePrint_Action());
    ASSERT_EQ(PageCount(pdf), 3);
    auto pages = PageTexts(pdf);
    ASSERT_EQ(pages.size(), 3u);
    std::string stamp;
    int entry = 0;
    for (int p = 0; p < 3; ++p) {
        int footers = 0;
        for (const auto& line : Lines(pages[p])) {
            if (line.rfind("page ", 0) == 0)
                ++footers;
            else if (line.rfind("Entry", 0) == 0)
                EXPECT_EQ(std::stoi(line.substr(5)), ++entry);
        }
        EXPECT_EQ(footers, 1) << "page " << p + 1;
        auto footer = FooterOf(pages[p]);
        EXPECT_EQ(footer.Page, p + 1);
        if (p == 0)
            stamp = footer.Stamp;
        EXPECT_EQ(footer.Stamp, stamp);
    }
    EXPECT_EQ(entry, 3 * perBlock);
}

TEST_F(HelpPrintTest, EmptiedTextGivesOnePageWithOnlyTheFooter)
{
    HelpInstance()->TextArea1()->SetText("");
    const std::string pdf = Answer("empty.pdf");
    ASSERT_TRUE(HelpInstance()->FilePrint_Action());
    ASSERT_EQ(PageCount(pdf), 1);
    auto lines = Lines(PageTexts(pdf).at(0));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(FooterOf(lines[0]).Page, 1);
}

TEST_F(HelpPrintTest, CancelPrintsNothingAndLeavesWindowsAsTheCommandSays)
{
    AnswerCancel();
    auto help = HelpInstance();
    EXPECT_TRUE(help->FilePrint_Action());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(fw::RuntimeGetImplicitWindow(Help::FullClassName), help);
    EXPECT_TRUE(std::filesystem::is_empty(m_dir));

    // From the main window the open help window is closed after the cancel.
    EXPECT_TRUE(AppInstance()->FilePrintHelp_Action());
    EXPECT_EQ(dialogs, 2);
    EXPECT_FALSE(fw::RuntimeGetImplicitWindow(Help::FullClassName));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir));
}

TEST_F(HelpPrintTest, CancelFromTheMainWindowWithNoHelpWindowCreatesAndClosesOne)
{
    AnswerCancel();
    ASSERT_FALSE(SharedHelpMenuBar);
    EXPECT_TRUE(AppInstance()->FilePrintHelp_Action());
    EXPECT_EQ(dialogs, 1);
    // The dialog comes before the text is reached, so no window existed then;
    // one was built (its menu bar is there now) only to be closed.
    EXPECT_FALSE(helpOpenDuringDialog);
    EXPECT_TRUE(SharedHelpMenuBar);
    EXPECT_FALSE(fw::RuntimeGetImplicitWindow(Help::FullClassName));
    EXPECT_TRUE(std::filesystem::is_empty(m_dir));
}

TEST_F(HelpPrintTest, MainWindowPrintsTheEditedTextThenDropsIt)
{
    auto help = HelpInstance();
    help->TextArea1()->SetText("Edited by the player\rSecond edited line");
    const std::string pdf = Answer("edited.pdf");
    EXPECT_TRUE(AppInstance()->FilePrintHelp_Action());
    EXPECT_FALSE(fw::RuntimeGetImplicitWindow(Help::FullClassName));
    ASSERT_EQ(PageCount(pdf), 1);
    const std::string page = PageTexts(pdf).at(0);
    EXPECT_NE(page.find("Edited by the player"), std::string::npos);
    EXPECT_NE(page.find("Second edited line"), std::string::npos);
    EXPECT_EQ(page.find("surprisingly"), std::string::npos);
    EXPECT_EQ(HelpInstance()->TextArea1()->Text(), HelpText());
}

TEST_F(HelpPrintTest, MainWindowPrintsTheLaidOutTextWhenNoHelpWindowIsOpen)
{
    const std::string pdf = Answer("fresh.pdf");
    EXPECT_TRUE(AppInstance()->FilePrintHelp_Action());
    EXPECT_FALSE(fw::RuntimeGetImplicitWindow(Help::FullClassName));
    std::string all;
    for (const auto& page : PageTexts(pdf))
        all += page;
    EXPECT_NE(all.find("kids"), std::string::npos);
}

} // namespace
