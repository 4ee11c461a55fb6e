#pragma once

// The sound player library's functions as the framework and the library both
// see them. A sound effect is an opaque pointer the library made.
#include <tuple>

#include "platform/plugins/PluginTable.h"

struct SoundFunctions {
    static constexpr const char* kLibrary = "tavrine_sound";

    // A new effect for the sound file at the path.
    void* (*Create)(const char* path) = nullptr;
    // Starts the effect and returns.
    void (*Play)(void* effect) = nullptr;
    void (*Destroy)(void* effect) = nullptr;

    static constexpr auto Slots()
    {
        using T = SoundFunctions;
        return std::tuple {
            PluginSlot<T, void* (*)(const char*)> { "Sound.Create(path as string) as ptr", &T::Create },
            PluginSlot<T, void (*)(void*)> { "Sound.Play(effect as ptr)", &T::Play },
            PluginSlot<T, void (*)(void*)> { "Sound.Destroy(effect as ptr)", &T::Destroy },
        };
    }
};
