#pragma once

// The functions of the library that drives printers over Qt PrintSupport, as
// the framework and the library both see them. The library is loaded the
// first time the player prints, so start-up does not load Qt PrintSupport
// and the print system behind it.
#include <tuple>

#include "platform/plugins/PluginTable.h"

struct PrintingFunctions {
    static constexpr const char* kLibrary = "tavrine_printing";

    // With a file path, a job that writes a PDF file there; with nullptr, the
    // printer dialog is shown and the job prints on the chosen printer. Gives
    // nullptr when the player cancels or the printer cannot start. The job
    // lays pages out in points (72 per inch) from the printable area's
    // top-left.
    void* (*Open)(const char* pdf) = nullptr;
    // The QPainter drawing on the job's pages.
    void* (*Painter)(void* job) = nullptr;
    void (*NewPage)(void* job) = nullptr;
    // Ends the job, which finishes the document and sends it.
    void (*Close)(void* job) = nullptr;

    static constexpr auto Slots()
    {
        using T = PrintingFunctions;
        return std::tuple {
            PluginSlot<T, void* (*)(const char*)> { "Print.Open(pdf as string) as ptr", &T::Open },
            PluginSlot<T, void* (*)(void*)> { "Print.Painter(job as ptr) as ptr", &T::Painter },
            PluginSlot<T, void (*)(void*)> { "Print.NewPage(job as ptr)", &T::NewPage },
            PluginSlot<T, void (*)(void*)> { "Print.Close(job as ptr)", &T::Close },
        };
    }
};
