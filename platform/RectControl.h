#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Control.h"

namespace fw {

class RectControlImpl;

// A control with a place on its window. Left and Top are window coordinates
// (points from the content area's top-left), also for controls whose
// InitialParent is another control: a parent does not clip its children.
// Stacking: a control created earlier lies above one created later inside the
// same parent, and a child lies above its parent.
class RectControl : public Control {
public:
    RectControl();
    ~RectControl() override;
    std::string ClassName() const override { return "RectControl"; }

    void Constructor();

    int32_t Left() const { return m_left; }
    void SetLeft(int32_t value);
    int32_t Top() const { return m_top; }
    void SetTop(int32_t value);
    int32_t Width() const { return m_width; }
    void SetWidth(int32_t value);
    int32_t Height() const { return m_height; }
    void SetHeight(int32_t value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    int32_t TabIndex() const { return m_tabIndex; }
    void SetTabIndex(int32_t value) { m_tabIndex = value; }
    const std::string& InitialParent() const { return m_initialParent; }
    void SetInitialParent(const std::string& name);

    // The mouse position in window coordinates.
    int32_t MouseX() const;
    int32_t MouseY() const;

    void Refresh(bool eraseBackground = true);

    // Text style of the controls that show text. "System" is the desktop's
    // UI font; a size of 0 is the font's default size.
    const std::string& TextFont() const { return m_textFont; }
    void SetTextFont(const std::string& value);
    double FontSize() const { return m_textSize; }
    void SetFontSize(double points);
    bool Bold() const { return m_bold; }
    void SetBold(bool value);
    bool Italic() const { return m_italic; }
    void SetItalic(bool value);
    bool Underline() const { return m_underline; }
    void SetUnderline(bool value);
    // 0 = points; other units are taken as points too.
    int32_t TextUnit() const { return m_textUnit; }
    void SetTextUnitValue(int32_t value) { m_textUnit = value; }

    // Platform internals.
    RectControlImpl* Impl() const { return m_impl.get(); }
    void SetImpl(std::unique_ptr<RectControlImpl> impl);

protected:
    // Called after the geometry or visibility changed so the widget follows.
    virtual void GeometryChanged();
    // Called after the text style changed.
    virtual void StyleChanged();
    // Builds the control's widget on its window's content area.
    virtual std::unique_ptr<RectControlImpl> CreateImpl();
    void WindowAttached() override;

private:
    std::unique_ptr<RectControlImpl> m_impl;
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    int32_t m_tabIndex = 0;
    std::string m_initialParent;
    std::string m_textFont = "System";
    double m_textSize = 0;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    int32_t m_textUnit = 0;
};

} // namespace fw
