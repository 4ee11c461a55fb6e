#include "platform/System.h"

#include <QDateTime>
#include <QLocale>

namespace fw {

namespace {

QDateTime LocalTimeOf(int64_t msecsSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch).toLocalTime();
}

} // namespace

Date::Date()
    : m_msecsSinceEpoch(QDateTime::currentMSecsSinceEpoch())
{
}

std::string Date::ShortTime() const
{
    return QLocale::system().toString(LocalTimeOf(m_msecsSinceEpoch).time(), QLocale::ShortFormat).toStdString();
}

std::string Date::ShortDate() const
{
    return QLocale::system().toString(LocalTimeOf(m_msecsSinceEpoch).date(), QLocale::ShortFormat).toStdString();
}

} // namespace fw
