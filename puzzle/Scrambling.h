#pragma once

// Turns the pieces at random (when rotation is on), then deals them onto the
// home slots in random order.
void ScramblePieces();
void RandomRotatePieces();
