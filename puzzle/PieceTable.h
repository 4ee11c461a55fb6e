#pragma once

// Rebuilds the hidden piece table of the main window: 25 rows, one per home
// slot, with the home place and the rotation code "0".
void ResetPieceTable();
