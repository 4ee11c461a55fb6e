// The four commands of the main menu bar that the application object handles.
#include "app/App.h"
#include "windows/AboutBox.h"
#include "windows/Help.h"
#include "windows/HelpPrinting.h"
#include "windows/selfTest.h"

bool App::CheckforUpdateCheckNow_Action()
{
    // Only the version window: the check itself starts from its button.
    selfTestInstance()->Show();
    return true;
}

bool App::HelpShowHelp_Action()
{
    HelpInstance()->Show();
    return true;
}

bool App::FilePrintHelp_Action()
{
    // The help window is closed afterwards in every case, also after a
    // cancelled dialog, so a window made only for this command goes again.
    PrintHelpText([] { return HelpInstance()->TextArea1(); });
    HelpInstance()->Close();
    return true;
}

bool App::HelpAboutBox_Action()
{
    AboutBoxInstance()->Show();
    return true;
}
