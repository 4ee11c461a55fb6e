// Printing the help text from the help window and from the main window, into
// PDF files through the printer-dialog seam.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
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
using PrintedPages::RunCommand;

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

// One element of the XML that poppler writes: its start tag and, for an
// element with an end tag, what stands between the two.
struct Element {
    std::string Tag;
    std::string Inner;
};

// The elements called `name`, in document order. poppler writes each on a
// line of its own, with no element of the same name inside it.
std::vector<Element> ElementsNamed(const std::string& xml, const std::string& name)
{
    const std::string open = "<" + name + " ";
    const std::string close = "</" + name + ">";
    std::vector<Element> elements;
    for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
        const size_t tagEnd = xml.find('>', at);
        if (tagEnd == std::string::npos)
            break;
        Element element { xml.substr(at, tagEnd + 1 - at), "" };
        if (xml[tagEnd - 1] != '/') {
            const size_t end = xml.find(close, tagEnd);
            if (end == std::string::npos)
                break;
            element.Inner = xml.substr(tagEnd + 1, end - tagEnd - 1);
        }
        elements.push_back(std::move(element));
    }
    return elements;
}

// The value of the attribute `name` in a start tag; "" when it has none.
std::string Attribute(const std::string& tag, const std::string& name)
{
    const std::string key = " " + name + "=\"";
    size_t at = tag.find(key);
    if (at == std::string::npos)
        return "";
    at += key.size();
    return tag.substr(at, tag.find('"', at) - at);
}

std::string WithoutTags(const std::string& text)
{
    std::string plain;
    bool inTag = false;
    for (char c : text) {
        if (c == '<')
            inTag = true;
        else if (c == '>' && inTag)
            inTag = false;
        else if (!inTag)
            plain += c;
    }
    return plain;
}

// A word as poppler places it on a page, in points from the page's top-left.
struct Word {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    std::string Text;
};

std::vector<Word> WordsOnPage(const std::string& pdf, int page)
{
    const std::string number = std::to_string(page);
    const std::string xml
        = RunCommand("pdftotext -bbox -f " + number + " -l " + number + " '" + pdf + "' - 2>/dev/null");
    std::vector<Word> words;
    for (const Element& word : ElementsNamed(xml, "word"))
        words.push_back({ std::stod(Attribute(word.Tag, "xMin")), std::stod(Attribute(word.Tag, "yMin")),
            std::stod(Attribute(word.Tag, "xMax")), std::stod(Attribute(word.Tag, "yMax")), word.Inner });
    return words;
}

const Word* FindWord(const std::vector<Word>& words, const std::string& text)
{
    for (const auto& word : words)
        if (word.Text == text)
            return &word;
    return nullptr;
}

// A run of text with the font poppler found for it.
struct TextRun {
    std::string Text;
    std::string Family;
    int Size = 0;
    bool Bold = false;
};

std::vector<TextRun> RunsOnPage(const std::string& pdf, int page)
{
    const std::string number = std::to_string(page);
    const std::string xml = RunCommand(
        "pdftohtml -xml -i -zoom 1 -stdout -f " + number + " -l " + number + " '" + pdf + "' 2>/dev/null");
    std::map<std::string, std::pair<int, std::string>> fonts;
    for (const Element& fontspec : ElementsNamed(xml, "fontspec"))
        fonts[Attribute(fontspec.Tag, "id")]
            = { std::stoi(Attribute(fontspec.Tag, "size")), Attribute(fontspec.Tag, "family") };
    std::vector<TextRun> runs;
    for (const Element& text : ElementsNamed(xml, "text")) {
        const auto& font = fonts[Attribute(text.Tag, "font")];
        runs.push_back({ WithoutTags(text.Inner), font.second, font.first,
            text.Inner.find("<b>") != std::string::npos });
    }
    return runs;
}

const TextRun* FindRun(const std::vector<TextRun>& runs, const std::string& start)
{
    for (const auto& run : runs)
        if (run.Text.rfind(start, 0) == 0)
            return &run;
    return nullptr;
}

