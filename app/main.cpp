// Tavrine's entry point: brings the framework up, runs the event loop and
// takes it down again, in a fixed order that the rest of the program relies
// on (the file type before the first open-file dialog, the application object
// before its handlers, the handlers before the loop delivers menu choices).
#include "app/App.h"
#include "app/ModuleValues.h"
#include "platform/Application.h"
#include "puzzle/PictureLoading.h"
#include "puzzle/PicturePlugins.h"

namespace {

// Runs a routine of one pointer argument for the framework.
void ExceptionHelper(void* routine, void* argument)
{
    reinterpret_cast<void (*)(void*)>(routine)(argument);
}

int FrameworkInitialized()
{
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    fw::RuntimeInit(argc, argv);
    RegisterProgramClasses();
    InitModuleValues();
    fw::RuntimeSetExceptionHelper(&ExceptionHelper);
    fw::RuntimeInitExternalClasses();
    // A missing plug-in library ends start-up with a message naming it; the
    // way out is then the same as after the event loop, so nothing the
    // framework started is left running when main returns.
    fw::DispatchEvent("LoadPicturePlugins", [] { LoadPicturePlugins(); });
    if (!fw::QuitRequested()) {
        InitFileTypes();

        auto app = std::make_shared<App>();
        app->Constructor();
        fw::RuntimeRegisterAppObject(app);
        app.reset();
        AddAppMenuHandlers();
        fw::RunFrameworkInitialization(&FrameworkInitialized);

        fw::RuntimeRun();
    }

    ReleaseModuleValues();
    return fw::RuntimeExit();
}
