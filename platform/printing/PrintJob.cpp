// Drives printers over Qt PrintSupport. A library of its own, loaded the
// first time the player prints, so starting the game does not pay for
// loading Qt PrintSupport and the print system behind it.

#include <QDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

#include "platform/plugins/PrintingFunctions.h"

namespace {

// The printer and the painter on it, for as long as the program holds the
// printer's Graphics.
struct PrintJob {
    QPrinter Printer { QPrinter::HighResolution };
    QPainter Painter;
};

// The program lays its pages out in points from the printable area's
// top-left. At 72 dots per inch a point is one device unit, so fonts given in
// points and the program's coordinates agree without a transform.
void PreparePrinter(QPrinter& printer)
{
    printer.setResolution(72);
    printer.setFullPage(false);
}

void* Open(const char* pdf)
{
    auto job = std::make_unique<PrintJob>();
    if (pdf) {
        job->Printer.setOutputFormat(QPrinter::PdfFormat);
        job->Printer.setOutputFileName(QString::fromUtf8(pdf));
    } else {
        QPrintDialog dialog(&job->Printer);
        if (dialog.exec() != QDialog::Accepted)
            return nullptr;
    }
    PreparePrinter(job->Printer);
    if (!job->Painter.begin(&job->Printer))
        return nullptr;
    return job.release();
}

void* Painter(void* job)
{
    return &static_cast<PrintJob*>(job)->Painter;
}

void NewPage(void* job)
{
    static_cast<PrintJob*>(job)->Printer.newPage();
}

void Close(void* job)
{
    auto* printJob = static_cast<PrintJob*>(job);
    if (printJob->Painter.isActive())
        printJob->Painter.end();
    delete printJob;
}

} // namespace

TAVRINE_PLUGIN_TABLE(PrintingFunctions { .Open = &Open, .Painter = &Painter, .NewPage = &NewPage, .Close = &Close })
