#include "platform/Timer.h"

#include <QTimer>

#include "platform/Application.h"
#include "platform/Seams.h"

namespace fw {

// The Qt timer behind a Timer control. It is no child of any widget, so it
// lives exactly as long as the control.
class TimerImpl {
public:
    explicit TimerImpl(Timer& owner)
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [&owner] { owner.Tick(); });
    }
    QTimer m_timer;
};

Timer::Timer()
    : m_impl(std::make_unique<TimerImpl>(*this))
{
}

Timer::~Timer() = default;

int32_t Timer::Mode() const
{
    return m_mode;
}

void Timer::SetMode(int32_t mode)
{
    // A timer of a closed window stays stopped: it reads as stopped, too.
    m_mode = (!m_closed && (mode == 1 || mode == 2)) ? mode : 0;
    QTimer& timer = m_impl->m_timer;
    timer.stop();
    if (m_mode == 0)
        return;
    timer.setSingleShot(m_mode == 1);
    timer.start(m_period);
}

int32_t Timer::Period() const
{
    return m_period;
}

void Timer::SetPeriod(int32_t milliseconds)
{
    // A period of 0 would fire on every pass of the event loop.
    m_period = milliseconds < 1 ? 1 : milliseconds;
    if (m_impl->m_timer.isActive())
        m_impl->m_timer.start(m_period);
}

void Timer::Event_Action()
{
    if (OnAction)
        OnAction(*this);
}

void Timer::Closed()
{
    m_closed = true;
    m_mode = 0;
    m_impl->m_timer.stop();
}

void Timer::Tick()
{
    auto keep = weak_from_this().lock();
    if (ModalDepth() > 0) {
        // Skipped, not queued; a one-shot timer keeps its single tick for
        // after the dialog.
        if (m_mode == 1)
            m_impl->m_timer.start(m_period);
        return;
    }
    // A tick may already be on its way when the timer is stopped.
    if (m_mode == 0)
        return;
    if (m_mode == 1)
        m_mode = 0;
    DispatchEvent(HandlerName("Action"), [&] { Event_Action(); });
}

} // namespace fw
