// A plug-in library that does not match the game: written by hand, as a
// library of another version would be, with one sound declaration renamed
// and two picture functions missing. Tests load it to see the mismatch
// stop loading with a message that names it.
#include "platform/plugins/PluginTable.h"

namespace {

void* Create(const char*)
{
    return nullptr;
}

void Ignore(void*) { }

void* Turn(const void*)
{
    return nullptr;
}

} // namespace

TAVRINE_EXPORT const PluginEntry* TavrinePluginEntries()
{
    static const PluginEntry entries[] = {
        { "Sound.Create(path as string) as ptr", reinterpret_cast<void*>(&Create) },
        { "Sound.Play(sound as ptr)", reinterpret_cast<void*>(&Ignore) },
        { "Sound.Destroy(effect as ptr)", reinterpret_cast<void*>(&Ignore) },
        { "Folderitem.OpenAsJPEGMBS(allowdamaged as Boolean) as picture", reinterpret_cast<void*>(&Create) },
        { "Picture.Rotate90MBS as picture", reinterpret_cast<void*>(&Turn) },
        { "Picture.Rotate270MBS as picture", reinterpret_cast<void*>(&Turn) },
        { "Picture.Rotate180MBS as picture", nullptr },
        { nullptr, nullptr },
    };
    return entries;
}
