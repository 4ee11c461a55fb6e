#pragma once

#include <cstdint>
#include <string>

#include "platform/RectControl.h"

namespace fw {

// A bar that shows Value out of Maximum; a Maximum of 0 makes it an
// indeterminate busy indicator.
class ProgressBar : public RectControl {
public:
    ProgressBar();
    ~ProgressBar() override;
    std::string ClassName() const override { return "ProgressBar"; }

    int32_t Value() const { return m_value; }
    void SetValue(int32_t value);
    int32_t Maximum() const { return m_maximum; }
    void SetMaximum(int32_t value);
    // Whether the bar shows a busy indicator instead of a value.
    bool Indeterminate() const { return m_maximum == 0; }

protected:
    std::unique_ptr<RectControlImpl> CreateImpl() override;

private:
    void Update();

    int32_t m_value = 0;
    int32_t m_maximum = 100;
};

} // namespace fw
