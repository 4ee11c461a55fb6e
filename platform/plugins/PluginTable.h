#pragma once

// The contract between the game and each of its plug-in libraries. A library
// exports one C function that lists its functions, each under the text of its
// declaration; the host binds them by those texts. Both sides compile against
// one typed table per library (PictureFunctions.h, SoundFunctions.h): the
// table holds every declaration text next to the member that takes the
// function, and the member's type is the signature. The library builds its
// list from a filled table, so the compiler checks its functions against the
// signatures, and the host binds the whole table at load, so a library that
// lacks a declaration (an old build, a renamed text) stops loading with a
// message that names it instead of leaving a function unbound.
//
// Only plain C types cross: this header includes neither Qt nor the framework.
#include <array>
#include <cstddef>
#include <tuple>

struct PluginEntry {
    const char* declaration;
    void* function;
};

// The function every plug-in library exports under this name; it returns the
// entries, ended by one whose declaration is nullptr.
#define TAVRINE_PLUGIN_ENTRIES "TavrinePluginEntries"
using PluginEntriesFunction = const PluginEntry* (*)();

#define TAVRINE_EXPORT extern "C" __attribute__((visibility("default")))

// One function of a table: its declaration text and the member that holds it.
template <class Table, class Function>
struct PluginSlot {
    const char* declaration;
    Function Table::*member;
};

// The library's list, made from its filled table in the table's order. A
// member left empty is listed without a function, which the host refuses as
// it refuses a missing declaration.
template <class Table>
auto PluginEntriesOf(const Table& table)
{
    constexpr auto table_slots = Table::Slots();
    constexpr std::size_t count = std::tuple_size_v<decltype(table_slots)>;
    std::array<PluginEntry, count + 1> entries {};
    std::size_t i = 0;
    std::apply(
        [&](const auto&... slot) {
            ((entries[i++] = PluginEntry { slot.declaration, reinterpret_cast<void*>(table.*(slot.member)) }), ...);
        },
        table_slots);
    entries[count] = PluginEntry { nullptr, nullptr };
    return entries;
}

// Defines the library's exported list from its filled table, given as the
// macro's argument: TAVRINE_PLUGIN_TABLE(SoundFunctions { .Play = &Play, ... }).
// The list is made once, on the host's first call, and lives as long as the
// library.
#define TAVRINE_PLUGIN_TABLE(...)                                 \
    TAVRINE_EXPORT const PluginEntry* TavrinePluginEntries()      \
    {                                                             \
        static const auto entries = PluginEntriesOf(__VA_ARGS__); \
        return entries.data();                                    \
    }
