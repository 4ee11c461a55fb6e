#pragma once

#include <functional>
#include <string>

#include "platform/RectControl.h"

namespace fw {

class CheckBox : public RectControl {
public:
    std::string ClassName() const override { return "CheckBox"; }

    std::string Caption() const { return m_caption; }
    void SetCaption(const std::string& text);
    bool Value() const;
    // Raises the Action event, also when the value does not change (the
    // property list's Value is applied before any handler is bound).
    void SetValue(bool value);
    // 0 unticked, 1 ticked, 2 indeterminate (Value False). Setting it raises
    // Action as setting Value does.
    int32_t State() const { return m_state; }
    void SetState(int32_t state);
    void SetTextUnit(int32_t unit);

    std::function<void(CheckBox&)> OnAction;
    // A click: toggles the value (which raises Action). Ignored while the
    // check box is disabled.
    void Click();
    virtual void Event_Action();

protected:
    std::unique_ptr<RectControlImpl> CreateImpl() override;

private:
    void ShowState();
    void RaiseAction();

    std::string m_caption;
    int32_t m_state = 0;
};

} // namespace fw
