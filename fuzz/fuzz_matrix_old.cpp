// Any text as a old-format matrix file: parsed completely or refused with
// an error, and a parsed matrix fits the session's fixed arrays.
#include <cstdint>
#include <memory>
#include <string_view>

#include "input/Matrix.h"
#include "session/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto state = std::make_unique<vk::SessionState>();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        vk::ApplyMatrix(*state, vk::ParseOldMatrix(text, "fuzz.txt"));
    } catch (const vk::IoError&) {
    } catch (const vk::ConversionError&) {
    }
    return 0;
}
