#pragma once

#include <string>

class QWidget;

namespace fw::EditCommands {

// Whether `name` names one of the standard editing commands.
bool IsEditCommand(const std::string& name);

// The text control (QLineEdit, QTextEdit, QPlainTextEdit) that `focus` is or
// lies inside, or nullptr. Scroll areas hand focus to their viewport, so the
// focus widget itself is not always the control.
QWidget* TextControlOf(QWidget* focus);

// Whether the text control can carry out the command now: Copy needs a
// selection, Cut and Delete a selection in editable text, Paste editable text
// and text on the clipboard, Undo something to undo, Select All some text.
bool CanPerform(const std::string& name, QWidget* control);

// Carries the command out when CanPerform allows it; returns whether it did.
bool Perform(const std::string& name, QWidget* control);

} // namespace fw::EditCommands
