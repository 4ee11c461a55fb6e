#pragma once

// The Qt side of printing: the styled-text printer over a laid-out copy of a
// text document. Private to platform/qt.

#include <memory>
#include <vector>

#include <QPointF>
#include <QTextBlock>
#include <QTextDocument>

#include "platform/Printing.h"

class QPaintDevice;

namespace fw {

class Graphics;
class GraphicsImpl;

class StyledTextPrinterImpl {
public:
    // Takes a copy of `source`, lays it out `width` points wide for the
    // graphics' device with its font settings as the default font.
    StyledTextPrinterImpl(const QTextDocument& source, Graphics& graphics, int width);

    bool Eof() const { return m_next >= m_lines.size(); }
    void DrawBlock(int x, int y, int height);

    // Tests: the number of laid-out lines and the next one to draw.
    size_t LineCount() const { return m_lines.size(); }
    size_t NextLine() const { return m_next; }

private:
    struct Line {
        QTextBlock Block;
        int Index; // within the block's layout
        QPointF BlockOrigin; // the block's top-left in the document
        double Top;
        double Bottom;
    };

    std::unique_ptr<QTextDocument> m_document;
    // The graphics (and with it a print job) stays alive while its printer
    // of text may still draw on it.
    std::shared_ptr<Object> m_keepGraphics;
    GraphicsImpl& m_graphics;
    std::vector<Line> m_lines;
    size_t m_next = 0;
};

// The paint device a Graphics draws on now (for laying text out with its
// metrics); nullptr when it has none.
QPaintDevice* PaintDeviceOf(GraphicsImpl& graphics);

} // namespace fw
