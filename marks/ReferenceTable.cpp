#include "marks/ReferenceTable.h"

#include "marks/MarkStore.h"
#include "session/Ask.h"
#include "session/Draw.h"
#include "session/Errors.h"

namespace vk {

namespace {

// Makes entry n (1-based) the candidate when it exists.
void choose(SessionState& s, int64_t n) {
    if (n < 1 || n > s.RefCount) return;
    const RefEntry& r = s.RefList[static_cast<size_t>(n)];
    s.CandidateElectrode = r.Electrode;
    s.CandidateTime = r.Time;
}

}  // namespace

void UpdateReferenceTable(SessionState& s) {
    s.RefCount = 1;
    s.RefList[1] = RefEntry{0, 0};
    for (size_t i = 2; i < s.RefList.size(); ++i) s.RefList[i].Electrode = Missing;
    s.SelectedRef = 0;
    for (int i = 1; i <= s.MarkCount && s.RefCount < MaxReferences; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (static_cast<uint16_t>(m.MarkType) < 65535) continue;
        s.RefCount += 1;
        s.RefList[static_cast<size_t>(s.RefCount)] = RefEntry{m.Electrode, m.Time};
    }
}

std::vector<std::array<std::string, 3>> RefGridRows(const SessionState& s) {
    std::vector<std::array<std::string, 3>> rows;
    for (int i = 1; i <= s.RefCount; ++i) {
        const RefEntry& r = s.RefList[static_cast<size_t>(i)];
        rows.push_back({"Nr " + std::to_string(i), std::to_string(r.Electrode), std::to_string(r.Time)});
    }
    return rows;
}

void RefGridSelectCell(SessionState& s, int row) {
    s.SelectedRow = s.SelectedRef = row + 1;
    choose(s, int64_t{row} + 1);
    UpdateReferenceTable(s);
}

void InsertRefNrChange(Ctx& ctx, const std::string& text) {
    SessionState& s = ctx.s;
    int32_t n = 0;
    try {
        n = ParseTypedInteger(text);
    } catch (const ConversionError&) {
        return;
    }
    s.SelectedRef = n;
    if (n >= 1 && n <= s.RefCount) {
        choose(s, n);
    } else {
        ctx.host.beep();
        ctx.host.message(InvalidRefTitle, InvalidRefText);
    }
    UpdateReferenceTable(s);
}

void InsertButtonClick(Ctx& ctx, const std::string& electrode, const std::string& time) {
    SessionState& s = ctx.s;
    const int32_t e = ParseTypedInteger(electrode);
    const int32_t t = ParseTypedInteger(time);
    const bool electrodeOk = e >= 17 && e <= MaxChannels;
    const bool timeOk = t >= 0 && t <= s.SignalLength;
    if (!electrodeOk) {
        ctx.host.beep();
        ctx.host.information("Electrode Number must be in the 17 - 256 range !");
    }
    if (!timeOk) {
        ctx.host.beep();
        ctx.host.information("Reference time must be in the 0 - " + std::to_string(s.SignalLength) + " range !");
    }
    if (!electrodeOk || !timeOk) return;
    s.CurrentElectrode = e;
    AddMarkRecord(s, t, Reference, static_cast<int16_t>(s.CurrentMarkNr));
    UpdateReferenceTable(s);
    UpdateDisplay(ctx);
}

void DeleteButtonClick(Ctx& ctx) {
    SessionState& s = ctx.s;
    if (s.SelectedRow <= 1 || s.SelectedRow > s.RefCount) return;
    const RefEntry r = s.RefList[static_cast<size_t>(s.SelectedRow)];
    for (int i = 1; i <= s.MarkCount; ++i) {
        MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode != r.Electrode || m.Time != r.Time) continue;
        m.MarkType = DeletedType;
        m.Time = Missing;
    }
    s.MarksChanged = true;
    // The pair under "Current: " must not name a reference that is gone:
    // OK would apply it. The no-reference entry takes its place.
    if (s.CandidateElectrode == r.Electrode && s.CandidateTime == r.Time) s.CandidateElectrode = s.CandidateTime = 0;
    UpdateReferenceTable(s);
    UpdateDisplay(ctx);
}

void OkbuttonClick(Ctx& ctx) {
    SessionState& s = ctx.s;
    s.RefElectrode = s.CandidateElectrode;
    s.RefTime = s.CandidateTime;
    s.WavesOutdated = true;
    UpdateDisplay(ctx);
}

void CancelButtonClick(Ctx& ctx) { UpdateDisplay(ctx); }

}  // namespace vk
