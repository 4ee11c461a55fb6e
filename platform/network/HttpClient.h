#pragma once

// What the HTTP socket and the library that fetches its pages over Qt Network
// share. The library is loaded the first time a socket fetches a page, so
// start-up does not load Qt Network and what it links.

#include <cstddef>
#include <cstdint>

namespace fw {

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

// The library's declarations, bound by their texts.
inline constexpr const char* HttpClientCreate = "Http.Create(events as ptr, limit as int64) as ptr";
inline constexpr const char* HttpClientGet = "Http.Get(client as ptr, url as string)";
inline constexpr const char* HttpClientAbandon = "Http.Abandon(client as ptr)";
inline constexpr const char* HttpClientIsConnected = "Http.IsConnected(client as ptr) as boolean";
inline constexpr const char* HttpClientDestroy = "Http.Destroy(client as ptr)";

} // namespace fw
