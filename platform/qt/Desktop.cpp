#include "platform/System.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "platform/Seams.h"

namespace fw {

namespace {

QUrl StrictlyParsed(const std::string& url)
{
    return QUrl(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::StrictMode);
}

} // namespace

bool IsWebURL(const std::string& url)
{
    // Qt's strict parse refuses what a browser might read otherwise (blanks,
    // control characters, backslashes, stray percent signs); a host written
    // in Unicode is taken, as browsers take it, and handed on in its ASCII
    // form.
    const QUrl parsed = StrictlyParsed(url);
    if (!parsed.isValid())
        return false;
    const QString scheme = parsed.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !parsed.host().isEmpty();
}

bool IsOpenableURL(const std::string& url)
{
    if (IsWebURL(url))
        return true;
    const QUrl parsed = StrictlyParsed(url);
    return parsed.isValid() && parsed.scheme().toLower() == QLatin1String("mailto") && !parsed.path().isEmpty();
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
    QDesktopServices::openUrl(StrictlyParsed(url));
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
