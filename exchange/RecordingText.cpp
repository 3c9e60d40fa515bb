#include "exchange/RecordingText.h"

#include <cstdio>

#include "exchange/ExportFiles.h"
#include "input/ElgFile.h"
#include "input/RecordingSettings.h"
#include "session/Ask.h"
#include "session/Errors.h"
#include "session/RecordingFiles.h"
#include "session/TextFiles.h"

namespace vk {

std::vector<std::string> NashvilleTextLines(const SessionState& s) {
    const int32_t channels = RecordingChannels(s), rows = RecordingFrames(s);
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(rows) + 3);
    lines.push_back("Nashville text of " + RecordingPath(s));
    lines.push_back("NrChannels=" + std::to_string(channels));
    lines.push_back("NrSamples=" + std::to_string(rows) + " SamplingFrequency=" + std::to_string(s.SamplingFrequency));
    for (int32_t n = 1; n <= rows; ++n) {
        const int32_t* row = s.Signals.row(n);
        std::string line;
        line.reserve(static_cast<size_t>(channels) * 7);
        for (int32_t c = 0; c < channels; ++c) {
            if (c > 0) line += '\t';
            line += std::to_string(row[c]);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void WriteRecordingAsElg(const SessionState& s, const std::string& out, int32_t scale) {
    RefuseRecordingFiles(s, out);
    const std::string bytes = RecordingElgBytes(s, scale);
    RecordingSettings settings = SettingsForChange(out);
    settings.rate = s.SamplingFrequency;
    const bool existed = fileExists(out);
    writeBytesAtomic(out, bytes);
    try {
        WriteRecordingSettings(out, settings);
    } catch (const IoError&) {
        if (!existed) std::remove(out.c_str());
        throw;
    }
}

void SaveRecordingAsElg1Click(Ctx& ctx) {
    const SessionState& s = ctx.s;
    if (!s.FileLoaded) {
        ctx.host.beep();
        return;
    }
    // A text recording is offered its own name as an electrogram file.
    const std::string proposed = s.ImportedFile ? WithExtension(RecordingPath(s), ".E01") : std::string();
    const auto choice = ctx.host.saveFile("Save the recording as an electrogram file",
                                          {{"Electrogram files", "*.E*"}, {"All files", "*"}}, proposed);
    if (!choice || choice->path.empty()) return;
    runCommand(ctx, [&] { WriteRecordingAsElg(s, choice->path, 1); });
}

}  // namespace vk
