#include "platform/qt/PngFileIcons.h"

#include <algorithm>
#include <vector>

#include <QFileInfo>
#include <QIcon>
#include <QIconEngine>
#include <QIconEnginePlugin>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QtPlugin>

namespace fw {

namespace {

// Set while an engine hands its files to Qt's own engine, so that Qt makes
// its own engine for them rather than asking for one of ours again.
thread_local bool t_handingOver = false;

class HandingOver {
public:
    HandingOver() { t_handingOver = true; }
    ~HandingOver() { t_handingOver = false; }
    HandingOver(const HandingOver&) = delete;
    HandingOver& operator=(const HandingOver&) = delete;
};

qint64 Area(const QSize& size)
{
    return qint64(size.width()) * size.height();
}

// Keeps the files an icon was given, and gives Qt's own engine (`m_read`)
// only those a size asked for needs. Qt picks, among the images of one mode
// and state, the smallest that covers the size asked for, or else the
// largest; once that image is in `m_read` it is the one Qt picks there too,
// so every answer is the answer Qt's engine would give with all the files.
class PngFileIconEngine : public QIconEngine {
public:
    void addFile(const QString& fileName, const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (fileName.isEmpty())
            return;
        // As Qt's engine does: a file that is not an image adds nothing.
        // Reading the header tells that without decoding the image.
        if (QImageReader(fileName).format().isEmpty())
            return;
        const QString path = fileName.startsWith(u':') ? fileName : QFileInfo(fileName).absoluteFilePath();
        m_files.push_back({ path, size, mode, state, false });
        // Without a size only reading the file tells what it holds.
        if (!size.isValid())
            HandOver(m_files.back());
    }

    void addPixmap(const QPixmap& pixmap, QIcon::Mode mode, QIcon::State state) override
    {
        if (pixmap.isNull())
            return;
        // A pixmap takes the place of a file of its size, mode and state.
        std::erase_if(m_files, [&](const File& file) {
            return !file.HandedOver && file.Size == pixmap.size() && file.Mode == mode && file.State == state;
        });
        m_read.addPixmap(pixmap, mode, state);
        m_files.push_back({ QString(), pixmap.size(), mode, state, true });
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        ReadFor(size, 1.0);
        return m_read.actualSize(size, mode, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        ReadFor(size, 1.0);
        return m_read.pixmap(size, 1.0, mode, state);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        if (scale <= 0)
            scale = 1;
        ReadFor(size / scale, scale);
        return m_read.pixmap(size / scale, scale, mode, state);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPaintDevice* device = painter->device();
        ReadFor(rect.size(), device ? device->devicePixelRatio() : 1.0);
        m_read.paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        QList<QSize> sizes;
        for (const File& file : m_files) {
            if (file.Mode != mode || file.State != state)
                continue;
            // Files added without a size are in Qt's engine already.
            if (!file.Size.isValid())
                return m_read.availableSizes(mode, state);
            if (!file.Size.isEmpty())
                sizes.push_back(file.Size);
        }
        return sizes;
    }

    bool isNull() override { return m_files.empty(); }
    QString key() const override { return QStringLiteral("PngFileIconEngine"); }
    QIconEngine* clone() const override { return new PngFileIconEngine(*this); }

private:
    struct File {
        QString Path;
        QSize Size;
        QIcon::Mode Mode;
        QIcon::State State;
        bool HandedOver;
    };

    void HandOver(File& file)
    {
        file.HandedOver = true;
        HandingOver handing;
        m_read.addFile(file.Path, file.Size, file.Mode, file.State);
    }

    // The area of the image Qt picks for `size` among the sized files of
    // `file`'s mode and state.
    qint64 PickedArea(const File& file, const QSize& size) const
    {
        const qint64 wanted = Area(size);
        qint64 smallestCovering = -1;
        qint64 largest = -1;
        for (const File& other : m_files) {
            if (other.Mode != file.Mode || other.State != file.State || !other.Size.isValid())
                continue;
            const qint64 area = Area(other.Size);
            if (area >= wanted && (smallestCovering < 0 || area < smallestCovering))
                smallestCovering = area;
            largest = std::max(largest, area);
        }
        return smallestCovering >= 0 ? smallestCovering : largest;
    }

    // Hands over, for each mode and state, the files Qt would pick for
    // `size` in logical and in device pixels.
    void ReadFor(const QSize& size, qreal scale)
    {
        const QSize device = size * scale;
        for (File& file : m_files) {
            if (file.HandedOver || !file.Size.isValid())
                continue;
            const qint64 area = Area(file.Size);
            if (area == PickedArea(file, size) || area == PickedArea(file, device))
                HandOver(file);
        }
    }

    std::vector<File> m_files;
    QIcon m_read;
};

} // namespace

// Qt asks the icon-engine plug-ins for an engine by the file's suffix when an
// icon is first given a file.
class PngFileIconPlugin : public QIconEnginePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QIconEngineFactoryInterface_iid FILE "PngFileIcons.json")

public:
    // Empty: Qt then adds the file with its size.
    QIconEngine* create(const QString&) override { return t_handingOver ? nullptr : new PngFileIconEngine; }
};

} // namespace fw

#include "PngFileIcons.moc"

namespace fw {

void InstallPngFileIcons()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    qRegisterStaticPluginFunction(qt_static_plugin_PngFileIconPlugin());
}

} // namespace fw
