#pragma once

namespace fw {

// Lets a test or benchmark drive the real executable headless, through
// environment variables read once at start-up:
//   TAVRINE_TEST_OPEN_DIALOG  "cancel", or the path of the file to choose:
//                             the open-file dialog is answered without being
//                             built; "cancel-when-shown": the real dialog is
//                             built and shown, and cancelled as soon as it is
//                             on the screen
//   TAVRINE_TEST_MESSAGES     set: message boxes are printed to standard
//                             error and dismissed at once
//   TAVRINE_TEST_QUIT_WHEN_SHOWN  set: every top-level window, dialogs
//                             included, prints "shown: " and its title to
//                             standard error once it is first on the screen
//                             and painted; as soon as a window of the game is,
//                             the program chooses Quit, as the player would.
//                             A game that shows no window within 30 s says
//                             so and ends with status 1
//   TAVRINE_TEST_MENU_CHOICES with the above: before quitting, choose these
//                             items of the first window's menu bar by their
//                             texts, separated by ';', one at a time; after
//                             each, print "after <text>: " and the titles of
//                             the visible windows
// Unset, they change nothing.
void InstallEnvironmentSeams();

} // namespace fw
