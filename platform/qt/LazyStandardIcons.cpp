#include "platform/qt/LazyStandardIcons.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>

namespace fw {

namespace {

bool AlwaysProvided(QStyle::StandardPixmap which)
{
    switch (which) {
    case QStyle::SP_ArrowBack:
    case QStyle::SP_ArrowForward:
    case QStyle::SP_FileDialogToParent:
    case QStyle::SP_FileDialogNewFolder:
    case QStyle::SP_FileDialogListView:
    case QStyle::SP_FileDialogDetailedView:
    case QStyle::SP_DirIcon:
    case QStyle::SP_DirOpenIcon:
    case QStyle::SP_DirLinkIcon:
    case QStyle::SP_FileIcon:
    case QStyle::SP_FileLinkIcon:
    case QStyle::SP_DriveHDIcon:
    case QStyle::SP_DriveFDIcon:
    case QStyle::SP_DriveCDIcon:
    case QStyle::SP_DriveNetIcon:
    case QStyle::SP_ComputerIcon:
    case QStyle::SP_DesktopIcon:
    case QStyle::SP_TrashIcon:
    case QStyle::SP_DirHomeIcon:
    case QStyle::SP_ToolBarHorizontalExtensionButton:
    case QStyle::SP_ToolBarVerticalExtensionButton:
        return true;
    default:
        return false;
    }
}

class LazyStandardIconStyle;
QIcon ResolveStandardIcon(const LazyStandardIconStyle* style, QStyle::StandardPixmap which, const QWidget* widget);

// An icon that asks the style for the real one the first time anything about
// it is needed, and from then on is that icon.
class LazyStandardIconEngine : public QIconEngine {
public:
    LazyStandardIconEngine(const LazyStandardIconStyle* style, QStyle::StandardPixmap which, const QWidget* widget)
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
    // Widgets ask whether an icon is null as soon as they are given one. The
    // icons the common style draws from its own images are never null, so
    // the answer needs no icon; any other is made to answer.
    bool isNull() override
    {
        if (!m_resolved && AlwaysProvided(m_which))
            return false;
        return Real().isNull();
    }

private:
    QIcon& Real()
    {
        if (!m_resolved) {
            m_resolved = true;
            m_real = ResolveStandardIcon(m_style.data(), m_which, m_widget.data());
        }
        return m_real;
    }

    QPointer<const LazyStandardIconStyle> m_style;
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
        return QIcon(new LazyStandardIconEngine(this, which, widget));
    }

    // The base style's icon, made once per kind and direction: the open-file
    // dialog alone asks for the folder icon dozens of times.
    QIcon Resolved(StandardPixmap which, const QWidget* widget) const
    {
        const bool rightToLeft = widget ? widget->isRightToLeft() : QGuiApplication::isRightToLeft();
        const quint64 key = quint64(which) << 1 | quint64(rightToLeft);
        auto found = m_made.constFind(key);
        if (found != m_made.constEnd())
            return *found;
        QIcon icon = baseStyle()->standardIcon(which, nullptr, widget);
        m_made.insert(key, icon);
        return icon;
    }

private:
    mutable QHash<quint64, QIcon> m_made;
};

QIcon ResolveStandardIcon(const LazyStandardIconStyle* style, QStyle::StandardPixmap which, const QWidget* widget)
{
    return style ? style->Resolved(which, widget) : QIcon();
}

} // namespace

bool IsAlwaysProvidedStandardIcon(QStyle::StandardPixmap which)
{
    return AlwaysProvided(which);
}

QStyle* MakeLazyStandardIconStyle(QStyle* base)
{
    return new LazyStandardIconStyle(base);
}

void SkipFallbackOnlyIconTheme()
{
    if (QIcon::themeName() != QIcon::fallbackThemeName())
        return;
    // Only themes built into the program (it has none) are searched, so
    // Qt's own icons are drawn at once.
    QIcon::setThemeSearchPaths({ QStringLiteral(":/icons") });
}

void InstallLazyStandardIcons()
{
    SkipFallbackOnlyIconTheme();
    if (dynamic_cast<LazyStandardIconStyle*>(QApplication::style()))
        return;
    // Over a fresh copy of the style in use, which the proxy then owns.
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    QApplication::setStyle(new LazyStandardIconStyle(base));
}

} // namespace fw
