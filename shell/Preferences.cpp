#include "shell/Preferences.h"

#include <cstring>
#include <utility>

#include "session/Ask.h"
#include "session/Draw.h"
#include "session/Errors.h"

namespace vk {

namespace {

constexpr const char* Marking = "Automatic Markings";
constexpr const char* Electrograms = "Electrograms";
constexpr const char* Map = "Map";
constexpr const char* Velocities = "Velocities";
constexpr const char* Animation = "Animation";
constexpr const char* Intervals = "Intervals";

}  // namespace

const std::vector<PrefField>& PreferenceFields() {
    using K = PrefKind;
    static const std::vector<PrefField> table = {
        {Marking, "MinDiffValEdit1", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.MinDiffLevel[1]; }},
        {Marking, "WidthEdit1", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.SearchWidth[1]; }},
        {Marking, "DiffDistEdit1", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.DiffDist[1]; }},
        {Marking, "MinDiffValEdit2", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.MinDiffLevel[2]; }},
        {Marking, "WidthEdit2", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.SearchWidth[2]; }},
        {Marking, "DiffDistEdit2", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.DiffDist[2]; }},
        {Marking, "MinDiffValEdit3", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.MinDiffLevel[3]; },
         nullptr, nullptr, false, true},
        {Marking, "WidthEdit3", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.SearchWidth[3]; },
         nullptr, nullptr, false, true},
        {Marking, "DiffDistEdit3", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.DiffDist[3]; },
         nullptr, nullptr, false, true},
        {Marking, "SearchCriteria1", "Search Criteria", K::Choice,
         [](SessionState& s) -> PrefRef { return &s.Prefs.SearchCriteria; },
         "Search time of the minival value|Search time of first value below minimal level"},
        {Marking, "AvoidTwice1", "Avoid marking twice?", K::Check,
         [](SessionState& s) -> PrefRef { return &s.Prefs.AvoidDoubleMarks; }},
        {Marking, "DoubleWidth1", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.DoubleWidth; },
         nullptr, "AvoidTwice1"},

        {Electrograms, "PlotOnlyPoints1", "Plot only points?", K::Check,
         [](SessionState& s) -> PrefRef { return &s.PlotOnlyDots; }},
        {Electrograms, "SmoothElectrograms1", "Smooth Electrograms?", K::Check,
         [](SessionState& s) -> PrefRef { return &s.SmoothOnLoad; }},
        {Electrograms, "IntervalRange1", "Expected Interval Range", K::Check,
         [](SessionState& s) -> PrefRef { return &s.Prefs.UseIntervalRange; }},
        {Electrograms, "MinIntervalRange1", nullptr, K::Integer,
         [](SessionState& s) -> PrefRef { return &s.Prefs.MinIntervalRange; }},
        {Electrograms, "maxIntervalRange1", nullptr, K::Integer,
         [](SessionState& s) -> PrefRef { return &s.Prefs.MaxIntervalRange; }},

        {Map, "EditDigitType", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.TimeDigitFormat; }},
        {Map, "NrExpCyclesEdit", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.ExpandCycles; }},
        {Map, "NrNeighbours1", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.ExpandNeighbours; },
         nullptr, nullptr, true},

        {Velocities, "MaxCondVelCheckBox1", "Set Max Conduction Velocity?", K::Check,
         [](SessionState& s) -> PrefRef { return &s.Prefs.LimitVelocity; }},
        {Velocities, "MaxCondVelEdit", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.MaxVelocity; }},
        {Velocities, "EditArrowSize", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.ArrowScale; }},
        {Velocities, "EditIncVel", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.VelocityStep; }},

        {Animation, "StepTimeEdit", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.AnimStepTime; }},
        {Animation, "begSimEdit", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.AnimBeginTime; }},
        {Animation, "SWDurationEdit", nullptr, K::Integer,
         [](SessionState& s) -> PrefRef { return &s.Prefs.AnimSWDuration; }},
        {Animation, "EndSimEdit", nullptr, K::Integer, [](SessionState& s) -> PrefRef { return &s.Prefs.AnimEndTime; },
         nullptr, nullptr, false, false, true},

        {Intervals, "CheckLimitIntervals", "limit intervals?", K::Check,
         [](SessionState& s) -> PrefRef { return &s.Prefs.LimitIntervals; }},
        {Intervals, "EditMaxIntervalVal", nullptr, K::Integer,
         [](SessionState& s) -> PrefRef { return &s.Prefs.MaxIntervalValue; }},
    };
    return table;
}

