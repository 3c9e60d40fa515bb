// What every subcommand of vorelkant-cli shares: the session it works on,
// the one-line failure, the whole-number checks, and the recording options
// (RECORDING, --matrix, --no-smooth, --rate) declared once for all
// subcommands that open a recording.
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
    void information(const std::string& text) override { std::cerr << text << "\n"; }
    void warning(const std::string& text) override { std::cerr << text << "\n"; }
    // A failure is the one line a caller gets, in the same form as bad input,
    // after `context` (the option whose file was being read, "--matrix: ").
    void error(const std::string& text) override;

    bool failed = false;
    std::string context;
};

// The one line a caller gets on bad input; exits with BadInput.
[[noreturn]] void fail(const std::string& message);

// A whole number in min..max. The text is checked before it is converted, so
// "12a" gets the program's own conversion message rather than a range.
CLI::Validator wholeIn(int64_t min, int64_t max);
extern const CLI::Validator WholeNonNegative;
extern const CLI::Validator WholePositive;

// The session a subcommand works on, made only when one runs.
struct Tool {
    std::unique_ptr<SessionState> state;
    CliHost host;
    std::unique_ptr<Ctx> ctx;

    Ctx& make();
};

// The recording and how to open it: what every subcommand but demo takes.
struct RecordingArgs {
    std::string path;
    std::string matrix;
    bool noSmooth = false;
    int rate = 0;
    CLI::Option* rateOption = nullptr;
};

// The sampling-frequency option of the subcommands that open or write a recording.
CLI::Option* addRateOption(CLI::App* sub, int& rate, const std::string& what);

// Declares RECORDING, --matrix, --no-smooth and --rate on `sub`.
std::shared_ptr<RecordingArgs> addRecordingArgs(CLI::App* sub);

// Opens the recording as "Open File" would, then applies the sampling
// frequency when one was given.
Ctx& openRecording(Tool& tool, const RecordingArgs& r);

// Declares every recording option but RECORDING (--matrix, --no-smooth, --rate, ...) on `sub`, filling `r`.
void addRecordingOptions(CLI::App* sub, RecordingArgs& r);
// Opens r.path into a fresh session (tool.make()) as openRecording does, without exiting and without printing: false with the one-line message (no "vorelkant-cli: " prefix) in `error`.
bool tryOpenRecording(Tool& tool, const RecordingArgs& r, std::string& error);

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
