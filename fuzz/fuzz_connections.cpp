// Any bytes as a connections file: read as far as they go, and what was
// read, written back as a save writes it, reads again as the same records.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "marks/Connections.h"
#include "session/Errors.h"

namespace {

std::vector<vk::Connection> liveRecords(const vk::SessionState& s) {
    std::vector<vk::Connection> live;
    for (int i = 1; i <= s.ConnCount; ++i)
        if (vk::IsLiveConnection(s.Connections[static_cast<size_t>(i)])) live.push_back(s.Connections[static_cast<size_t>(i)]);
    return live;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto state = std::make_unique<vk::SessionState>();
    vk::SessionState& s = *state;
    s.Memo1.clear();
    try {
        vk::ParseConnectionsFile(std::string_view(reinterpret_cast<const char*>(data), size), s);
    } catch (const vk::ConversionError&) {
        // What was read before the bad number stays, and is written back.
    }
    s.ConnFileName = "fuzz.C01";
    vk::RemoveDuplicateConnections(s);
    const std::vector<vk::Connection> before = liveRecords(s);
    std::string text;
    for (const std::string& line : vk::ConnectionFileLines(s)) text += line + "\r\n";
    vk::ParseConnectionsFile(text, s);
    if (liveRecords(s) != before) {
        fprintf(stderr, "%zu records read, %zu after writing them back\n", before.size(), liveRecords(s).size());
        __builtin_trap();
    }
    return 0;
}
