#pragma once

// The widget behind a TextArea. Private to platform/qt (and the framework's
// tests).

#include <QKeyEvent>
#include <QTextEdit>

namespace fw {

// The widget behind a TextArea: a QTextEdit that refuses new paragraphs while
// the text area is single-line.
class TextAreaWidget : public QTextEdit {
public:
    bool SingleLine = false;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (SingleLine && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
            event->ignore();
            return;
        }
        QTextEdit::keyPressEvent(event);
    }
};

} // namespace fw
