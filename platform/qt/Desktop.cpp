#include "platform/System.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "platform/Seams.h"

namespace fw {

bool IsOpenableURL(const std::string& url)
{
    const QUrl parsed(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::StrictMode);
    if (!parsed.isValid())
        return false;
    const QString scheme = parsed.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return !parsed.path().isEmpty();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !parsed.host().isEmpty();
}

void ShowURL(const std::string& url)
{
    if (auto recorder = Seams::GetURLRecorder()) {
        recorder(url);
        return;
    }
    // Links can come from a downloaded document; a file or program link from
    // there must not reach the desktop, which would open or run it.
    if (!IsOpenableURL(url))
        return;
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::StrictMode));
}

void Beep()
{
    if (auto recorder = Seams::GetBeepRecorder()) {
        recorder();
        return;
    }
    QApplication::beep();
}

} // namespace fw
