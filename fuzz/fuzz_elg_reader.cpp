// Any bytes as an electrogram file: header checks, frame reading and the
// copy into the signal buffer must never read or write outside a buffer.
#include <cstdint>
#include <memory>
#include <string_view>

#include "input/ElgFile.h"
#include "session/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto state = std::make_unique<vk::SessionState>();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vk::MemorySource src(bytes, "fuzz.E01");
    try {
        const vk::ElgLayout layout = vk::ExamineElgFile(src, "fuzz.E01");
        vk::ReadElgFrames(src, layout, state->RawFrames.data(), state->RawFrames.size());
        vk::CopyFramesToSignals(state->RawFrames.data(), state->RawFrames.size(), layout.NrChannelsInFile,
                                layout.NrOfFrames, (size & 1) != 0, state->Signals);
        vk::MarkFileNameFor("/x/fuzz.E01");
    } catch (const vk::IoError&) {
    }
    return 0;
}
