#pragma once

// A text area alone on a window of its own, opened for a test and closed
// after it.
#include <memory>
#include <string>

#include "platform/TextArea.h"
#include "platform/Window.h"

class TextAreaHost : public fw::Window {
public:
    std::string ClassName() const override { return "TextAreaHost.TextAreaHost"; }
};

// Opens a host window into `host` and gives back its text area, added under
// `name`.
inline std::shared_ptr<fw::TextArea> OpenTextAreaHost(std::shared_ptr<TextAreaHost>& host, const std::string& name)
{
    host = std::make_shared<TextAreaHost>();
    host->Constructor();
    auto text = host->New<fw::TextArea>();
    host->AddControl(text, name);
    return text;
}

// Lets go of the text area, then closes and drops the window.
inline void CloseTextAreaHost(std::shared_ptr<TextAreaHost>& host, std::shared_ptr<fw::TextArea>& text)
{
    text.reset();
    host->Close();
    host.reset();
}
