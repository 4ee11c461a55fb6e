#pragma once

#include <functional>
#include <memory>

namespace fw {
class TextArea;
}

// Prints a text as it stands: the printer dialog, then one block of text per
// page with the page number and the time of printing at its foot. A cancelled
// dialog prints nothing. The text is reached only after the dialog, so a
// caller whose text area is made on demand makes it only when printing goes
// ahead.
void PrintHelpText(const std::function<std::shared_ptr<fw::TextArea>()>& text);
