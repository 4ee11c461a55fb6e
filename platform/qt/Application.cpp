#include "platform/Application.h"

#include <cxxabi.h>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <typeinfo>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "platform/MenuItem.h"
#include "platform/System.h"
#include "platform/Version.h"
#include "platform/Window.h"
#include "platform/qt/EnvironmentSeams.h"
#include "platform/qt/LazyStandardIcons.h"
#include "platform/qt/PngFileIcons.h"
#include "platform/qt/RuntimeInternal.h"
#include "platform/qt/WindowImpl.h"

namespace fw {

namespace {

QApplication* s_ownApplication = nullptr;
std::shared_ptr<Application> s_app;
ExceptionHelper s_exceptionHelper = nullptr;
bool s_quitRequested = false;
int s_quitCode = 0;
bool s_fatal = false;
QEventLoop* s_mainLoop = nullptr;

std::vector<void (*)()>& ResetsForTests()
{
    static std::vector<void (*)()> resets;
    return resets;
}

void RunCode(void* code)
{
    (*static_cast<const std::function<void()>*>(code))();
}

std::string Demangled(const char* name)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = (status == 0 && readable) ? readable : name;
    std::free(readable);
    return result;
}

void ReportFatal(const std::string& text)
{
    // Set first: the message box runs a nested event loop, and no handler may
    // run on state the failed one left behind.
    s_fatal = true;
    s_quitCode = 1;
    try {
        MsgBox(text);
    } catch (...) {
        // The report must not raise again; the exit status still says 1.
    }
    Quit(1);
}

void ReportUnhandled(const std::string& className, const std::string& where)
{
    ReportFatal("An exception of class " + className + " was not handled in " + where
        + ". The application must shut down.");
}

} // namespace

// ---------------------------------------------------------------------------
// Application

Application::Application() = default;
Application::~Application() = default;

void Application::AddMenuHandler(const std::string& name, MenuHandler handler)
{
    m_menuHandlers[name] = std::move(handler);
}

const MenuHandler* Application::FindMenuHandler(const std::string& name) const
{
    auto it = m_menuHandlers.find(name);
    return it == m_menuHandlers.end() ? nullptr : &it->second;
}

int32_t Application::MajorVersion() const { return TAVRINE_VERSION_MAJOR; }
int32_t Application::MinorVersion() const { return TAVRINE_VERSION_MINOR; }
int32_t Application::BugVersion() const { return TAVRINE_VERSION_BUG; }
std::string Application::ShortVersion() const { return TAVRINE_VERSION_TEXT; }
std::string Application::LongVersion() const { return TAVRINE_VERSION_TEXT; }

// ---------------------------------------------------------------------------
// Start-up and shut-down

void RuntimeInit(int& argc, char** argv)
{
    // When the display goes away, Qt ends the program with status 1 once it
    // sees the broken connection; a write to that connection must not kill
    // the program with SIGPIPE first. (QProcess restores the signal for the
    // programs it starts, such as the browser.)
    std::signal(SIGPIPE, SIG_IGN);
    // Start-up begins no thread of its own: QApplication's constructor sets
    // the process's locale, which no other thread may be reading, and every
    // way out of the program, early ones included, must find nothing of ours
    // still running.
    if (!QApplication::instance()) {
        s_ownApplication = new QApplication(argc, argv);
        QApplication::setApplicationName("Tavrine");
    }
    // The program decides when to quit (its main window's Close event).
    QApplication::setQuitOnLastWindowClosed(false);
    InstallInputTracker();
    InstallPngFileIcons();
    InstallLazyStandardIcons();
    RegisterFrameworkClasses();
    InstallEnvironmentSeams();
}

void RuntimeSetExceptionHelper(ExceptionHelper helper)
{
    s_exceptionHelper = helper;
}

void RuntimeInitExternalClasses()
{
    RegisterFrameworkClasses();
    RegisterMenuClasses();
}

void RuntimeRegisterAppObject(std::shared_ptr<Application> app)
{
    s_app = std::move(app);
}

std::shared_ptr<Application> getAppObject()
{
    return s_app;
}

void RunFrameworkInitialization(int (*callback)())
{
    if (callback)
        callback();
}

int RuntimeRun()
{
    if (s_quitRequested)
        return s_quitCode;
    QEventLoop loop;
    s_mainLoop = &loop;
    // Open is the first event the loop delivers.
    QTimer::singleShot(0, &loop, [] {
        if (auto app = s_app)
            DispatchEvent(app->ClassName() + ".Event_Open", [&] { app->Event_Open(); });
    });
    loop.exec();
    s_mainLoop = nullptr;
    return s_quitCode;
}

int RuntimeExit()
{
    DiscardAllWindows();
    if (QCoreApplication::instance())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int status = s_fatal ? 1 : s_quitCode;
    if (s_ownApplication) {
        delete s_ownApplication;
        s_ownApplication = nullptr;
    }
    return status;
}

void Quit(int code)
{
    // After an unhandled exception the status stays 1, whatever the code
    // that runs on the way out asks for.
    if (!s_fatal)
        s_quitCode = code;
    s_quitRequested = true;
    if (s_mainLoop)
        s_mainLoop->exit(s_quitCode);
}

void QuitApplication()
{
    for (const auto& window : OpenWindows())
        window->Close();
    Quit(0);
}

bool QuitRequested()
{
    return s_quitRequested;
}

int QuitCode()
{
    return s_quitCode;
}

bool FatalExceptionReported()
{
    return s_fatal;
}

void DispatchEvent(const char* where, const std::function<void()>& code)
{
    DispatchEvent(std::string(where ? where : "?"), code);
}

void DispatchEvent(const std::string& where, const std::function<void()>& code)
{
    if (s_fatal || !code)
        return;
    // An exception is reported where it leaves its handler: letting it climb
    // into an outer handler could carry it through a nested Qt event loop
    // (a modal dialog), which Qt does not allow.
    try {
        if (s_exceptionHelper)
            s_exceptionHelper(reinterpret_cast<void*>(&RunCode), const_cast<std::function<void()>*>(&code));
        else
            code();
    } catch (const PluginLoadException& e) {
        // A broken installation, not a fault of the code that ran: the
        // message says which library and what to do about it, for whoever
        // installed the game.
        ReportFatal(std::string(e.what()) + " The application must shut down.");
    } catch (const RuntimeException& e) {
        ReportUnhandled(e.ClassName(), where);
    } catch (const std::exception& e) {
        ReportUnhandled(Demangled(typeid(e).name()), where);
    } catch (...) {
        ReportUnhandled("UnknownException", where);
    }
}

void RuntimeResetForTests()
{
    DiscardAllWindows();
    if (QCoreApplication::instance())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    s_app.reset();
    s_quitRequested = false;
    s_quitCode = 0;
    s_fatal = false;
    Keyboard::ResetState();
    ResetBackgroundTaskYieldCount();
    for (auto reset : ResetsForTests())
        reset();
}

void AddResetForTests(void (*reset)())
{
    if (reset)
        ResetsForTests().push_back(reset);
}

} // namespace fw
