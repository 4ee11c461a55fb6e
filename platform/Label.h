#pragma once

#include <string>

#include "platform/RectControl.h"

namespace fw {

// Draws carriage returns as line breaks, whether or not Multiline is set.
class Label : public RectControl {
public:
    std::string ClassName() const override { return "Label"; }

    std::string Text() const;
    void SetText(const std::string& text);
    double TextSize() const;
    void SetTextSize(double size);
    void SetTextUnit(int32_t unit);
    // 0 left, 1 centred, 2 right.
    int32_t TextAlign() const { return m_textAlign; }
    void SetTextAlign(int32_t value);
    Color TextColor() const { return m_textColor; }
    void SetTextColor(Color value);
    // Multiline also wraps long lines at word boundaries.
    bool Multiline() const { return m_multiline; }
    void SetMultiline(bool value);
    // Number of times the shown text was changed (tests: a steady count
    // causes no redraw).
    uint64_t TextChangeCount() const;

protected:
    std::unique_ptr<RectControlImpl> CreateImpl() override;

private:
    std::string m_text;
    int32_t m_textAlign = 0;
    Color m_textColor = RGB(0, 0, 0);
    bool m_multiline = false;
    uint64_t m_textChanges = 0;
};

} // namespace fw
