#pragma once

#include <memory>
#include <string>

class QMainWindow;
class QMenuBar;

namespace fw {

class MenuBar;
class Window;

// Gives `host` its own Qt view of the menu-bar model `bar` (several windows
// may show the same model). Replaces any view the host had; a null bar removes
// it. Called by Window::SetMenuBar.
void InstallMenuBarView(QMainWindow* host, const std::shared_ptr<MenuBar>& bar, Window& window);

// The Qt menu bar showing `window`'s menu-bar model, brought up to date with
// the model first; nullptr when the window has none. For the framework's
// tests and for code that needs the Qt side of the view.
QMenuBar* MenuBarViewOf(Window& window);

} // namespace fw

namespace fw {

class MenuItem;

// The enabling pass and a menu choice as seen from `front` (the window whose
// view was used; nullptr when no window is open). `alsoRoot` is another bar
// whose AutoEnable items are brought up to date as well.
void RunMenuEnablingFor(const std::shared_ptr<Window>& front, const std::shared_ptr<MenuItem>& alsoRoot);
bool ChooseMenuItemFor(const std::shared_ptr<MenuItem>& item, const std::shared_ptr<Window>& front);

// A "Cmd+X" style shortcut in Qt's portable form ("Ctrl+X"); "" when the text
// is empty or not a shortcut this platform can show.
std::string PortableShortcut(const std::string& shortcut);

} // namespace fw
