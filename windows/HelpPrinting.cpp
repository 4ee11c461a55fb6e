#include "windows/HelpPrinting.h"

#include "platform/Application.h"
#include "platform/Graphics.h"
#include "platform/Printing.h"
#include "platform/Strings.h"
#include "platform/System.h"
#include "platform/TextArea.h"

namespace {

constexpr int32_t BlockLeft = 36;
constexpr int32_t BlockTop = 36;
constexpr int32_t PageNumberLeft = 40;
constexpr int32_t StampLeft = 100;

void DrawFooter(fw::Graphics& g, int32_t pageNumber, const std::string& stamp, int32_t pageHeight)
{
    g.SetTextFont("Arial");
    g.SetBold(false);
    g.DrawString("page " + fw::Str(int64_t(pageNumber)), PageNumberLeft, pageHeight, 0, false);
    g.DrawString(stamp, StampLeft, pageHeight, 0, false);
}

} // namespace

void PrintHelpText(const std::function<std::shared_ptr<fw::TextArea>()>& text)
{
    // The stamp is taken once, before the dialog, so every page of the run
    // carries the same one.
    fw::Date now;
    const std::string stamp = now.ShortTime() + ", " + now.ShortDate();
    int32_t pageNumber = 1;

    auto printer = fw::OpenPrinterDialog();
    if (!printer)
        return;
    auto& g = *printer;
    g.SetTextFont("Courier");
    g.SetTextSize(10);
    g.SetForeColor(fw::RGB(0, 0, 0));
    g.SetBold(true);
    const int32_t pageWidth = fw::PrintedPageWidth;
    const int32_t pageHeight = fw::PrintedPageHeight;

    auto printed = fw::Deref(text(), "TextArea1").StyledTextPrinter(g, pageWidth - 48);
    auto& textPrinter = fw::Deref(printed, "StyledTextPrinter");
    while (!textPrinter.Eof()) {
        textPrinter.DrawBlock(BlockLeft, BlockTop, pageHeight - 48);
        // Pages before the last get their footer here; the last one gets it
        // after the loop, so each page has exactly one.
        if (!textPrinter.Eof()) {
            DrawFooter(g, pageNumber, stamp, pageHeight);
            g.SetTextFont("Courier");
            g.SetBold(true);
            pageNumber += 1;
            g.NextPage();
        }
        fw::BackgroundTaskYield();
    }
    DrawFooter(g, pageNumber, stamp, pageHeight);
}
