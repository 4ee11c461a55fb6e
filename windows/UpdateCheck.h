#pragma once

// Shows the update window, creating it (and so starting a check for a newer
// version) when none is open.
//
// The update window closes the version window when a check ends, so it builds
// on the version window; the version window, which only starts a check, sees
// no more of the update window than this one call. It is defined with the
// update window.
void StartUpdateCheck();
