#pragma once

#include <memory>

#include "platform/System.h"

// One counting pass over the 25 pieces; updates the count label and plays
// the sounds.
void CountCorrectPieces();
// The two sounds, loaded from the Resources folder on first use; nullptr when
// the file is missing or no sound.
std::shared_ptr<fw::Sound> Ping();
std::shared_ptr<fw::Sound> Applause();
