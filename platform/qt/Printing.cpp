#include "platform/Printing.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/Plugins.h"
#include "platform/Seams.h"
#include "platform/qt/GraphicsImpl.h"
#include "platform/qt/PrintingImpl.h"
#include "platform/plugins/PrintingFunctions.h"

namespace fw {

namespace {

// Printers are driven by a library of their own, loaded the first time the
// player prints, so start-up does not load Qt PrintSupport. A missing or
// mismatched library is a broken installation: loading it raises
// PluginLoadException, which names the library and what it lacks.
const PrintingFunctions& Library()
{
    static const PrintingFunctions library = LoadPluginTable<PrintingFunctions>();
    return library;
}

// A Graphics that owns its print job: releasing it ends the job, which
// finishes the document and sends it.
class PrinterGraphics : public Graphics {
public:
    PrinterGraphics(const PrintingFunctions& library, void* job)
        : Graphics(std::make_unique<GraphicsImpl>(static_cast<QPainter*>(library.Painter(job)), PrintedPageWidth, PrintedPageHeight,
              [&library, job] { library.NewPage(job); }))
        , m_library(library)
        , m_job(job)
    {
    }
    ~PrinterGraphics() override { m_library.Close(m_job); }

private:
    const PrintingFunctions& m_library;
    void* m_job;
};

} // namespace

QPaintDevice* PaintDeviceOf(GraphicsImpl& graphics)
{
    QPaintDevice* device = nullptr;
    graphics.Paint([&](QPainter& painter) { device = painter.device(); });
    return device;
}

std::shared_ptr<Graphics> OpenPrinterDialog()
{
    void* job = nullptr;
    if (auto answer = Seams::GetPrinterDialogAnswer()) {
        std::string path;
        {
            ModalScope modal;
            path = answer();
        }
        if (path.empty())
            return nullptr;
        job = Library().Open(path.c_str());
    } else {
        ModalScope modal;
        job = Library().Open(nullptr);
    }
    if (!job)
        return nullptr;
    return std::make_shared<PrinterGraphics>(Library(), job);
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
