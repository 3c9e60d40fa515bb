// How every subcommand opens its RECORDING: an electrogram file as "Open
// File" does, or (with --format) a text recording as the import window's OK
// does; then the settings file beside it, then --matrix and --rate, which
// win for the call and reach the settings file only with --remember.
#include <string>
#include <vector>

#include "cli/Options.h"
#include "input/ElgFile.h"
#include "input/RecordingSettings.h"
#include "input/TextImport.h"
#include "session/Errors.h"
#include "shell/Commands.h"
#include "shell/ViewCommands.h"

namespace vk::cli {

namespace {

TextFormat formatNamed(const std::string& name) {
    return name == "ni"          ? TextFormat::NI
           : name == "nashville" ? TextFormat::Nashville
           : name == "manchester" ? TextFormat::Manchester
                                  : TextFormat::Auckland;
}

// The session's messages go back to the host's own printing when the open ends.
struct Keeping {
    CliHost& host;
    explicit Keeping(CliHost& h) : host(h) {
        host.keeping = true;
        host.kept.clear();
        host.lastError.clear();
        host.failed = false;
    }
    ~Keeping() { host.keeping = false; }
};

bool given(const CLI::Option* option) { return option && option->count() > 0; }

// An import option that does not go with the format given (or with none):
// the option's name, else "".
std::string misplacedImportOption(const RecordingArgs& r) {
    const bool fields = r.format == "nashville" || r.format == "manchester";
    if (given(r.importChannelsOption) && !fields) return "--import-channels";
    if (given(r.importSamplesOption) && !fields) return "--import-samples";
    if (given(r.importLengthOption) && r.format != "ni") return "--import-length";
    return {};
}

}  // namespace

void addRecordingOptions(CLI::App* sub, RecordingArgs& r) {
    sub->add_option("--matrix", r.matrix, "electrode matrix file, used as \"Change New matrix file\" would");
    sub->add_flag("--no-smooth", r.noSmooth, "load the samples as stored, without the 20-sample smoothing");
    r.rateOption = addRateOption(sub, r.rate, "sampling frequency (Hz), set after opening as General > Sampling Frequency");
    sub->add_option("--format", r.format, "RECORDING is a text recording: ni, nashville, manchester or auckland")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"ni", "nashville", "manchester", "auckland"}).description(""));
    r.importChannelsOption =
        sub->add_option("--import-channels", r.importChannels, "Nr Channels of a text import (nashville 48, manchester 64)")
            ->check(wholeIn(1, MaxChannels));
    r.importSamplesOption = sub->add_option("--import-samples", r.importSamples, "Nr Samples of a text import (default 0)")
                                ->check(WholeNonNegative);
    r.importLengthOption =
        sub->add_option("--import-length", r.importLength, "ni: the number of lines to read (default 30000)")
            ->check(wholeIn(0, MaxSamples));
    sub->add_flag("--remember", r.remember, "write --rate and --matrix into the recording's settings file");
}

