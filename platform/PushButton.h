#pragma once

#include <functional>
#include <string>

#include "platform/RectControl.h"

namespace fw {

class PushButton : public RectControl {
public:
    std::string ClassName() const override { return "PushButton"; }

    std::string Caption() const { return m_caption; }
    void SetCaption(const std::string& text);
    // The last button given Default True is the window's default; Return
    // presses it. Reads True only for the window's current default button.
    bool Default() const;
    void SetDefault(bool value);
    // Escape presses the last button given Cancel True.
    bool Cancel() const;
    void SetCancel(bool value);
    void SetTextUnit(int32_t unit);
    int32_t ButtonStyle() const { return m_buttonStyle; }
    void SetButtonStyle(int32_t value) { m_buttonStyle = value; }

    std::function<void(PushButton&)> OnAction;
    // Presses the button as a click would (only when enabled).
    void Push();
    virtual void Event_Action();

protected:
    std::unique_ptr<RectControlImpl> CreateImpl() override;

private:
    std::string m_caption;
    bool m_default = false;
    bool m_cancel = false;
    int32_t m_buttonStyle = 0;
};

} // namespace fw
