#include "platform/Seams.h"

namespace fw {

namespace {

struct SeamTable {
    Seams::OpenDialogAnswer openDialog;
    Seams::MessageBoxAnswer messageBox;
    Seams::MessageDialogAnswer messageDialog;
    Seams::PrinterDialogAnswer printerDialog;
    Seams::SoundRecorder sound;
    Seams::URLRecorder url;
    Seams::BeepRecorder beep;
};

SeamTable& Table()
{
    static SeamTable table;
    return table;
}

int g_modalDepth = 0;

} // namespace

namespace Seams {

void SetOpenDialogAnswer(OpenDialogAnswer answer) { Table().openDialog = std::move(answer); }
void SetMessageBoxAnswer(MessageBoxAnswer answer) { Table().messageBox = std::move(answer); }
void SetMessageDialogAnswer(MessageDialogAnswer answer) { Table().messageDialog = std::move(answer); }
void SetPrinterDialogAnswer(PrinterDialogAnswer answer) { Table().printerDialog = std::move(answer); }
void SetSoundRecorder(SoundRecorder recorder) { Table().sound = std::move(recorder); }
void SetURLRecorder(URLRecorder recorder) { Table().url = std::move(recorder); }
void SetBeepRecorder(BeepRecorder recorder) { Table().beep = std::move(recorder); }

void ResetSeams()
{
    Table() = SeamTable {};
}

OpenDialogAnswer GetOpenDialogAnswer() { return Table().openDialog; }
MessageBoxAnswer GetMessageBoxAnswer() { return Table().messageBox; }
MessageDialogAnswer GetMessageDialogAnswer() { return Table().messageDialog; }
PrinterDialogAnswer GetPrinterDialogAnswer() { return Table().printerDialog; }
SoundRecorder GetSoundRecorder() { return Table().sound; }
URLRecorder GetURLRecorder() { return Table().url; }
BeepRecorder GetBeepRecorder() { return Table().beep; }

} // namespace Seams

int ModalDepth()
{
    return g_modalDepth;
}

ModalScope::ModalScope()
{
    ++g_modalDepth;
}

ModalScope::~ModalScope()
{
    --g_modalDepth;
}

} // namespace fw
