// Feeds arbitrary bytes to the update document reader: the first line is the
// element name, the rest the document. Whatever a server sends, reading an
// element and comparing its version must neither crash nor read outside the
// text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "windows/UpdateDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t newline = input.find('\n');
    std::string_view name = newline == std::string_view::npos ? std::string_view("CurrentVersion") : input.substr(0, newline);
    std::string_view document = newline == std::string_view::npos ? input : input.substr(newline + 1);

    std::string value = UpdateDocument::returnValue(document, name);
    // The element's text is a piece of the document, never more.
    if (value.size() > document.size())
        __builtin_trap();
    if (!value.empty() && document.find(value) == std::string_view::npos)
        __builtin_trap();

    for (const char* element : { "CurrentVersion", "Description", "Free", "DownloadURLOSX" }) {
        std::string text = UpdateDocument::returnValue(document, element);
        UpdateDocument::SameVersion(text, 1, 3, 0);
    }
    UpdateDocument::SameVersion(std::string(input), 1, 3, 0);
    // A version the comparison calls current names the running numbers.
    if (UpdateDocument::SameVersion(value, 0, 0, 0) && UpdateDocument::SameVersion(value, 1, 0, 0))
        __builtin_trap();
    return 0;
}
