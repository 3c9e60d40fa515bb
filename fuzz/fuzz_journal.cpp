// Any bytes as a journal of unsaved mark changes: read as far as whole
// entries go; what was read, written again as an entry, reads back as the
// same marks and connections; and a journal cut short never yields more.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "marks/Journal.h"

namespace {

bool sameState(const vk::JournalState& a, const vk::JournalState& b) {
    if (a.marks.size() != b.marks.size() || a.connections != b.connections) return false;
    for (size_t i = 0; i < a.marks.size(); ++i) {
        const vk::MarkRecord &x = a.marks[i], &y = b.marks[i];
        if (x.Electrode != y.Electrode || x.MarkType != y.MarkType || x.Time != y.Time || x.Aux1 != y.Aux1 ||
            x.Aux2 != y.Aux2 || x.Origin != y.Origin || x.MarkNr != y.MarkNr || x.Visible != y.Visible)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto state = std::make_unique<vk::SessionState>();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const vk::FileStamp stamp{4096, 1};
    const vk::JournalContents j = vk::ParseJournal(bytes, stamp);
    if (j.entries > 0) {
        if (size > 1 && vk::ParseJournal(bytes.substr(0, size - 1), stamp).entries > j.entries) __builtin_trap();
        vk::SessionState& s = *state;
        vk::ApplyJournalState(j.last, s);
        const std::string again =
            vk::JournalHeaderBytes(stamp) + vk::JournalEntryBytes(s, j.last.written, j.last.changes);
        const vk::JournalContents k = vk::ParseJournal(again, stamp);
        if (k.status != vk::JournalContents::Status::Usable || k.entries != 1 || !sameState(k.last, j.last)) {
            fprintf(stderr, "%zu marks read, %zu after writing them again\n", j.last.marks.size(), k.last.marks.size());
            __builtin_trap();
        }
    }
    return 0;
}
