#pragma once

#include "platform/RectControl.h"

namespace fw {

// A filled rectangle with a border: the top and left edges in TopLeftColor,
// the bottom and right edges in BottomRightColor.
class Rectangle : public RectControl {
public:
    std::string ClassName() const override { return "Rectangle"; }

    Color FillColor() const { return m_fill; }
    void SetFillColor(Color value);
    int32_t BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int32_t value);
    Color TopLeftColor() const { return m_topLeft; }
    void SetTopLeftColor(Color value);
    Color BottomRightColor() const { return m_bottomRight; }
    void SetBottomRightColor(Color value);

protected:
    std::unique_ptr<RectControlImpl> CreateImpl() override;

private:
    Color m_fill = RGB(255, 255, 255);
    int32_t m_borderWidth = 1;
    Color m_topLeft = RGB(0, 0, 0);
    Color m_bottomRight = RGB(0, 0, 0);
};

} // namespace fw