bool tryOpenRecording(Tool& tool, const RecordingArgs& r, std::string& error, std::vector<std::string>* warnings) {
    Ctx& ctx = tool.make();
    SessionState& s = ctx.s;
    CliHost& host = tool.host;
    bool opened = false;
    {
        Keeping keeping(host);
        auto stop = [&](int status, const std::string& message) {
            tool.failStatus = status;
            error = message;
            return false;
        };
        auto opening = [&]() -> bool {
            if (const std::string option = misplacedImportOption(r); !option.empty())
                return stop(BadInput, option + (option == "--import-length" ? " goes with --format ni"
                                                                            : " goes with --format nashville or manchester"));
            if (r.remember && given(r.rateOption) && r.rate > MaxSettingsRate)
                return stop(BadInput, "--remember: a sampling frequency of " + std::to_string(r.rate) +
                                          " Hz is outside 1.." + std::to_string(MaxSettingsRate));
            if (r.remember) {
                // A settings file that cannot be used is never replaced by accident.
                try {
                    SettingsForChange(r.path);
                } catch (const IoError& e) {
                    return stop(Failed, e.what());
                }
            }
            const bool rateGiven = given(r.rateOption);
            if (r.format.empty()) {
                try {
                    FileSource src(r.path);
                    if (!LooksLikeElectrogramFile(src))
                        return stop(BadInput, r.path + " is not an electrogram file; name its text format with --format");
                } catch (const IoError& e) {
                    return stop(Failed, e.what());
                }
                s.SmoothOnLoad = !r.noSmooth;
                if (!r.matrix.empty()) {
                    host.context = "--matrix: ";
                    if (!runCommand(ctx, [&] { UseNewMatrix(s, r.matrix); })) return stop(Failed, host.lastError);
                    host.context.clear();
                }
                OpenOptions options;
                options.updateRecentList = false;
                options.askForMissingMatrix = false;
                options.createMarkFile = false;
                options.useJournal = false;
                options.settingsMatrix = r.matrix.empty();
                if (!OpenElectrogramFile(ctx, r.path, options) || host.failed) return stop(Failed, host.lastError);
                ResetViewAfterLoad(s);
                if (rateGiven) SetSamplingFrequency(s, r.rate);
                return true;
            }
            const TextFormat format = formatNamed(r.format);
            ImportEdits edits = format == TextFormat::Nashville ? s.ImportF.Nashville : s.ImportF.Manchester;
            if (given(r.importChannelsOption)) edits.NrChannels = std::to_string(r.importChannels);
            edits.NrSamples = std::to_string(r.importSamples);
            const bool importRate = format == TextFormat::Nashville || format == TextFormat::Manchester;
            if (rateGiven && importRate) edits.SamplingRate = std::to_string(r.rate);
            const ImportResult result = ImportTextFile(ctx, format, r.path, edits, r.importLength);
            if (result.outcome == ImportOutcome::Refused) {
                if (format == TextFormat::Auckland)
                    return stop(BadInput, "the header of " + r.path + " gives values the buffers cannot hold");
                const std::string option = format == TextFormat::NI ? "--import-length"
                                           : result.field == 1     ? "--import-channels"
                                           : result.field == 3     ? "--rate"
                                                                   : "--import-samples";
                return stop(BadInput, option + ": the value is outside what the buffers hold");
            }
            if (result.outcome != ImportOutcome::Loaded || host.failed) return stop(Failed, host.lastError);
            // The command line's matrix and rate come after the import and
            // its settings file, as the menu commands would.
            if (!r.matrix.empty()) {
                host.context = "--matrix: ";
                if (!runCommand(ctx, [&] { UseNewMatrix(s, r.matrix); })) return stop(Failed, host.lastError);
                host.context.clear();
            }
            if (rateGiven && s.SamplingFrequency != r.rate) SetSamplingFrequency(s, r.rate);
            return true;
        };
        opened = opening();
        host.context.clear();
    }
    if (opened) {
        if (warnings) {
            warnings->insert(warnings->end(), host.kept.begin(), host.kept.end());
        } else {
            for (const std::string& w : host.kept) std::cerr << w << "\n";
        }
    }
    host.kept.clear();
    return opened;
}

bool rememberSettings(const RecordingArgs& r, int rate, std::string& error) {
    try {
        RecordingSettings settings = SettingsForChange(r.path);
        settings.rate = given(r.rateOption) ? r.rate : rate;
        if (!r.matrix.empty()) settings.matrix = MatrixForSettings(r.path, r.matrix);
        if (settings.rate < 1 || settings.rate > MaxSettingsRate)
            throw IoError(SettingsFileFor(r.path), "a sampling frequency of " + std::to_string(settings.rate) +
                                                       " Hz is outside 1.." + std::to_string(MaxSettingsRate));
        WriteRecordingSettings(r.path, settings);
        return true;
    } catch (const IoError& e) {
        error = e.what();
        return false;
    }
}

}  // namespace vk::cli
