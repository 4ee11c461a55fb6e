#include "puzzle/Counting.h"

#include "module/Globals.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/Label.h"
#include "platform/Listbox.h"
#include "platform/Strings.h"
#include "platform/Timer.h"
#include "puzzle/DraggableCanvas.h"
#include "puzzle/GameRules.h"
#include "puzzle/Window1.h"

using namespace GameRules;

namespace {

// A sound of the Resources folder, looked for on the first call only: a
// missing or unreadable file gives nil now and at every later call, and the
// disk is not asked again. The flag is set first so nothing retries.
std::shared_ptr<fw::Sound> SoundOnce(std::shared_ptr<fw::Sound>& cache, bool& loaded, const char* fileName)
{
    if (!loaded) {
        loaded = true;
        if (auto folder = fw::ResourcesFolder())
            cache = folder->Child(fileName)->OpenAsSound();
    }
    return cache;
}

// Playing nothing is the answer to a sound that could not be loaded: the
// label, the remembered count and the timer are already up to date.
void PlayIfLoaded(const std::shared_ptr<fw::Sound>& sound)
{
    if (sound)
        sound->Play();
}

} // namespace

std::shared_ptr<fw::Sound> Ping()
{
    return SoundOnce(PingSound, PingLoaded, "Ping.wav");
}

std::shared_ptr<fw::Sound> Applause()
{
    return SoundOnce(ApplauseSound, ApplauseLoaded, "Applause.wav");
}

void CountCorrectPieces()
{
    auto window = Window1Instance();
    auto& table = fw::Deref(window->LB1(), "LB1");
    // A table still being rebuilt has no rows for some pieces; the pass waits
    // for the next tick rather than count against missing rows.
    if (table.ListCount() < PieceCount)
        return;

    CorrectCount = 0;
    for (int32_t i = 0; i < PieceCount; ++i) {
        auto& piece = fw::Deref(window->Snaps(i), "Snaps");
        if (IsCorrectPiece(piece.Left(), piece.Top(), table.Cell(i, ColumnHomeLeft), table.Cell(i, ColumnHomeTop),
                table.Cell(i, ColumnRotation)))
            ++CorrectCount;
        fw::BackgroundTaskYield();
    }

    auto& label = fw::Deref(window->MyCorrect(), "MyCorrect");
    switch (CompareCounts(LastCorrectCount, CorrectCount)) {
    case CountChange::Rise:
        label.SetText(IntText(CorrectCount));
        LastCorrectCount = CorrectCount;
        PlayIfLoaded(Ping());
        break;
    case CountChange::Fall:
        label.SetText(IntText(CorrectCount));
        LastCorrectCount = CorrectCount;
        break;
    case CountChange::Equal:
        break;
    }

    // The label, not the count, decides: it is what the player sees.
    if (fw::StrEq(label.Text(), "25")) {
        fw::Deref(window->CountEm(), "CountEm").SetMode(0);
        PlayIfLoaded(Applause());
    }
}
