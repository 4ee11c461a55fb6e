#include "platform/Graphics.h"

#include <cmath>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QStringList>

#include "platform/Exceptions.h"
#include "platform/Picture.h"
#include "platform/qt/GraphicsImpl.h"
#include "platform/qt/PictureImpl.h"

namespace fw {

GraphicsImpl::GraphicsImpl(Picture* picture, std::weak_ptr<Object> owner)
    : m_picture(picture)
    , m_owner(std::move(owner))
{
    // A picture held by no shared pointer has an empty owner from the start;
    // only an owner that existed and expired means the picture is gone.
    m_owned = !m_owner.expired();
}

GraphicsImpl::GraphicsImpl(QPainter* painter, int width, int height, std::function<void()> nextPage)
    : m_painter(painter)
    , m_width(width)
    , m_height(height)
    , m_nextPage(std::move(nextPage))
{
}

Picture* GraphicsImpl::TargetPicture() const
{
    if (!m_picture || (m_owned && m_owner.expired()))
        return nullptr;
    return m_picture;
}

QFont GraphicsImpl::CurrentFont() const
{
    QFont font;
    if (TextFont.empty() || TextFont == "System" || TextFont == "SmallSystem")
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    else
        font = QFont(QString::fromStdString(TextFont));
    if (TextSize > 0)
        font.setPointSizeF(TextSize);
    else if (font.pointSizeF() <= 0)
        font.setPointSizeF(12);
    font.setBold(Bold);
    return font;
}

void GraphicsImpl::Paint(const std::function<void(QPainter&)>& draw)
{
    auto setUp = [this](QPainter& painter) {
        painter.setFont(CurrentFont());
        painter.setPen(QColor(ForeColor.Red, ForeColor.Green, ForeColor.Blue));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
    };
    if (m_painter) {
        m_painter->save();
        setUp(*m_painter);
        draw(*m_painter);
        m_painter->restore();
        return;
    }
    Picture* picture = TargetPicture();
    if (!picture)
        return;
    QImage& image = picture->Impl().MutableImage();
    if (image.isNull())
        return;
    QPainter painter(&image);
    setUp(painter);
    draw(painter);
}

int GraphicsImpl::Width() const
{
    if (m_painter)
        return m_width;
    Picture* picture = TargetPicture();
    return picture ? picture->Width() : 0;
}

int GraphicsImpl::Height() const
{
    if (m_painter)
        return m_height;
    Picture* picture = TargetPicture();
    return picture ? picture->Height() : 0;
}

void GraphicsImpl::NextPage()
{
    if (m_nextPage)
        m_nextPage();
}

Graphics::Graphics(std::unique_ptr<GraphicsImpl> impl)
    : m_impl(std::move(impl))
{
}

Graphics::~Graphics() = default;

void Graphics::DrawPicture(const std::shared_ptr<Picture>& picture, int32_t x, int32_t y, int32_t destWidth,
    int32_t destHeight, int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight)
{
    const Picture& source = Deref(picture, "picture");
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    // The source rectangle is clipped to the picture; the destination shrinks
    // with it in proportion, so what is drawn keeps its place and scale.
    const QRect requested(sourceX, sourceY, sourceWidth, sourceHeight);
    const QRect clipped = requested.intersected(QRect(0, 0, source.Width(), source.Height()));
    if (clipped.isEmpty())
        return;
    const double fx = double(destWidth) / sourceWidth;
    const double fy = double(destHeight) / sourceHeight;
    const int left = x + int(std::lround((clipped.left() - sourceX) * fx));
    const int top = y + int(std::lround((clipped.top() - sourceY) * fy));
    const int right = x + int(std::lround((clipped.left() + clipped.width() - sourceX) * fx));
    const int bottom = y + int(std::lround((clipped.top() + clipped.height() - sourceY) * fy));
    const QRect dest(left, top, right - left, bottom - top);
    if (dest.isEmpty())
        return;

    QRect mapped;
    const QImage& pixels = source.Impl().PixelsFor(clipped, dest.width(), dest.height(), mapped);
    if (pixels.isNull())
        return;
    // A view onto the source rectangle without copying it; the scaling
    // below reads it before anything can change the source.
    const QImage part(pixels.constScanLine(mapped.top()) + size_t(mapped.left()) * 4, mapped.width(), mapped.height(),
        pixels.bytesPerLine(), pixels.format());
    // Qt's smooth scaling averages the covered area when it shrinks and
    // interpolates when it enlarges.
    QImage scaled = part.size() == dest.size()
        ? part.copy()
        : part.scaled(dest.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_impl->Paint([&](QPainter& painter) { painter.drawImage(dest.topLeft(), scaled); });
}

std::string Graphics::TextFont() const { return m_impl->TextFont; }
void Graphics::SetTextFont(const std::string& font) { m_impl->TextFont = font; }
double Graphics::TextSize() const { return m_impl->TextSize; }
void Graphics::SetTextSize(double size) { m_impl->TextSize = size; }
bool Graphics::Bold() const { return m_impl->Bold; }
void Graphics::SetBold(bool value) { m_impl->Bold = value; }
Color Graphics::ForeColor() const { return m_impl->ForeColor; }
void Graphics::SetForeColor(Color value) { m_impl->ForeColor = value; }

namespace {

// Breaks text into lines at its line ends (CR, LF or CRLF) and, when
// wrapWidth is positive, between words so that no line is wider.
QStringList LayOutLines(const QString& text, const QFontMetricsF& metrics, int wrapWidth)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragraphs = normalised.split(QLatin1Char('\n'));
    if (wrapWidth <= 0)
        return paragraphs;
    QStringList lines;
    for (const QString& paragraph : paragraphs) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > wrapWidth) {
                lines << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        lines << line;
    }
    return lines;
}

} // namespace

void Graphics::DrawString(const std::string& text, int32_t x, int32_t y, int32_t wrapWidth, bool)
{
    m_impl->Paint([&](QPainter& painter) {
        const QFontMetricsF metrics(painter.font(), painter.device());
        const QStringList lines = LayOutLines(QString::fromStdString(text), metrics, wrapWidth);
        double baseline = y;
        for (const QString& line : lines) {
            painter.drawText(QPointF(x, baseline), line);
            baseline += metrics.lineSpacing();
        }
    });
}

void Graphics::NextPage() { m_impl->NextPage(); }

int32_t Graphics::Width() const { return m_impl->Width(); }
int32_t Graphics::Height() const { return m_impl->Height(); }

} // namespace fw
