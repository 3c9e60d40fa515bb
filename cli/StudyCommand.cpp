// study: the tables of many recordings in one run. Each recording is opened
// as every subcommand opens one, its marks measured, grouped into waves and
// their velocities worked out, and its rows appended to the study's tables
// in the order the recordings were given.
//
// With --jobs N the recordings are analysed by N worker processes, each
// with a session of its own: processes rather than threads, because a
// session and what opening a recording reads (the user's locale, settings)
// were made for one program at a time. A worker writes each recording's
// rows to a part file and says so on its pipe; the parent appends the parts
// in input order, so the tables are the same whatever the number of jobs.
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <thread>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/StudyOutput.h"
#include "electrograms/Detector.h"
#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk::cli {

namespace {

struct StudySettings {
    std::vector<std::string> paths;
    std::string out, shard;
    RecordingArgs recording;
    StudyOptions tables;
    bool detect = false;
    int jobs = 1, shardIndex = 1, shardCount = 1;
    CLI::Option *diffOption = nullptr, *shardOption = nullptr;
};

using Clock = std::chrono::steady_clock;

// Ctrl+C or a job scheduler's SIGTERM: the run stops after the recording at
// work and removes its temporary files, so the folder keeps what it held.
volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }
void catchStops(bool on) {
    struct sigaction a {};
    a.sa_handler = on ? requestStop : SIG_DFL;  // without SA_RESTART: a wait returns at once
    sigemptyset(&a.sa_mask);
    sigaction(SIGINT, &a, nullptr);
    sigaction(SIGTERM, &a, nullptr);
}

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// One recording, start to end, in a session of its own.
StudyChunk analyse(const StudySettings& o, const std::string& path) {
    const auto start = Clock::now();
    Tool tool;
    RecordingArgs r = o.recording;
    r.path = path;
    std::string error;
    StudyRows rows;
    if (!tryOpenRecording(tool, r, error)) {
        rows = FailedStudyRows(path, error);
    } else if (const std::string why = StudyRefusal(*tool.state); !why.empty()) {
        rows = FailedStudyRows(path, why);
    } else {
        QuietHost quiet;
        Ctx ctx(*tool.state, quiet, tool.ctx->redraw);
        try {
            if (o.detect) {
                // The detector's own defaults on every channel, in memory only.
                // Its earlier automatic marks of the type are replaced, so a
                // recording detected and saved before is not counted twice.
                DetectOptions detect;
                detect.markType = o.tables.markType;
                detect.replace = true;
                DetectActivations(*tool.state, detect);
            }
            rows = ComputeStudyRows(ctx, path, o.tables);
        } catch (const std::exception& e) {
            rows = FailedStudyRows(path, e.what());
        }
    }
    if (rows.recording[0][1].text == "ok") SetElapsed(rows, millisecondsSince(start));
    return chunkOf(rows);
}

