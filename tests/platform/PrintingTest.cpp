// Printing through the printer-dialog seam into PDF files, read back with
// poppler's tools: pages, footers, and text cut into blocks without cutting a
// line.
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/Graphics.h"
#include "platform/Printing.h"
#include "platform/Seams.h"
#include "platform/TextArea.h"
#include "platform/Window.h"
#include "TextAreaHost.h"
#include "tests/support/PrintedPages.h"

namespace {

using PrintedPages::PageCount;
using PrintedPages::PageTexts;

std::vector<int> NumberedLinesIn(const std::string& page)
{
    std::vector<int> numbers;
    for (size_t at = 0; (at = page.find("Line", at)) != std::string::npos; at += 4) {
        if (at + 8 <= page.size())
            numbers.push_back(std::stoi(page.substr(at + 4, 4)));
    }
    return numbers;
}

std::string NumberedLines(int count)
{
    return PrintedPages::NumberedLines("Line", count);
}

class PrintingTest : public testing::Test {
protected:
    void SetUp() override
    {
        fw::RuntimeResetForTests();
        fw::Seams::ResetSeams();
        m_dir = std::filesystem::temp_directory_path() / ("tavrine-print-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        m_text = OpenTextAreaHost(m_host, "Text");
        m_text->SetWidth(300);
        m_text->SetHeight(200);
    }
    void TearDown() override
    {
        CloseTextAreaHost(m_host, m_text);
        fw::Seams::ResetSeams();
        fw::RuntimeResetForTests();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string Answer(const std::string& name)
    {
        const std::string path = (m_dir / name).string();
        fw::Seams::SetPrinterDialogAnswer([path] { return path; });
        return path;
    }

    // Prints the text area the way the help prints: blocks of `blockHeight`
    // at (36, 36), one per page, and a marker under each block.
    int PrintBlocks(const std::string& pdf, int blockHeight)
    {
        int pages = 0;
        auto g = fw::OpenPrinterDialog();
        EXPECT_TRUE(g);
        if (!g)
            return 0;
        g->SetTextFont("Courier");
        g->SetTextSize(10);
        g->SetBold(true);
        auto printer = m_text->StyledTextPrinter(*g, 492);
        while (!printer->Eof()) {
            printer->DrawBlock(36, 36, blockHeight);
            ++pages;
            if (!printer->Eof())
                g->NextPage();
        }
        g.reset();
        return std::max(pages, 1);
    }

    std::filesystem::path m_dir;
    std::shared_ptr<TextAreaHost> m_host;
    std::shared_ptr<fw::TextArea> m_text;
};

TEST_F(PrintingTest, CancelledDialogGivesNoContextAndNoFile)
{
    fw::Seams::SetPrinterDialogAnswer([] { return std::string(); });
    int depthDuring = -1;
    fw::Seams::SetPrinterDialogAnswer([&] {
        depthDuring = fw::ModalDepth();
        return std::string();
    });
    EXPECT_FALSE(fw::OpenPrinterDialog());
    EXPECT_EQ(depthDuring, 1) << "the dialog counts as modal while it is up";
    EXPECT_EQ(fw::ModalDepth(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(m_dir));
}

TEST_F(PrintingTest, ReleasingTheContextEndsTheJobWithItsPages)
{
    const std::string pdf = Answer("pages.pdf");
    {
        auto g = fw::OpenPrinterDialog();
        ASSERT_TRUE(g);
        EXPECT_EQ(g->Width(), fw::PrintedPageWidth);
        EXPECT_EQ(g->Height(), fw::PrintedPageHeight);
        g->SetTextFont("Arial");
        g->SetTextSize(10);
        g->DrawString("first sheet", 40, 720);
        g->NextPage();
        g->DrawString("second sheet", 40, 720);
        g->NextPage();
        g->DrawString("third sheet", 100, 100);
    }
    ASSERT_EQ(PageCount(pdf), 3);
    auto pages = PageTexts(pdf);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NE(pages[0].find("first sheet"), std::string::npos);
    EXPECT_NE(pages[1].find("second sheet"), std::string::npos);
    EXPECT_NE(pages[2].find("third sheet"), std::string::npos);
    EXPECT_EQ(pages[0].find("second"), std::string::npos);
}

TEST_F(PrintingTest, BlocksTakeWholeLinesAndEveryLineOnce)
{
    m_text->SetText(NumberedLines(300));
    const std::string pdf = Answer("blocks.pdf");
    const int blocks = PrintBlocks(pdf, 672);
    ASSERT_GT(blocks, 2);
    ASSERT_EQ(PageCount(pdf), blocks);

    std::vector<int> seen;
    std::vector<size_t> perPage;
    for (const auto& page : PageTexts(pdf)) {
        auto numbers = NumberedLinesIn(page);
        perPage.push_back(numbers.size());
        seen.insert(seen.end(), numbers.begin(), numbers.end());
    }
    ASSERT_EQ(seen.size(), 300u) << "a line was cut, lost or printed twice";
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(seen[i], i + 1);
    // Every full block holds the same number of lines; the last holds the rest.
    for (size_t p = 1; p + 1 < perPage.size(); ++p)
        EXPECT_EQ(perPage[p], perPage[0]);
    EXPECT_LE(perPage.back(), perPage[0]);

    // Exactly as many lines as fill three blocks give three pages; one more
    // line starts a fourth.
    const int perBlock = int(perPage[0]);
    m_text->SetText(NumberedLines(3 * perBlock));
    EXPECT_EQ(PrintBlocks(Answer("three.pdf"), 672), 3);
    EXPECT_EQ(PageCount((m_dir / "three.pdf").string()), 3);
    m_text->SetText(NumberedLines(3 * perBlock + 1));
    EXPECT_EQ(PrintBlocks(Answer("four.pdf"), 672), 4);
}

TEST_F(PrintingTest, EmptyTextIsAtItsEndAtOnceAndTallLinesStillMoveOn)
{
    Answer("unused.pdf");
    auto g = fw::OpenPrinterDialog();
    ASSERT_TRUE(g);
    m_text->SetText("");
    EXPECT_TRUE(m_text->StyledTextPrinter(*g, 492)->Eof());

    // A block lower than one line still takes one line, so printing ends.
    m_text->SetText("a\rb\rc");
    auto printer = m_text->StyledTextPrinter(*g, 492);
    int blocks = 0;
    while (!printer->Eof() && blocks < 10) {
        printer->DrawBlock(36, 36, 1);
        ++blocks;
    }
    EXPECT_EQ(blocks, 3);
}

TEST_F(PrintingTest, TextPrinterKeepsTheJobOpenUntilItIsLetGo)
{
    m_text->SetText(NumberedLines(120));
    const std::string pdf = Answer("kept.pdf");
    auto g = fw::OpenPrinterDialog();
    ASSERT_TRUE(g);
    auto printer = m_text->StyledTextPrinter(*g, 492);
    printer->DrawBlock(36, 36, 672);
    g->NextPage();
    // Letting the context go first must not leave the printer drawing on a
    // finished job.
    g.reset();
    printer->DrawBlock(36, 36, 672);
    EXPECT_EQ(PageCount(pdf), 0) << "the job is still open";
    printer.reset();
    ASSERT_EQ(PageCount(pdf), 2);
    size_t lines = 0;
    for (const auto& page : PageTexts(pdf))
        lines += NumberedLinesIn(page).size();
    EXPECT_EQ(lines, 120u);
}

TEST_F(PrintingTest, LongParagraphsWrapAtTheWidthWithNoWordLost)
{
    std::string paragraph;
    for (int i = 1; i <= 120; ++i)
        paragraph += "w" + std::to_string(i) + " ";
    m_text->SetText(paragraph);
    const std::string pdf = Answer("wrap.pdf");
    EXPECT_EQ(PrintBlocks(pdf, 672), 1);
    auto pages = PageTexts(pdf);
    ASSERT_EQ(pages.size(), 1u);
    size_t lines = 0;
    for (char c : pages[0])
        lines += c == '\n';
    EXPECT_GT(lines, 3u) << "the paragraph was not wrapped at 492 points";
    std::istringstream words(pages[0]);
    std::vector<std::string> printed { std::istream_iterator<std::string>(words), {} };
    ASSERT_EQ(printed.size(), 120u);
    for (int i = 1; i <= 120; ++i)
        EXPECT_EQ(printed[i - 1], "w" + std::to_string(i));
}

} // namespace
