#pragma once

#include <functional>
#include <memory>

#include "platform/Control.h"

namespace fw {

class TimerImpl;

// Mode 0 stopped, 1 fires once, 2 fires every Period milliseconds. While a
// modal dialog or message box is up, due ticks are skipped, not queued. A
// timer stops for good when its window closes.
class Timer : public Control {
public:
    Timer();
    ~Timer() override;
    std::string ClassName() const override { return "Timer"; }

    int32_t Mode() const;
    void SetMode(int32_t mode);
    int32_t Period() const;
    void SetPeriod(int32_t milliseconds);

    std::function<void(Timer&)> OnAction;
    // Raises the Action event now, as a tick would.
    virtual void Event_Action();

    void Closed() override;

private:
    friend class TimerImpl;
    void Tick();

    std::unique_ptr<TimerImpl> m_impl;
    int32_t m_mode = 0;
    int32_t m_period = 1000;
    bool m_closed = false;
};

} // namespace fw
