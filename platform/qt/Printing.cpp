#include "platform/Printing.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextLayout>

#include "platform/Graphics.h"
#include "platform/Seams.h"
#include "platform/qt/GraphicsImpl.h"
#include "platform/qt/PrintingImpl.h"

namespace fw {

namespace {

// The printer and the painter on it, for as long as the program holds the
// printer's Graphics.
struct PrintJob {
    QPrinter Printer { QPrinter::HighResolution };
    QPainter Painter;
};

// A Graphics that owns its print job: releasing it ends the painter, which
// finishes the document and sends it.
class PrinterGraphics : public Graphics {
public:
    explicit PrinterGraphics(std::unique_ptr<PrintJob> job)
        : Graphics(std::make_unique<GraphicsImpl>(&job->Painter, PrintedPageWidth, PrintedPageHeight,
              [printer = &job->Printer] { printer->newPage(); }))
        , m_job(std::move(job))
    {
    }
    ~PrinterGraphics() override
    {
        if (m_job->Painter.isActive())
            m_job->Painter.end();
    }
private:
    std::unique_ptr<PrintJob> m_job;
};

// The program lays its pages out in points from the printable area's
// top-left. At 72 dots per inch a point is one device unit, so fonts given in
// points and the program's coordinates agree without a transform.
void PreparePrinter(QPrinter& printer)
{
    printer.setResolution(72);
    printer.setFullPage(false);
}

} // namespace

QPaintDevice* PaintDeviceOf(GraphicsImpl& graphics)
{
    QPaintDevice* device = nullptr;
    graphics.Paint([&](QPainter& painter) { device = painter.device(); });
    return device;
}

std::shared_ptr<Graphics> OpenPrinterDialog()
{
    auto job = std::make_unique<PrintJob>();
    if (auto answer = Seams::GetPrinterDialogAnswer()) {
        std::string path;
        {
            ModalScope modal;
            path = answer();
        }
        if (path.empty())
            return nullptr;
        job->Printer.setOutputFormat(QPrinter::PdfFormat);
        job->Printer.setOutputFileName(QString::fromStdString(path));
    } else {
        ModalScope modal;
        QPrintDialog dialog(&job->Printer);
        if (dialog.exec() != QDialog::Accepted)
            return nullptr;
    }
    PreparePrinter(job->Printer);
    if (!job->Painter.begin(&job->Printer))
        return nullptr;
    return std::make_shared<PrinterGraphics>(std::move(job));
}

StyledTextPrinter::StyledTextPrinter(std::unique_ptr<StyledTextPrinterImpl> impl)
    : m_impl(std::move(impl))
{
}

StyledTextPrinter::~StyledTextPrinter() = default;

bool StyledTextPrinter::Eof() const
{
    return m_impl->Eof();
}

void StyledTextPrinter::DrawBlock(int32_t x, int32_t y, int32_t height)
{
    m_impl->DrawBlock(x, y, height);
}

StyledTextPrinterImpl::StyledTextPrinterImpl(const QTextDocument& source, Graphics& graphics, int width)
    : m_document(source.clone())
    , m_keepGraphics(graphics.weak_from_this().lock())
    , m_graphics(graphics.Impl())
{
    if (QPaintDevice* device = PaintDeviceOf(m_graphics))
        m_document->documentLayout()->setPaintDevice(device);
    m_document->setDefaultFont(m_graphics.CurrentFont());
    m_document->setDocumentMargin(0);
    m_document->setTextWidth(width);

    // An empty text has nothing to print; a document always holds one empty
    // block, so it is not taken as a line.
    if (m_document->isEmpty())
        return;
    auto* layout = m_document->documentLayout();
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        const QRectF blockRect = layout->blockBoundingRect(block);
        QTextLayout* lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const double top = blockRect.top() + line.y();
            m_lines.push_back({ block, i, blockRect.topLeft(), top, top + line.height() });
        }
    }
}

void StyledTextPrinterImpl::DrawBlock(int x, int y, int height)
{
    if (Eof())
        return;
    // Take whole lines while they fit; the first always goes, so a line
    // taller than the block cannot stop the printing.
    const double top = m_lines[m_next].Top;
    size_t end = m_next + 1;
    while (end < m_lines.size() && m_lines[end].Bottom - top <= height)
        ++end;
    const size_t first = m_next;
    m_next = end;

    // Only the block's own lines are drawn (not the whole document under a
    // clip), so no line of another page lies hidden in the printed output.
    const Color ink = m_graphics.ForeColor;
    m_graphics.Paint([&](QPainter& painter) {
        painter.setPen(QColor(ink.Red, ink.Green, ink.Blue));
        const QPointF shift(x, y - top);
        for (size_t i = first; i < end; ++i) {
            const Line& line = m_lines[i];
            line.Block.layout()->lineAt(line.Index).draw(&painter, line.BlockOrigin + shift);
        }
    });
}

} // namespace fw
