// Any bytes as a mark file: read as far as they go, never outside a buffer,
// and what was read can be counted and written again.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "marks/MarkFile.h"
#include "marks/MarkStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto state = std::make_unique<vk::SessionState>();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vk::ParseMarkFile(bytes, "fuzz.M01", *state);
    vk::CalcMarkStatistics(*state);
    const std::string written = vk::MarkFileBytes(*state);
    if (written.size() != 4096 + 16 * static_cast<size_t>(state->MarkCount)) {
        fprintf(stderr, "size %zu count %d in %zu\n", written.size(), state->MarkCount, size);
        __builtin_trap();
    }
    return 0;
}
