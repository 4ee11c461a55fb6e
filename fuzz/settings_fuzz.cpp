// Feeds arbitrary bytes to the settings file's line reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/Settings.h"
#include "platform/Strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Directives.assign(1, nullptr);
    fw::TextInputStream stream(std::string(reinterpret_cast<const char*>(data), size));
    ReadSettingsLines(stream);
    // Apply the records the way the loader does, so the value conversions
    // see every text the reader can produce.
    for (size_t i = 1; i < Directives.size(); ++i) {
        const auto& record = *Directives[i];
        (void)fw::ToInt32(fw::Val(fw::NthField(record.text, ",", 1)));
        (void)fw::ToInt32(fw::Val(fw::NthField(record.text, ",", 2)));
        (void)fw::StrEq(record.name, "Window1Position");
        (void)fw::StrEq(record.text, "True");
    }
    Directives.assign(1, nullptr);
    return 0;
}