// The family the font configuration gives for `name`, as a PDF names it
// (no blanks); "" when it cannot be asked.
std::string ConfiguredFamily(const std::string& name)
{
    std::string family = RunCommand("fc-match -f '%{family[0]}' '" + name + "' 2>/dev/null");
    family.erase(std::remove(family.begin(), family.end(), ' '), family.end());
    return family;
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

    // Page 1 of a run whose text fills more than one block. The printable
    // area's origin is the printer's; the page number's left edge at x 40
    // shows where it lies.
    void ExpectPageLayout(const std::string& pdf, int linesOnPage)
    {
        const std::string dateBefore = fw::Date().ShortDate();
        auto words = WordsOnPage(pdf, 1);
        const Word* page = FindWord(words, "page");
        const Word* first = FindWord(words, "Entry0001");
        const Word* second = FindWord(words, "Entry0002");
        ASSERT_TRUE(page && first && second);
        const double left = page->Left - 40;
        const double top = left;
        EXPECT_NEAR(first->Left, left + 36, 0.5) << "the text block starts at x 36";
        // The block starts at y 36 (its first line's top, give or take how
        // the fonts place their ascents), and the footer's baseline lies at
        // 720, 0.905 em below its top in a font measured like Arial.
        const double footerBaseline = page->Top + 0.905 * 10;
        EXPECT_NEAR(first->Top, top + 36, 1.5) << "the text block starts at y 36";
        EXPECT_NEAR(footerBaseline, top + 720, 0.5) << "the footers stand on y 720";
        EXPECT_NEAR(footerBaseline - first->Top, 720 - 36, 1.5);
        // The block is 672 high: it takes every whole line that fits.
        const double pitch = second->Top - first->Top;
        ASSERT_GT(pitch, 5);
        EXPECT_LE(linesOnPage * pitch, 672 + 0.5) << linesOnPage << " lines of " << pitch;
        EXPECT_GT((linesOnPage + 1) * pitch, 672 - 0.5) << linesOnPage << " lines of " << pitch;
        // The stamp sixty points right of the page number, on its line.
        const Word* number = page + 1;
        const Word* stamp = number + 1;
        ASSERT_LT(stamp - words.data(), std::ptrdiff_t(words.size()));
        EXPECT_EQ(number->Text, "1");
        EXPECT_NEAR(stamp->Left, page->Left + 60, 0.5);
        EXPECT_NEAR(stamp->Top, page->Top, 0.5);

        // Footers in plain "Arial" 10, the text in the bold "Courier" 10.
        auto runs = RunsOnPage(pdf, 1);
        const TextRun* text = FindRun(runs, "Entry0001");
        const TextRun* footer = FindRun(runs, "page 1");
        const TextRun* stampRun = FindRun(runs, stamp->Text);
        ASSERT_TRUE(text && footer && stampRun);
        EXPECT_EQ(footer->Size, 10);
        EXPECT_FALSE(footer->Bold);
        EXPECT_EQ(text->Size, 10);
        EXPECT_TRUE(text->Bold);
        EXPECT_NE(footer->Family, text->Family);
        EXPECT_EQ(stampRun->Family, footer->Family);
        EXPECT_EQ(stampRun->Size, 10);
        EXPECT_FALSE(stampRun->Bold);
        const std::string arial = ConfiguredFamily("Arial");
        if (!arial.empty()) {
            EXPECT_EQ(footer->Family, arial);
        }

        // The stamp: the time, a comma and a blank, then the date.
        const std::string line = FooterOf(PageTexts(pdf).at(0)).Stamp;
        const size_t comma = line.find(", ");
        ASSERT_NE(comma, std::string::npos) << line;
        const std::string date = line.substr(comma + 2);
        EXPECT_TRUE(date == dateBefore || date == fw::Date().ShortDate()) << line;
        EXPECT_NE(line.substr(0, comma).find(':'), std::string::npos) << line;
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
    ExpectPageLayout(probe, perBlock);

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
            if (line.rfind("page ", 0) == 0) {
                ++footers;
            } else if (line.rfind("Entry", 0) == 0) {
                EXPECT_EQ(std::stoi(line.substr(5)), ++entry);
            }
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
