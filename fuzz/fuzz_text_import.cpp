// Any bytes as a text recording. The first byte chooses the format (and,
// for the formats whose counts are typed, the channel and sample counts);
// the rest is the file. Reading stops with a conversion error or fills
// exactly the samples asked for, never reading outside the text.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "input/TextRecording.h"
#include "session/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const vk::TextFormat formats[] = {vk::TextFormat::NI, vk::TextFormat::Nashville, vk::TextFormat::Auckland,
                                             vk::TextFormat::Manchester};
    const vk::TextFormat format = formats[data[0] & 3];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    // Counts from the spare bits of the first byte: up to 64 channels and
    // 29 samples keep every run short (past the end of the text every
    // value reads as 0, which costs time but finds nothing new).
    int32_t channels = 1 + ((data[0] >> 2) & 7) * 9;
    int32_t samples = 1 + (data[0] >> 5) * 4;
    int32_t headerLines = 3;
    static std::vector<int32_t> out;
    static std::vector<int64_t> last;
    try {
        if (format == vk::TextFormat::Auckland) {
            const vk::AucklandHeader h = vk::ReadAucklandHeader(text);
            // The import refuses what the buffers cannot hold; the rest is
            // read, within the bounds that keep a run short.
            if (h.NrChannels < 1 || h.NrChannels > vk::MaxChannels || h.NrSamples < 0) return 0;
            channels = h.NrChannels;
            samples = std::min(h.NrSamples, 512 / channels);
            headerLines = h.HeaderLines;
        }
        const vk::TextLayout layout = vk::LayoutOf(format, channels, samples, headerLines, 747);
        vk::ReadTextSamples(text, layout, out, {}, format == vk::TextFormat::NI ? &last : nullptr);
        if (out.size() != static_cast<size_t>(layout.channels) * static_cast<size_t>(samples)) {
            fprintf(stderr, "read %zu values for %d x %d\n", out.size(), layout.channels, samples);
            __builtin_trap();
        }
    } catch (const vk::ConversionError&) {
    }
    (void)vk::ImportMarkFileName(std::string(text.substr(0, 64)));
    return 0;
}
