#include "platform/Label.h"

#include <QPainter>
#include <QWidget>

#include "platform/qt/RectControlImpl.h"

namespace fw {

namespace {

// Carriage returns (alone or before a line feed) and line feeds all break
// the line, whether or not the label is multiline.
QString ShownText(const std::string& text)
{
    QString shown = ToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// Paints the text only: a label has no background of its own.
class LabelWidget : public PaintedWidget<Label> {
public:
    using PaintedWidget::PaintedWidget;

protected:
    void Paint(QPainter& painter, Label& label) override
    {
        painter.setFont(FontFor(label));
        Color c = label.TextColor();
        painter.setPen(QColor(c.Red, c.Green, c.Blue));
        int flags = Qt::AlignTop;
        switch (label.TextAlign()) {
        case 1:
            flags |= Qt::AlignHCenter;
            break;
        case 2:
            flags |= Qt::AlignRight;
            break;
        default:
            flags |= Qt::AlignLeft;
            break;
        }
        if (label.Multiline())
            flags |= Qt::TextWordWrap;
        painter.drawText(rect(), flags, ShownText(label.Text()));
    }
};

} // namespace

std::string Label::Text() const
{
    return m_text;
}

void Label::SetText(const std::string& text)
{
    if (text == m_text)
        return;
    m_text = text;
    ++m_textChanges;
    Refresh();
}

double Label::TextSize() const
{
    return FontSize();
}

void Label::SetTextSize(double size)
{
    SetFontSize(size);
}

void Label::SetTextUnit(int32_t unit)
{
    SetTextUnitValue(unit);
}

void Label::SetTextAlign(int32_t value)
{
    m_textAlign = value;
    Refresh();
}

void Label::SetTextColor(Color value)
{
    m_textColor = value;
    Refresh();
}

void Label::SetMultiline(bool value)
{
    m_multiline = value;
    Refresh();
}

uint64_t Label::TextChangeCount() const
{
    return m_textChanges;
}

std::unique_ptr<RectControlImpl> Label::CreateImpl()
{
    return PaintedImpl<LabelWidget>(*this);
}

} // namespace fw
