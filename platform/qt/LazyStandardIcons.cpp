#include "platform/qt/LazyStandardIcons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>

namespace fw {

namespace {

// An icon that asks the style for the real one the first time anything about
// it is needed, and from then on is that icon.
class LazyStandardIconEngine : public QIconEngine {
public:
    LazyStandardIconEngine(const QStyle* style, QStyle::StandardPixmap which, const QWidget* widget)
        : m_style(style)
        , m_which(which)
        , m_widget(widget)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        Real().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Real().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Real().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        if (scale <= 0)
            scale = 1;
        return Real().pixmap(size / scale, scale, mode, state);
    }
    void addPixmap(const QPixmap& pixmap, QIcon::Mode mode, QIcon::State state) override
    {
        Real().addPixmap(pixmap, mode, state);
    }
    void addFile(const QString& fileName, const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        Real().addFile(fileName, size, mode, state);
    }
    QString key() const override { return QStringLiteral("TavrineLazyStandardIcon"); }
    QIconEngine* clone() const override { return new LazyStandardIconEngine(*this); }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Real().availableSizes(mode, state);
    }
    QString iconName() override { return Real().name(); }
    bool isNull() override { return Real().isNull(); }

private:
    QIcon& Real()
    {
        if (!m_resolved) {
            m_resolved = true;
            if (m_style)
                m_real = m_style->standardIcon(m_which, nullptr, m_widget.data());
        }
        return m_real;
    }

    QPointer<const QStyle> m_style;
    QStyle::StandardPixmap m_which;
    QPointer<const QWidget> m_widget;
    bool m_resolved = false;
    QIcon m_real;
};

class LazyStandardIconStyle : public QProxyStyle {
public:
    explicit LazyStandardIconStyle(QStyle* base)
        : QProxyStyle(base)
    {
    }

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        // An icon for a given option depends on that option, which does not
        // outlive the call: made at once.
        if (option)
            return QProxyStyle::standardIcon(which, option, widget);
        return QIcon(new LazyStandardIconEngine(baseStyle(), which, widget));
    }
};

} // namespace

QStyle* MakeLazyStandardIconStyle(QStyle* base)
{
    return new LazyStandardIconStyle(base);
}

void InstallLazyStandardIcons()
{
    if (dynamic_cast<LazyStandardIconStyle*>(QApplication::style()))
        return;
    // Over a fresh copy of the style in use, which the proxy then owns.
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    QApplication::setStyle(new LazyStandardIconStyle(base));
}

} // namespace fw
