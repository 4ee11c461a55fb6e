#pragma once

// What every plug-in library of the game exports: a table of its functions,
// each found by the text of its declaration.
struct PluginEntry {
    const char* declaration;
    void* function;
};

// The library exports these C functions under these names.
#define TAVRINE_PLUGIN_ENTRIES "TavrinePluginEntries"
#define TAVRINE_PLUGIN_ATTACH "TavrinePluginAttach"
// Returns the entries, ended by one whose declaration is nullptr.
using PluginEntriesFunction = const PluginEntry* (*)();

#define TAVRINE_EXPORT extern "C" __attribute__((visibility("default")))
