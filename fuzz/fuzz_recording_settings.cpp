// Any text as a recording's settings file: read or refused with a
// ConversionError, and what was read writes out and reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "input/RecordingSettings.h"
#include "session/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const vk::RecordingSettings r = vk::ParseRecordingSettings(text);
        const vk::RecordingSettings again = vk::ParseRecordingSettings(vk::RecordingSettingsText(r));
        if (again.rate != r.rate || again.matrix != r.matrix) std::abort();
    } catch (const vk::ConversionError&) {
    }
    return 0;
}
