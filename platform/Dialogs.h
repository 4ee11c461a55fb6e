#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Object.h"

namespace fw {

class FolderItem;

// A file type the open-file dialog can filter by.
class FileType : public Object {
public:
    std::string ClassName() const override { return "FileType"; }
    const std::string& Name() const { return m_name; }
    void SetName(const std::string& v) { m_name = v; }
    // ";"-separated, each with its dot: ".jpg;.jpeg".
    const std::string& Extensions() const { return m_extensions; }
    void SetExtensions(const std::string& v) { m_extensions = v; }
    const std::string& MacType() const { return m_macType; }
    void SetMacType(const std::string& v) { m_macType = v; }
    const std::string& MacCreator() const { return m_macCreator; }
    void SetMacCreator(const std::string& v) { m_macCreator = v; }
    // Registers the type with the framework (the first time) and gives its Name.
    std::string ToText();
    // Whether a file name carries one of the extensions, ignoring case.
    bool Matches(const std::string& fileName) const;

private:
    std::string m_name;
    std::string m_extensions;
    std::string m_macType;
    std::string m_macCreator;
};
// The registered type of that Name, or nullptr.
std::shared_ptr<FileType> FindFileType(const std::string& name);

// The open-file dialog.
class OpenDialog : public Object {
public:
    std::string ClassName() const override { return "OpenDialog"; }
    // ";"-separated names of registered file types.
    std::string Filter;
    std::string PromptText;
    std::string Title;
    // The chosen file, or nullptr when the player cancels.
    std::shared_ptr<FolderItem> ShowModal();
};

// A modal message box.
void MsgBox(const std::string& text);

class MessageDialogButton : public Object {
public:
    std::string ClassName() const override { return "MessageDialogButton"; }
    std::string Caption;
    bool Visible = false;
};

class MessageDialog : public Object {
public:
    MessageDialog();
    std::string ClassName() const override { return "MessageDialog"; }
    std::string Title;
    std::string Message;
    std::string Explanation;
    int32_t Icon = 0;
    std::shared_ptr<MessageDialogButton> ActionButton;
    std::shared_ptr<MessageDialogButton> CancelButton;
    std::shared_ptr<MessageDialogButton> AlternateActionButton;
    // Shows the dialog modally; returns the button pressed.
    std::shared_ptr<MessageDialogButton> ShowModal();
};

} // namespace fw
