#include "platform/TextArea.h"

#include <QKeyEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "platform/Application.h"
#include "platform/Graphics.h"
#include "platform/Printing.h"
#include "platform/Window.h"
#include "platform/qt/GraphicsImpl.h"
#include "platform/qt/PrintingImpl.h"
#include "platform/qt/RectControlImpl.h"
#include "platform/qt/TextAreaWidget.h"

namespace fw {

struct TextArea::State {
    QPointer<TextAreaWidget> Widget;
    bool Styled = true;
    bool Multiline = true;
    bool ScrollbarVertical = true;
    bool ScrollbarHorizontal = false;
    bool AcceptTabs = false;
    bool HideSelection = true;
    bool Border = true;
    bool ReadOnly = false;
    int32_t LimitText = 0;
    int32_t Alignment = 0;
    Color TextColor = RGB(0, 0, 0);
    Color BackColor = RGB(255, 255, 255);
    bool Trimming = false;
    QMetaObject::Connection Changed;
};

namespace {

// Text crosses the boundary with carriage returns as paragraph breaks; the
// document keeps its own separators.
QString ToDocumentText(const std::string& text)
{
    QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

std::string FromDocumentText(QString s)
{
    s.replace(QChar('\n'), QChar('\r'));
    s.replace(QChar(QChar::ParagraphSeparator), QChar('\r'));
    s.replace(QChar(QChar::LineSeparator), QChar('\r'));
    const QByteArray bytes = s.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

// Positions are counted in characters (code points) by the program and in
// UTF-16 units by the document.
int32_t ToCharacters(const QString& text, int units)
{
    int32_t characters = 0;
    for (int i = 0; i < units && i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++characters;
    }
    return characters;
}

int ToUnits(const QString& text, int32_t characters)
{
    int units = 0;
    int32_t seen = 0;
    while (units < text.size() && seen < characters) {
        if (text[units].isHighSurrogate() && units + 1 < text.size() && text[units + 1].isLowSurrogate())
            units += 2;
        else
            units += 1;
        ++seen;
    }
    return units;
}

QColor ToQColor(Color c)
{
    return QColor(c.Red, c.Green, c.Blue);
}

} // namespace

TextArea::TextArea()
    : m_state(std::make_unique<State>())
{
    RegisterFrameworkClasses();
    auto* widget = new TextAreaWidget;
    m_state->Widget = widget;
    m_state->Changed = QObject::connect(widget, &QTextEdit::textChanged, widget, [this] {
        // Trimming to the limit changes the text again; that change is part
        // of the one the player made.
        if (m_state->Trimming)
            return;
        if (m_state->LimitText > 0) {
            const QString text = m_state->Widget->toPlainText();
            if (ToCharacters(text, int(text.size())) > m_state->LimitText) {
                m_state->Trimming = true;
                QTextCursor cursor(m_state->Widget->document());
                cursor.setPosition(ToUnits(text, m_state->LimitText));
                cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
                m_state->Trimming = false;
            }
        }
        if (OnTextChange) {
            // The control stays alive while its handler runs.
            auto keep = weak_from_this().lock();
            DispatchEvent(HandlerName("TextChange").c_str(), [this] { OnTextChange(*this); });
        }
    });
    SetBorder(true);
    SetStyled(true);
    SetMultiline(true);
    SetScrollbarVertical(true);
    SetScrollbarHorizontal(false);
    SetAcceptTabs(false);
    SetHideSelection(true);
}

TextArea::~TextArea()
{
    // A widget that joined a window goes with the control's Qt side, later,
    // since the control may be let go inside one of the widget's events; one
    // that never joined is ours.
    QObject::disconnect(m_state->Changed);
    if (m_state->Widget && !m_state->Widget->parent())
        delete m_state->Widget.data();
}

TextAreaWidget* TextArea::Widget() const
{
    return m_state->Widget.data();
}

std::unique_ptr<RectControlImpl> TextArea::CreateImpl()
{
    // The widget exists from the start so text and settings given before the
    // control joined its window are kept; it joins the content area now.
    QWidget* content = ContentOf(*this);
    TextAreaWidget* widget = m_state->Widget.data();
    if (!content || !widget)
        return nullptr;
    widget->setParent(content);
    return std::make_unique<RectControlImpl>(widget);
}

std::string TextArea::Text() const
{
    if (!m_state->Widget)
        return "";
    return FromDocumentText(m_state->Widget->toPlainText());
}

void TextArea::SetText(const std::string& text)
{
    if (!m_state->Widget)
        return;
    m_state->Widget->setPlainText(ToDocumentText(text));
    SetAlignment(m_state->Alignment);
}

std::string TextArea::StyledText() const
{
    if (!m_state->Widget)
        return "";
    const QByteArray bytes = m_state->Widget->toHtml().toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

void TextArea::SetStyledText(const std::string& html)
{
    if (!m_state->Widget)
        return;
    m_state->Widget->setHtml(QString::fromUtf8(html.data(), qsizetype(html.size())));
}

int32_t TextArea::SelStart() const
{
    if (!m_state->Widget)
        return 0;
    const QTextCursor cursor = m_state->Widget->textCursor();
    return ToCharacters(m_state->Widget->toPlainText(), cursor.selectionStart());
}

void TextArea::SetSelStart(int32_t value)
{
    if (!m_state->Widget)
        return;
    const QString text = m_state->Widget->toPlainText();
    QTextCursor cursor = m_state->Widget->textCursor();
    cursor.setPosition(ToUnits(text, std::max(0, value)));
    m_state->Widget->setTextCursor(cursor);
}

int32_t TextArea::SelLength() const
{
    if (!m_state->Widget)
        return 0;
    const QTextCursor cursor = m_state->Widget->textCursor();
    const QString text = m_state->Widget->toPlainText();
    return ToCharacters(text, cursor.selectionEnd()) - ToCharacters(text, cursor.selectionStart());
}

void TextArea::SetSelLength(int32_t value)
{
    if (!m_state->Widget)
        return;
    const QString text = m_state->Widget->toPlainText();
    QTextCursor cursor = m_state->Widget->textCursor();
    const int32_t start = ToCharacters(text, cursor.selectionStart());
    cursor.setPosition(ToUnits(text, start));
    cursor.setPosition(ToUnits(text, start + std::max(0, value)), QTextCursor::KeepAnchor);
    m_state->Widget->setTextCursor(cursor);
}

std::string TextArea::SelText() const
{
    if (!m_state->Widget)
        return "";
    return FromDocumentText(m_state->Widget->textCursor().selectedText());
}

void TextArea::SelectAll()
{
    if (m_state->Widget)
        m_state->Widget->selectAll();
}

bool TextArea::ReadOnly() const { return m_state->ReadOnly; }
void TextArea::SetReadOnly(bool value)
{
    m_state->ReadOnly = value;
    if (m_state->Widget)
        m_state->Widget->setReadOnly(value);
}

bool TextArea::Styled() const { return m_state->Styled; }
void TextArea::SetStyled(bool value)
{
    m_state->Styled = value;
    if (m_state->Widget)
        m_state->Widget->setAcceptRichText(value);
}

bool TextArea::Multiline() const { return m_state->Multiline; }
void TextArea::SetMultiline(bool value)
{
    m_state->Multiline = value;
    if (m_state->Widget)
        m_state->Widget->SingleLine = !value;
    SetScrollbarHorizontal(m_state->ScrollbarHorizontal);
}

bool TextArea::ScrollbarVertical() const { return m_state->ScrollbarVertical; }
void TextArea::SetScrollbarVertical(bool value)
{
    m_state->ScrollbarVertical = value;
    if (m_state->Widget)
        m_state->Widget->setVerticalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

bool TextArea::ScrollbarHorizontal() const { return m_state->ScrollbarHorizontal; }
void TextArea::SetScrollbarHorizontal(bool value)
{
    m_state->ScrollbarHorizontal = value;
    if (!m_state->Widget)
        return;
    m_state->Widget->setHorizontalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // Without a horizontal scroll bar a multi-line text wraps at the frame, so
    // nothing lies out of reach.
    const bool wrap = m_state->Multiline && !value;
    m_state->Widget->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

bool TextArea::AcceptTabs() const { return m_state->AcceptTabs; }
void TextArea::SetAcceptTabs(bool value)
{
    m_state->AcceptTabs = value;
    if (m_state->Widget)
        m_state->Widget->setTabChangesFocus(!value);
}

bool TextArea::HideSelection() const { return m_state->HideSelection; }
void TextArea::SetHideSelection(bool value)
{
    m_state->HideSelection = value;
    if (!m_state->Widget)
        return;
    QPalette palette = m_state->Widget->palette();
    const QPalette defaults = m_state->Widget->style() ? m_state->Widget->style()->standardPalette() : QPalette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
        value ? QColor(Qt::transparent) : defaults.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
        value ? ToQColor(m_state->TextColor) : defaults.color(QPalette::Active, QPalette::HighlightedText));
    m_state->Widget->setPalette(palette);
}

bool TextArea::Border() const { return m_state->Border; }
void TextArea::SetBorder(bool value)
{
    m_state->Border = value;
    if (m_state->Widget)
        m_state->Widget->setFrameShape(value ? QFrame::StyledPanel : QFrame::NoFrame);
}

int32_t TextArea::LimitText() const { return m_state->LimitText; }
void TextArea::SetLimitText(int32_t value)
{
    m_state->LimitText = std::max(0, value);
}

int32_t TextArea::Alignment() const { return m_state->Alignment; }
void TextArea::SetAlignment(int32_t value)
{
    m_state->Alignment = value;
    if (!m_state->Widget)
        return;
    Qt::Alignment alignment = Qt::AlignLeft;
    if (value == 2)
        alignment = Qt::AlignHCenter;
    else if (value == 3)
        alignment = Qt::AlignRight;
    // Every paragraph takes the alignment without counting as an edit.
    QTextCursor cursor(m_state->Widget->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(alignment);
    const bool blocked = m_state->Widget->blockSignals(true);
    cursor.mergeBlockFormat(format);
    m_state->Widget->blockSignals(blocked);
    m_state->Widget->document()->clearUndoRedoStacks();
}

Color TextArea::TextColor() const { return m_state->TextColor; }
void TextArea::SetTextColor(Color value)
{
    m_state->TextColor = value;
    if (!m_state->Widget)
        return;
    QPalette palette = m_state->Widget->palette();
    palette.setColor(QPalette::Text, ToQColor(value));
    m_state->Widget->setPalette(palette);
}

Color TextArea::BackColor() const { return m_state->BackColor; }
void TextArea::SetBackColor(Color value)
{
    m_state->BackColor = value;
    if (!m_state->Widget)
        return;
    QPalette palette = m_state->Widget->palette();
    palette.setColor(QPalette::Base, ToQColor(value));
    m_state->Widget->setPalette(palette);
}

bool TextArea::VerticalScrollBarShown() const
{
    return m_state->Widget && m_state->Widget->verticalScrollBar()->isVisibleTo(m_state->Widget);
}

bool TextArea::HorizontalScrollBarShown() const
{
    return m_state->Widget && m_state->Widget->horizontalScrollBar()->isVisibleTo(m_state->Widget);
}

void TextArea::SetFocus()
{
    if (m_state->Widget)
        m_state->Widget->setFocus(Qt::OtherFocusReason);
}

std::shared_ptr<fw::StyledTextPrinter> TextArea::StyledTextPrinter(Graphics& graphics, int32_t width)
{
    QTextDocument empty;
    const QTextDocument& source = m_state->Widget ? *m_state->Widget->document() : empty;
    return std::make_shared<fw::StyledTextPrinter>(
        std::make_unique<StyledTextPrinterImpl>(source, graphics, width));
}

} // namespace fw
