#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/Object.h"
#include "platform/Yield.h"

namespace fw {

class Window;
class MenuItem;

using MenuHandler = std::function<bool()>;

// The application object. Exactly one is registered per run.
class Application : public Object {
public:
    Application();
    ~Application() override;
    std::string ClassName() const override { return "Application"; }

    void Constructor() {}

    // Menu handlers are found by the menu item's Name when it is chosen; the
    // front window's handlers are asked first, then the application's.
    void AddMenuHandler(const std::string& name, MenuHandler handler);
    const MenuHandler* FindMenuHandler(const std::string& name) const;

    int32_t MajorVersion() const;
    int32_t MinorVersion() const;
    int32_t BugVersion() const;
    std::string ShortVersion() const;
    std::string LongVersion() const;

    // Raised once, from the event loop, after start-up.
    virtual void Event_Open() {}
    // Raised before a menu opens and before a shortcut fires, after the
    // framework applied AutoEnable.
    virtual void Event_EnableMenuItems() {}

private:
    std::map<std::string, MenuHandler> m_menuHandlers;
};

// Start-up and shut-down, called by main in this order.
void RuntimeInit(int& argc, char** argv);
// The helper receives a routine of one pointer argument and its argument; the
// framework calls it to run code under its exception handling.
using ExceptionHelper = void (*)(void* routine, void* argument);
void RuntimeSetExceptionHelper(ExceptionHelper helper);
void RuntimeInitExternalClasses();
void RuntimeRegisterAppObject(std::shared_ptr<Application> app);
void RunFrameworkInitialization(int (*callback)());
// Runs the event loop: raises App.Event_Open once, then delivers events until
// the application quits. Returns the code given to Quit.
int RuntimeRun();
// Releases the framework; returns the process's exit status.
int RuntimeExit();

std::shared_ptr<Application> getAppObject();

// Ends the event loop with `code`. Closing every window first (so their Close
// events run) is what the Quit menu item does; Quit itself only ends the loop.
void Quit(int code = 0);
// What the Quit menu item runs: closes every open window (front first), then
// quits with 0.
void QuitApplication();
bool QuitRequested();
int QuitCode();

// Runs `code` the way the framework runs an event handler: an unhandled
// framework exception is reported (class name and `where`) through the message
// seam and the application quits with status 1.
void DispatchEvent(const char* where, const std::function<void()>& code);
void DispatchEvent(const std::string& where, const std::function<void()>& code);
// Whether an unhandled exception has been reported in this run. Once it has,
// the exit status stays 1 and no further handler runs.
bool FatalExceptionReported();

// Registers the descriptors of the framework's own classes (windows and
// controls with their property tables). Idempotent; RuntimeInit and
// RuntimeInitExternalClasses both call it.
void RegisterFrameworkClasses();

// For tests in one process: closes every open window without raising its
// events, and clears the application object, the quit state, the keyboard
// state and the yield count.
void RuntimeResetForTests();
// Adds a routine that RuntimeResetForTests runs too: test-only code that
// keeps state of its own (the input driver) forgets it with the rest.
void AddResetForTests(void (*reset)());

} // namespace fw