// "3/20 demo03.E01: ok" per recording, or a bar with the time left on a terminal.
class Progress {
public:
    explicit Progress(size_t total) : total_(total), terminal_(::isatty(STDERR_FILENO)) {}
    void done(const std::string& path, const std::string& status) {
        ++done_;
        if (!terminal_) {
            std::fprintf(stderr, "study: %zu/%zu %s: %s\n", done_, total_, path.c_str(), status.c_str());
            return;
        }
        const double elapsed = static_cast<double>(millisecondsSince(start_)) / 1000;
        const long left = std::lround(elapsed / static_cast<double>(done_) * static_cast<double>(total_ - done_));
        const size_t width = 30, filled = width * done_ / std::max<size_t>(total_, 1);
        std::fprintf(stderr, "\rstudy [%s%s] %zu/%zu, %ld:%02ld left ", std::string(filled, '#').c_str(),
                     std::string(width - filled, '-').c_str(), done_, total_, left / 60, left % 60);
        if (done_ == total_) std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    size_t total_, done_ = 0;
    bool terminal_;
    Clock::time_point start_ = Clock::now();
};

// A worker: reads recording numbers from `in`, writes each one's part file
// and then its number to `out`, until `in` is closed.
[[noreturn]] void workerLoop(const StudySettings& o, const std::vector<std::string>& paths, const std::string& scratch,
                             int in, int out) {
    uint32_t index = 0;
    while (::read(in, &index, sizeof index) == sizeof index) {
        int result = 0;
        try {
            writeChunk(scratch + "/" + std::to_string(index), analyse(o, paths[index]));
        } catch (const std::exception&) {
            result = 1;
        }
        const uint32_t reply[2] = {index, static_cast<uint32_t>(result)};
        if (::write(out, reply, sizeof reply) != sizeof reply) break;
    }
    // Without the exit handlers: the parent's open tables are not this process's to close.
    ::_exit(0);
}

struct Worker {
    pid_t pid = -1;
    int in = -1, out = -1;  // the parent's ends: recording numbers to it, replies from it
    long long busy = -1;    // the recording it works on
};

// Runs the recordings through `jobs` worker processes; `deliver` gets each
// recording's chunk in input order.
bool runWorkers(const StudySettings& o, const std::vector<std::string>& paths, StudyOutput& output, int jobs,
                const std::function<bool(size_t, const StudyChunk&)>& deliver, std::string& error) {
    std::string scratch;
    try {
        scratch = output.scratchFolder();
    } catch (const IoError& e) {
        error = e.what();
        return false;
    }
    std::vector<Worker> workers(static_cast<size_t>(jobs));
    auto spawn = [&](Worker& w) {
        int toWorker[2], fromWorker[2];
        if (::pipe(toWorker) != 0 || ::pipe(fromWorker) != 0) return false;
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid < 0) return false;
        if (pid == 0) {
            catchStops(false);
            ::close(toWorker[1]);
            ::close(fromWorker[0]);
            for (const Worker& other : workers)
                if (other.pid > 0) ::close(other.in), ::close(other.out);
            workerLoop(o, paths, scratch, toWorker[0], fromWorker[1]);
        }
        ::close(toWorker[0]);
        ::close(fromWorker[1]);
        w = Worker{pid, toWorker[1], fromWorker[0], -1};
        return true;
    };
    std::vector<int> state(paths.size(), 0);  // 0 waiting, 1 part written, 2 failed without a part
    size_t next = 0, flushed = 0;
    auto assign = [&](Worker& w) {
        if (next < paths.size()) {
            const uint32_t index = static_cast<uint32_t>(next);
            if (::write(w.in, &index, sizeof index) == sizeof index) w.busy = static_cast<long long>(next++);
        } else if (w.in >= 0) {
            ::close(w.in);
            w.in = -1;
        }
    };
    for (Worker& w : workers) {
        if (!spawn(w)) {
            error = std::string("cannot start a job: ") + std::strerror(errno);
            for (Worker& x : workers)
                if (x.pid > 0) ::close(x.in), ::kill(x.pid, SIGTERM), ::waitpid(x.pid, nullptr, 0);
            return false;
        }
        assign(w);
    }
    bool ok = true;
    while (flushed < paths.size() && ok && !stopRequested) {
        std::vector<pollfd> fds;
        for (const Worker& w : workers) fds.push_back({w.out, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) break;
        for (size_t k = 0; k < workers.size(); ++k) {
            Worker& w = workers[k];
            if (w.out < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            uint32_t reply[2];
            if (::read(w.out, reply, sizeof reply) == sizeof reply) {
                state[reply[0]] = reply[1] == 0 ? 1 : 2;
                w.busy = -1;
                assign(w);
                continue;
            }
            // The worker ended: its recording failed; another takes its place.
            int status = 0;
            ::close(w.out);
            if (w.in >= 0) ::close(w.in);
            ::waitpid(w.pid, &status, 0);
            const long long lost = w.busy;
            w = Worker{};
            if (lost >= 0) {
                state[static_cast<size_t>(lost)] = 2;
                if (!spawn(w)) ok = false;
                else assign(w);
            }
        }
        for (; flushed < paths.size() && state[flushed] != 0; ++flushed) {
            StudyChunk chunk;
            const std::string part = scratch + "/" + std::to_string(flushed);
            try {
                chunk = state[flushed] == 1 ? readChunk(part) : chunkOf(FailedStudyRows(paths[flushed], "the analysis stopped"));
            } catch (const IoError& e) {
                chunk = chunkOf(FailedStudyRows(paths[flushed], e.what()));
            }
            std::remove(part.c_str());
            if (!deliver(flushed, chunk)) {
                ok = false;
                break;
            }
        }
    }
    for (Worker& w : workers) {
        if (w.in >= 0) ::close(w.in);
        if (w.out >= 0) ::close(w.out);
        if (w.pid > 0) {
            if (!ok || stopRequested) ::kill(w.pid, SIGTERM);
            ::waitpid(w.pid, nullptr, 0);
        }
    }
    if (!ok && error.empty()) error = "a job could not be started";
    return ok;
}

std::string optionsJson(const StudySettings& o) {
    auto textOrNull = [](const std::string& t) { return t.empty() ? std::string("null") : JsonString(t); };
    const RecordingArgs& r = o.recording;
    return "{\"type\":" + std::to_string(o.tables.markType) +
           ",\"diff\":" + (o.diffOption->count() ? std::to_string(o.tables.waveDifference) : "null") +
           ",\"matrix\":" + textOrNull(r.matrix) + ",\"no_smooth\":" + (r.noSmooth ? "true" : "false") +
           ",\"rate\":" + (r.rateOption->count() ? std::to_string(r.rate) : "null") +
           ",\"format\":" + textOrNull(r.format) +
           ",\"import_channels\":" + (r.importChannelsOption && r.importChannelsOption->count() ? std::to_string(r.importChannels) : "null") +
           ",\"import_samples\":" + (r.importSamplesOption && r.importSamplesOption->count() ? std::to_string(r.importSamples) : "null") +
           ",\"import_length\":" + (r.importLengthOption && r.importLengthOption->count() ? std::to_string(r.importLength) : "null") +
           ",\"detect\":" + (o.detect ? "true" : "false") + ",\"jobs\":" + std::to_string(o.jobs) +
           ",\"shard\":" + (o.shardOption->count() ? JsonString(o.shard) : "null") + "}";
}

// I/N with 1 <= I <= N.
void parseShard(StudySettings& o) {
    const auto slash = o.shard.find('/');
    try {
        if (slash == std::string::npos) throw ConversionError("");
        o.shardIndex = parseInt(o.shard.substr(0, slash));
        o.shardCount = parseInt(o.shard.substr(slash + 1));
    } catch (const ConversionError&) {
        fail("--shard: '" + o.shard + "' is not I/N");
    }
    if (o.shardCount < 1 || o.shardIndex < 1 || o.shardIndex > o.shardCount)
        fail("--shard: " + o.shard + " needs 1 <= I <= N");
}

void runStudy(StudySettings& o) {
    // A study writes its tables and nothing beside the recordings.
    if (o.recording.remember) fail("--remember: study never writes beside the recordings; use info --remember");
    // Each recording gets a fresh session of about 100 MB. Kept in the heap
    // rather than mapped anew each time, the memory of one session is
    // reused by the next: half the time per recording goes otherwise to the
    // kernel filling fresh pages. The peak stays that of one session.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    if (o.shardOption->count()) parseShard(o);
    std::vector<std::string> paths;
    for (size_t i = static_cast<size_t>(o.shardIndex - 1); i < o.paths.size(); i += static_cast<size_t>(o.shardCount))
        paths.push_back(o.paths[i]);
    StudyOutput output;
    std::string error;
    if (!output.open(o.out, studyJsonHead(optionsJson(o)), error)) fail(error);
    Progress progress(paths.size());
    int failed = 0;
    auto deliver = [&](size_t index, const StudyChunk& chunk) {
        const std::string& status = chunk.status;
        if (status != "ok") ++failed;
        progress.done(paths[index], status);
        return output.add(chunk, error);
    };
    catchStops(true);
    const int jobs = std::min<int>(o.jobs, static_cast<int>(paths.size()));
    bool ok = true;
    if (jobs <= 1) {
        for (size_t i = 0; i < paths.size() && ok && !stopRequested; ++i) ok = deliver(i, analyse(o, paths[i]));
    } else {
        ok = runWorkers(o, paths, output, jobs, deliver, error);
    }
    if (stopRequested) {
        ok = false;
        error = "stopped by a signal; nothing was written";
    }
    if (!ok) output.abandon();
    if (!ok || !output.finish(error)) {
        std::fprintf(stderr, "vorelkant-cli: %s\n", error.c_str());
        std::exit(Failed);
    }
    if (failed > 0) {
        std::fprintf(stderr, "vorelkant-cli: %d of %zu recordings failed (their status is in %s)\n", failed,
                     paths.size(), RecordingsTableName);
        std::exit(Failed);
    }
}

}  // namespace

void addStudy(CLI::App& app) {
    auto o = std::make_shared<StudySettings>();
    o->jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    CLI::App* sub = app.add_subcommand(
        "study", "tables of many recordings in one run: marks, electrodes, waves and recordings as CSV and JSON");
    sub->add_option("RECORDING", o->paths, "the electrogram files, in the order of the tables")->required();
    sub->add_option("--out", o->out, "folder the tables are written to (created when missing)")->required();
    addRecordingOptions(sub, o->recording);
    addTypeOption(sub, o->tables.markType, "mark type of the counts and waves (default 1)");
    o->diffOption = sub->add_option("--diff", o->tables.waveDifference,
                                    "largest time difference (ms) between neighbours of a wave")
                        ->check(WholePositive);
    sub->add_flag("--detect", o->detect, "detect activations first (in memory only)");
    sub->add_option("--jobs", o->jobs, "recordings analysed at once (default: the number of cores)")
        ->check(wholeIn(1, 256));
    o->shardOption = sub->add_option("--shard", o->shard, "I/N: only the recordings I, I+N, I+2N, ... (1-based)");
    sub->callback([o] { runStudy(*o); });
}

}  // namespace vk::cli
