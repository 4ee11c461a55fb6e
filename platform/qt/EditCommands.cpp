#include "platform/qt/EditCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace fw::EditCommands {

namespace {

enum class Command { None, Undo, Cut, Copy, Paste, Clear, SelectAll };

Command Parse(const std::string& name)
{
    if (name == "EditUndo")
        return Command::Undo;
    if (name == "EditCut")
        return Command::Cut;
    if (name == "EditCopy")
        return Command::Copy;
    if (name == "EditPaste")
        return Command::Paste;
    if (name == "EditClear")
        return Command::Clear;
    if (name == "EditSelectAll")
        return Command::SelectAll;
    return Command::None;
}

bool ClipboardHasText()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

// QTextEdit and QPlainTextEdit share the editing members but no base class
// that has them, so one template serves both.
template <class Edit>
bool CanDo(Edit* edit, Command command)
{
    const bool editable = !edit->isReadOnly();
    const bool selection = edit->textCursor().hasSelection();
    switch (command) {
    case Command::Undo:
        return editable && edit->document()->isUndoAvailable();
    case Command::Cut:
    case Command::Clear:
        return editable && selection;
    case Command::Copy:
        return selection;
    case Command::Paste:
        return editable && edit->canPaste();
    case Command::SelectAll:
        return !edit->document()->isEmpty();
    case Command::None:
        break;
    }
    return false;
}

// Clear removes the selection: a line edit has its own member for it.
template <class Edit>
void ClearSelection(Edit* edit)
{
    QTextCursor cursor = edit->textCursor();
    cursor.removeSelectedText();
    edit->setTextCursor(cursor);
}

void ClearSelection(QLineEdit* edit)
{
    edit->del();
}

// The three edit classes name the other commands alike.
template <class Edit>
void Do(Edit* edit, Command command)
{
    switch (command) {
    case Command::Undo:
        edit->undo();
        break;
    case Command::Cut:
        edit->cut();
        break;
    case Command::Copy:
        edit->copy();
        break;
    case Command::Paste:
        edit->paste();
        break;
    case Command::Clear:
        ClearSelection(edit);
        break;
    case Command::SelectAll:
        edit->selectAll();
        break;
    case Command::None:
        break;
    }
}

bool CanDoLine(QLineEdit* edit, Command command)
{
    const bool editable = !edit->isReadOnly();
    // A password field never gives its text away.
    const bool revealing = edit->echoMode() == QLineEdit::Normal;
    switch (command) {
    case Command::Undo:
        return editable && edit->isUndoAvailable();
    case Command::Cut:
        return editable && revealing && edit->hasSelectedText();
    case Command::Clear:
        return editable && edit->hasSelectedText();
    case Command::Copy:
        return revealing && edit->hasSelectedText();
    case Command::Paste:
        return editable && ClipboardHasText();
    case Command::SelectAll:
        return !edit->text().isEmpty();
    case Command::None:
        break;
    }
    return false;
}

} // namespace

bool IsEditCommand(const std::string& name)
{
    return Parse(name) != Command::None;
}

QWidget* TextControlOf(QWidget* focus)
{
    // The viewport of a scroll area, or a line edit inside a combo box, lies
    // at most two levels below the control that owns the text.
    QWidget* w = focus;
    for (int level = 0; w && level < 3 && !w->isWindow(); ++level, w = w->parentWidget()) {
        if (qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QLineEdit*>(w))
            return w;
    }
    return nullptr;
}

bool CanPerform(const std::string& name, QWidget* control)
{
    const Command command = Parse(name);
    if (!control || command == Command::None)
        return false;
    if (auto* text = qobject_cast<QTextEdit*>(control))
        return CanDo(text, command);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        return CanDo(plain, command);
    if (auto* line = qobject_cast<QLineEdit*>(control))
        return CanDoLine(line, command);
    return false;
}

bool Perform(const std::string& name, QWidget* control)
{
    if (!CanPerform(name, control))
        return false;
    const Command command = Parse(name);
    if (auto* text = qobject_cast<QTextEdit*>(control))
        Do(text, command);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        Do(plain, command);
    else if (auto* line = qobject_cast<QLineEdit*>(control))
        Do(line, command);
    return true;
}

} // namespace fw::EditCommands
