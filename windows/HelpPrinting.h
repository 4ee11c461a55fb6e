#pragma once

// Prints the help window's text as it stands (creating the window when none
// is open): the printer dialog, then one block of text per page with the page
// number and the time of printing at its foot. A cancelled dialog prints
// nothing.
void PrintHelpText();
