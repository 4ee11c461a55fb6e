#pragma once

// The functions of the library that fetches the HTTP socket's pages over Qt
// Network, as the framework and the library both see them. The library is
// loaded the first time a socket fetches a page, so start-up does not load
// Qt Network and what it links.
#include <cstddef>
#include <cstdint>
#include <tuple>

#include "platform/plugins/PluginTable.h"

// How a request's answer comes back, from the event loop. For a page, Header
// is called once per header line, in order, then Page; a failure calls Error
// with one of HTTPSocket's codes. The handle may be destroyed from inside
// Page or Error.
struct HttpClientEvents {
    void* Context;
    void (*Header)(void* context, const char* name, size_t nameLength, const char* value, size_t valueLength);
    void (*Page)(void* context, int32_t status, const char* body, size_t length);
    void (*Error)(void* context, int32_t code);
};

struct NetworkFunctions {
    static constexpr const char* kLibrary = "tavrine_network";

    // A new client that answers through the events (copied) and refuses a
    // body longer than the limit.
    void* (*Create)(const HttpClientEvents* events, int64_t limit) = nullptr;
    void (*Get)(void* client, const char* url) = nullptr;
    void (*Abandon)(void* client) = nullptr;
    bool (*IsConnected)(void* client) = nullptr;
    void (*Destroy)(void* client) = nullptr;

    static constexpr auto Slots()
    {
        using T = NetworkFunctions;
        return std::tuple {
            PluginSlot<T, void* (*)(const HttpClientEvents*, int64_t)> {
                "Http.Create(events as ptr, limit as int64) as ptr", &T::Create },
            PluginSlot<T, void (*)(void*, const char*)> { "Http.Get(client as ptr, url as string)", &T::Get },
            PluginSlot<T, void (*)(void*)> { "Http.Abandon(client as ptr)", &T::Abandon },
            PluginSlot<T, bool (*)(void*)> { "Http.IsConnected(client as ptr) as boolean", &T::IsConnected },
            PluginSlot<T, void (*)(void*)> { "Http.Destroy(client as ptr)", &T::Destroy },
        };
    }
};