std::string PreferenceFieldName(const PrefField& f) {
    // The labels beside the edits in the dialog; the marking grid names
    // its row and column.
    static const std::pair<const char*, const char*> names[] = {
        {"DoubleWidth1", "Avoidance width"},
        {"MinIntervalRange1", "Expected Interval Range (from)"},
        {"maxIntervalRange1", "Expected Interval Range (to)"},
        {"EditDigitType", "Digit Display"},
        {"NrExpCyclesEdit", "Nr of Expand Cycles"},
        {"NrNeighbours1", "Nr of Neighbours required"},
        {"MaxCondVelEdit", "Maximum Conduction Velocity allowed (cm/sec)"},
        {"EditArrowSize", "Arrow size for plotting"},
        {"EditIncVel", "Calc to next electrode"},
        {"StepTimeEdit", "Step Time"},
        {"begSimEdit", "BegTime"},
        {"SWDurationEdit", "SW duration"},
        {"EndSimEdit", "EndTime"},
        {"EditMaxIntervalVal", "Maximal Interval Value"},
    };
    for (const auto& [control, name] : names)
        if (std::strcmp(f.control, control) == 0) return name;
    static const char* const rows[] = {"Slow Waves", "Spikes", "Type 3"};
    static const std::pair<const char*, const char*> columns[] = {{"MinDiffValEdit", "Minimal Differentiated level"},
                                                                  {"WidthEdit", "Search Width (msec)"},
                                                                  {"DiffDistEdit", "Diff Dist (samples)"}};
    for (const auto& [prefix, column] : columns) {
        const size_t n = std::strlen(prefix);
        if (std::strncmp(f.control, prefix, n) == 0 && f.control[n] >= '1' && f.control[n] <= '3')
            return std::string(rows[f.control[n] - '1']) + ": " + column;
    }
    return f.caption ? f.caption : f.control;
}

std::vector<std::string> PreferenceTexts(SessionState& s) {
    std::vector<std::string> texts;
    for (const PrefField& f : PreferenceFields()) {
        const PrefRef ref = f.setting(s);
        if (std::holds_alternative<bool*>(ref)) {
            texts.push_back(*std::get<bool*>(ref) ? "1" : "0");
            continue;
        }
        const int32_t value = *std::get<int32_t*>(ref);
        texts.push_back(f.emptyIsMissing && value == Missing ? std::string() : std::to_string(value));
    }
    return texts;
}

int ApplyPreferences(Ctx& ctx, const std::vector<std::string>& texts) {
    const auto& fields = PreferenceFields();
    auto checked = [&](const char* control) {
        for (size_t i = 0; i < fields.size(); ++i)
            if (std::strcmp(fields[i].control, control) == 0) return i < texts.size() && texts[i] == "1";
        return false;
    };
    for (size_t i = 0; i < fields.size() && i < texts.size(); ++i) {
        const PrefField& f = fields[i];
        if (f.onlyWhen && !checked(f.onlyWhen)) continue;
        const PrefRef ref = f.setting(ctx.s);
        if (std::holds_alternative<bool*>(ref)) {
            *std::get<bool*>(ref) = texts[i] == "1";
            continue;
        }
        int32_t value = Missing;
        const bool empty = texts[i].find_first_not_of(" \t") == std::string::npos;
        if (!(f.emptyIsMissing && empty)) {
            try {
                value = ParseTypedInteger(texts[i]);
            } catch (const ConversionError& e) {
                ctx.host.error(PreferenceFieldName(f) + ": " + e.what());
                return static_cast<int>(i);
            }
        }
        if (f.refuseZero && value == 0) {
            ctx.host.beep();
            ctx.host.information(PreferenceFieldName(f) + " must not be 0 !");
            return static_cast<int>(i);
        }
        *std::get<int32_t*>(ref) = value;
    }
    UpdateDisplay(ctx);
    return -1;
}

}  // namespace vk
