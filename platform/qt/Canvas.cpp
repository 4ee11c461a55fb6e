#include "platform/Canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "platform/Application.h"
#include "platform/Picture.h"
#include "platform/qt/PictureImpl.h"
#include "platform/qt/RectControlImpl.h"
#include "platform/qt/RuntimeInternal.h"

namespace fw {

void DrawPictureInto(QPainter& painter, const Picture& picture, const QRectF& target)
{
    const QImage& image = picture.Impl().Image();
    if (image.isNull())
        return;
    // The target is in points; on a high-density screen the painter maps it
    // to more device pixels, so one picture pixel still covers one point.
    painter.drawImage(target, image, QRectF(0, 0, image.width(), image.height()));
}

namespace {

// A canvas's widget: paints the backdrop (nothing else, so an empty canvas
// shows what lies under it) and turns presses, moves and releases into the
// canvas's mouse events.
class CanvasWidget : public PaintedWidget<Canvas> {
public:
    using PaintedWidget::PaintedWidget;

protected:
    void Paint(QPainter& painter, Canvas& canvas) override
    {
        if (auto picture = canvas.Backdrop())
            DrawPictureInto(painter, *picture, QRectF(0, 0, picture->Width(), picture->Height()));
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            event->ignore();
            return;
        }
        Press(event);
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            event->ignore();
            return;
        }
        // The second press of a double-click is a press as well.
        Press(event);
        auto canvas = Linked();
        if (!canvas)
            return;
        QPoint p = event->position().toPoint();
        DispatchEvent(canvas->HandlerName("DoubleClick"), [&] { canvas->Event_DoubleClick(p.x(), p.y()); });
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!m_claimed || !(event->buttons() & Qt::LeftButton))
            return;
        auto canvas = Linked();
        if (!canvas)
            return;
        QPoint local = event->position().toPoint();
        // Compared in window coordinates: the canvas itself moves while it
        // is dragged, and only a real movement of the mouse counts.
        QPoint inWindow = local + pos();
        if (inWindow == m_lastInWindow)
            return;
        m_lastInWindow = inWindow;
        DispatchEvent(canvas->HandlerName("MouseDrag"), [&] { canvas->Event_MouseDrag(local.x(), local.y()); });
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || !m_claimed)
            return;
        m_claimed = false;
        auto canvas = Linked();
        if (!canvas)
            return;
        QPoint local = event->position().toPoint();
        DispatchEvent(canvas->HandlerName("MouseUp"), [&] { canvas->Event_MouseUp(local.x(), local.y()); });
    }

private:
    void Press(QMouseEvent* event)
    {
        m_claimed = false;
        auto canvas = Linked();
        if (!canvas)
            return;
        QPoint local = event->position().toPoint();
        m_lastInWindow = local + pos();
        bool claimed = false;
        DispatchEvent(canvas->HandlerName("MouseDown"), [&] { claimed = canvas->Event_MouseDown(local.x(), local.y()); });
        m_claimed = claimed;
    }

    bool m_claimed = false;
    QPoint m_lastInWindow;
};

} // namespace

void Canvas::SetBackdrop(std::shared_ptr<Picture> picture)
{
    m_backdrop = std::move(picture);
    Refresh();
}

bool Canvas::Event_MouseDown(int32_t x, int32_t y)
{
    return OnMouseDown ? OnMouseDown(*this, x, y) : false;
}

void Canvas::Event_MouseDrag(int32_t x, int32_t y)
{
    if (OnMouseDrag)
        OnMouseDrag(*this, x, y);
}

void Canvas::Event_MouseUp(int32_t x, int32_t y)
{
    if (OnMouseUp)
        OnMouseUp(*this, x, y);
}

void Canvas::Event_DoubleClick(int32_t x, int32_t y)
{
    if (OnDoubleClick)
        OnDoubleClick(*this, x, y);
}

std::unique_ptr<RectControlImpl> Canvas::CreateImpl()
{
    return PaintedImpl<CanvasWidget>(*this);
}

} // namespace fw
