#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/RectControl.h"

namespace fw {

class Graphics;
class StyledTextPrinter;
class TextAreaWidget;

// An editable text field, one line or many, plain or styled. Carriage
// returns (and line feeds) in Text are paragraph breaks; Text gives the
// paragraphs back joined by carriage returns. SelStart and SelLength count
// characters from 0.
class TextArea : public RectControl {
public:
    TextArea();
    ~TextArea() override;
    std::string ClassName() const override { return "TextArea"; }

    std::string Text() const;
    void SetText(const std::string& text);
    // The styled text as HTML, for keeping or handing to another text area.
    std::string StyledText() const;
    void SetStyledText(const std::string& html);

    int32_t SelStart() const;
    void SetSelStart(int32_t value);
    int32_t SelLength() const;
    void SetSelLength(int32_t value);
    std::string SelText() const;
    void SelectAll();

    bool ReadOnly() const;
    void SetReadOnly(bool value);
    bool Styled() const;
    void SetStyled(bool value);
    bool Multiline() const;
    void SetMultiline(bool value);
    bool ScrollbarVertical() const;
    void SetScrollbarVertical(bool value);
    bool ScrollbarHorizontal() const;
    void SetScrollbarHorizontal(bool value);
    bool AcceptTabs() const;
    void SetAcceptTabs(bool value);
    bool HideSelection() const;
    void SetHideSelection(bool value);
    bool Border() const;
    void SetBorder(bool value);
    // 0 means no limit.
    int32_t LimitText() const;
    void SetLimitText(int32_t value);
    // 0 default (left), 1 left, 2 centre, 3 right.
    int32_t Alignment() const;
    void SetAlignment(int32_t value);

    // The base font of text that carries no style of its own is the
    // control's text style (TextFont, Bold, Italic, Underline of
    // RectControl); TextSize is its size in points, 0 the desktop's default.
    double TextSize() const { return FontSize(); }
    void SetTextSize(double size) { SetFontSize(size); }
    void SetTextUnit(int32_t unit) { SetTextUnitValue(unit); }
    // The colours of text without a colour of its own and of the background.
    Color TextColor() const;
    void SetTextColor(Color value);
    Color BackColor() const;
    void SetBackColor(Color value);

    // Whether the widget shows a scroll bar now (tests: vertical only).
    bool VerticalScrollBarShown() const;
    bool HorizontalScrollBarShown() const;
    // Gives the text area the keyboard focus, as a click into it would.
    void SetFocus();

    // A printer over a copy of the styled text as it stands now, laying it
    // out `width` points wide with the graphics' font settings as the base
    // font of text without a style of its own.
    std::shared_ptr<fw::StyledTextPrinter> StyledTextPrinter(Graphics& graphics, int32_t width);

    // Raised whenever the text changes, by the player or by code.
    std::function<void(TextArea&)> OnTextChange;

    // Platform internals.
    TextAreaWidget* Widget() const;

protected:
    std::unique_ptr<RectControlImpl> CreateImpl() override;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace fw
