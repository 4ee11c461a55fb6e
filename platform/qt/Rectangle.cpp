#include "platform/Rectangle.h"

#include <QPainter>
#include <QWidget>

#include "platform/qt/RectControlImpl.h"

namespace fw {

namespace {

QColor ToQColor(Color c)
{
    return QColor(c.Red, c.Green, c.Blue);
}

class RectangleWidget : public PaintedWidget<Rectangle> {
public:
    using PaintedWidget::PaintedWidget;

protected:
    void Paint(QPainter& painter, Rectangle& shape) override
    {
        int w = width();
        int h = height();
        painter.fillRect(rect(), ToQColor(shape.FillColor()));
        int b = std::min({ shape.BorderWidth(), w / 2 + 1, h / 2 + 1 });
        if (b <= 0)
            return;
        QColor topLeft = ToQColor(shape.TopLeftColor());
        QColor bottomRight = ToQColor(shape.BottomRightColor());
        painter.fillRect(0, 0, w, b, topLeft);
        painter.fillRect(0, 0, b, h, topLeft);
        painter.fillRect(0, h - b, w, b, bottomRight);
        painter.fillRect(w - b, 0, b, h, bottomRight);
    }
};

} // namespace

void Rectangle::SetFillColor(Color value)
{
    m_fill = value;
    Refresh();
}

void Rectangle::SetBorderWidth(int32_t value)
{
    m_borderWidth = value < 0 ? 0 : value;
    Refresh();
}

void Rectangle::SetTopLeftColor(Color value)
{
    m_topLeft = value;
    Refresh();
}

void Rectangle::SetBottomRightColor(Color value)
{
    m_bottomRight = value;
    Refresh();
}

std::unique_ptr<RectControlImpl> Rectangle::CreateImpl()
{
    return PaintedImpl<RectangleWidget>(*this);
}

} // namespace fw
