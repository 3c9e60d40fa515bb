// Any bytes as a mark text file: read until the data or the table ends or a
// bad token stops the reader, never outside a buffer; whatever was read is
// written again and reads back to the same file.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "exchange/MarkText.h"
#include "session/Errors.h"

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto state = std::make_unique<vk::SessionState>();
    static auto again = std::make_unique<vk::SessionState>();
    state->MarkCount = 0;
    try {
        vk::ReadMarkText(*state, std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.txt");
    } catch (const vk::IoError&) {
    } catch (const vk::ConversionError&) {
    }
    // The round trip is what can go wrong once marks were read; a file
    // without marks has nothing but the fixed header to compare.
    if (state->MarkCount == 0) return 0;
    const std::vector<std::string> lines = vk::MarkTextLines(*state);
    again->MarkCount = 0;
    {
        vk::ReadMarkText(*again, Joined(lines), "again.txt");
        if (vk::MarkTextLines(*again) != lines) {
            fprintf(stderr, "the written file reads back differently (%d marks)\n", state->MarkCount);
            __builtin_trap();
        }
    }
    return 0;
}
