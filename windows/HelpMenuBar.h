#pragma once

#include <memory>

#include "platform/MenuItem.h"

// The help window's menu bar: File with "Print Help", and the Edit menu for
// the help text. One object serves every help window of the run.
class HelpMenuBar : public fw::MenuBar {
public:
    std::string ClassName() const override { return "HelpMenuBar"; }

    // Builds the File menu, then the Edit menu.
    void Constructor();
    void Untitled0();
    void Untitled1();
};

// The shared help menu bar, built on the first call and kept for the run.
std::shared_ptr<HelpMenuBar> HelpMenuBarInstance();
