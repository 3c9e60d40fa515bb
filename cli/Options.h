// What every subcommand of vorelkant-cli shares: the session it works on,
// the one-line failure, the whole-number checks, and the recording options
// (RECORDING, --matrix, --no-smooth, --rate, --format and the import options,
// --remember) declared once for all subcommands that open a recording.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "session/Context.h"
#include "session/Host.h"
#include "session/SessionState.h"

namespace vk::cli {

constexpr int BadInput = 2;   // the command line or its values
constexpr int Failed = 1;     // the recording or a file could not be read or written

// Answers for a person who is not there: dialogs are cancelled, messages go
// to standard error.
class CliHost : public QuietHost {
public:
    void information(const std::string& text) override { say(text); }
    void warning(const std::string& text) override { say(text); }
    // A failure is the one line a caller gets, in the same form as bad input,
    // after `context` (the option whose file was being read, "--matrix: ").
    void error(const std::string& text) override;

    bool failed = false;
    std::string context;
    // While set (during an open), messages are kept in `kept` and a failure
    // in `lastError` (without the "vorelkant-cli: " prefix) instead of being
    // printed.
    bool keeping = false;
    std::vector<std::string> kept;
    std::string lastError;

private:
    void say(const std::string& text);
};

// The one line a caller gets on bad input; exits with BadInput.
[[noreturn]] void fail(const std::string& message);

// A whole number in min..max. The text is checked before it is converted, so
// "12a" gets the program's own conversion message rather than a range.
CLI::Validator wholeIn(int64_t min, int64_t max);
extern const CLI::Validator WholeNonNegative;
extern const CLI::Validator WholePositive;

struct RecordingArgs;

// The session a subcommand works on, made only when one runs.
struct Tool {
    std::unique_ptr<SessionState> state;
    CliHost host;
    std::unique_ptr<Ctx> ctx;

    Ctx& make();

    // After tryOpenRecording failed: the exit status its message goes with.
    int failStatus = Failed;
    // The recording whose settings file --remember writes once the command
    // succeeded, and the sampling frequency it was opened at.
    const RecordingArgs* remember = nullptr;
    int rememberRate = 0;
};

// The recording and how to open it: what every subcommand but demo takes.
struct RecordingArgs {
    std::string path;
    std::string matrix;
    bool noSmooth = false;
    int rate = 0;
    CLI::Option* rateOption = nullptr;
    // --format: the RECORDING is a text recording in this format, imported
    // as the import window's OK does with its fields given by the options.
    std::string format;
    int importChannels = 0, importSamples = 0, importLength = 30000;
    CLI::Option *importChannelsOption = nullptr, *importSamplesOption = nullptr, *importLengthOption = nullptr;
    // --remember: --rate and --matrix go into the recording's settings file.
    bool remember = false;
};

// The sampling-frequency option of the subcommands that open or write a recording.
CLI::Option* addRateOption(CLI::App* sub, int& rate, const std::string& what);

// Declares every recording option but RECORDING (--matrix, --no-smooth,
// --rate, --format, the import options, --remember) on `sub`, filling `r`.
void addRecordingOptions(CLI::App* sub, RecordingArgs& r);

// Declares RECORDING and the recording options on `sub`.
std::shared_ptr<RecordingArgs> addRecordingArgs(CLI::App* sub);

// Opens r.path into a fresh session (tool.make()): an electrogram file as
// "Open File" would, or with --format a text recording as the import
// window's OK would; then the recording's settings file, then --matrix and
// --rate, which win over it. Prints nothing: on failure returns false with
// the one line (without the "vorelkant-cli: " prefix) in `error` and its
// exit status in tool.failStatus. Warnings (a damaged settings or mark
// file) go to `warnings` when given, else to standard error. Sessions on
// several threads each need their own Tool.
bool tryOpenRecording(Tool& tool, const RecordingArgs& r, std::string& error,
                      std::vector<std::string>* warnings = nullptr);

// tryOpenRecording, printing the warnings; a failure is the one line and
// the exit. With --remember, the settings file is written by
// finishCommand once the command has succeeded.
Ctx& openRecording(Tool& tool, const RecordingArgs& r);

// Writes the settings file of r.path with --rate (else `rate`, the rate the
// recording was opened at) and --matrix (else the one it holds). False
// with the one line in `error` when the file cannot be written.
bool rememberSettings(const RecordingArgs& r, int rate, std::string& error);

// Called by main once a command has run to its end: what --remember asked for.
void finishCommand(Tool& tool);

// A subcommand that opens a recording: its options are declared by the
// caller, the body runs on the opened session.
CLI::App* addRecordingCommand(CLI::App& app, Tool& tool, const std::string& name, const std::string& help,
                              std::function<void(Ctx&)> body);

// Stops with the one line "no electrode matrix: give --matrix FILE" when the
// session has none: for the subcommands whose result is laid out by the
// matrix (maps, waves, traces along matrix rows).
void requireMatrix(const SessionState& s);

// A mark type option (1 slow wave, 2 spike, 3 type 3).
CLI::Option* addTypeOption(CLI::App* sub, int& type, const std::string& what);

// A real value with 4 decimals and "." as the decimal point.
std::string fixed4(double v);

// A whole number, or nothing for Missing.
std::string orEmpty(int64_t v);

// "17,20-24": channels and ranges of channels, each 1..lastChannel; an error
// names `option`, the option the list came from.
std::vector<int> parseChannels(const std::string& list, const std::string& option, int lastChannel);

// Signals rows from..to (the options --from and --to) of the channels listed
// ("17,20-24", given as `option`, each 1..lastChannel), one line each: the
// row, then each channel's value, tab-separated.
std::string signalRows(const SessionState& s, const std::string& list, const std::string& option, int lastChannel,
                     int from, int to);

}  // namespace vk::cli
