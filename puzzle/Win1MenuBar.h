#pragma once

#include <memory>

#include "platform/MenuItem.h"

// The main window's menu bar: File, Edit, "Check for Update" and Help. One
// object serves the whole run.
class Win1MenuBar : public fw::MenuBar {
public:
    std::string ClassName() const override { return "Win1MenuBar"; }

    void Constructor();
    void Untitled0();
    void Untitled1();
    void Untitled2();
    void Untitled3();
};

// The shared main menu bar, built on first use.
std::shared_ptr<Win1MenuBar> Win1MenuBarInstance();
