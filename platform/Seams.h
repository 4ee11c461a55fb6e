#pragma once

#include <functional>
#include <memory>
#include <string>

namespace fw {

class FolderItem;
class OpenDialog;
class MessageDialog;
class MessageDialogButton;

// One seam for each thing the player answers or hears. Tests install an
// answer or a recorder; with none installed the real Qt dialog, sound or
// desktop service runs. Every installed function is cleared by
// ResetSeams().
namespace Seams {

// Answers the open-file dialog: the chosen file, or nullptr for Cancel.
using OpenDialogAnswer = std::function<std::shared_ptr<FolderItem>(const OpenDialog&)>;
void SetOpenDialogAnswer(OpenDialogAnswer answer);

// Sees every message box; the box counts as dismissed when it returns.
using MessageBoxAnswer = std::function<void(const std::string& text)>;
void SetMessageBoxAnswer(MessageBoxAnswer answer);

// Answers a MessageDialog with one of its buttons.
using MessageDialogAnswer = std::function<std::shared_ptr<MessageDialogButton>(const MessageDialog&)>;
void SetMessageDialogAnswer(MessageDialogAnswer answer);

// Answers the printer dialog: the path of a PDF file to print into, or ""
// for Cancel.
using PrinterDialogAnswer = std::function<std::string()>;
void SetPrinterDialogAnswer(PrinterDialogAnswer answer);

// Records sounds instead of playing them (the sound file's path).
using SoundRecorder = std::function<void(const std::string& path)>;
void SetSoundRecorder(SoundRecorder recorder);

// Records links instead of opening them.
using URLRecorder = std::function<void(const std::string& url)>;
void SetURLRecorder(URLRecorder recorder);

// Records beeps instead of sounding them.
using BeepRecorder = std::function<void()>;
void SetBeepRecorder(BeepRecorder recorder);

void ResetSeams();

// The installed functions, for the framework's own dialogs, sounds and
// services; an empty function means none is installed. Each returns a copy so
// that an answer which resets the seams while it runs stays valid.
OpenDialogAnswer GetOpenDialogAnswer();
MessageBoxAnswer GetMessageBoxAnswer();
MessageDialogAnswer GetMessageDialogAnswer();
PrinterDialogAnswer GetPrinterDialogAnswer();
SoundRecorder GetSoundRecorder();
URLRecorder GetURLRecorder();
BeepRecorder GetBeepRecorder();

} // namespace Seams

// Depth of modal dialogs and message boxes now up (answered ones count while
// their answer runs). Timer ticks are skipped while it is above zero.
int ModalDepth();

// Marks a modal section; used by every modal seam.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

} // namespace fw
