// study-merge: the tables of the shards of one study (study --shard I/N,
// one folder each) joined into the tables the whole run would have
// written. Shard I holds the recordings I, I+N, I+2N, ..., so recording k
// of shard I is recording I + (k-1)N of the study.
#include <algorithm>
#include <map>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/StudyOutput.h"
#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk::cli {

namespace {

// One CSV record as written (with its line end) and its first field.
struct Record {
    std::string text, first;
};

// The records after the header line; fails unless the header is `header`.
std::vector<Record> readTable(const std::string& path, const std::string& header) {
    std::string bytes;
    try {
        bytes = readWholeFile(path, size_t{1} << 32);
    } catch (const IoError& e) {
        fail(e.what());
    }
    if (bytes.rfind(header, 0) != 0) fail(path + ": not a table of the study command");
    std::vector<Record> records;
    size_t at = header.size();
    while (at < bytes.size()) {
        // The first field as it stands in the file is enough to compare paths.
        bool quoted = false;
        size_t end = at, firstEnd = std::string::npos;
        for (; end < bytes.size(); ++end) {
            const char c = bytes[end];
            if (c == '"') quoted = !quoted;
            else if (!quoted && c == ',' && firstEnd == std::string::npos) firstEnd = end;
            else if (!quoted && c == '\n') break;
        }
        if (end >= bytes.size()) fail(path + ": the last row is cut short");
        Record r{bytes.substr(at, end + 1 - at), bytes.substr(at, std::min(firstEnd, end) - at)};
        records.push_back(r);
        at = end + 1;
    }
    return records;
}

struct Shard {
    std::string dir;
    int index = 1, count = 1;
    std::string head;                  // study.json up to its list of recordings
    std::vector<StudyChunk> chunks;    // its recordings in order
};

// study.json: the head line, then one recording per line (ended by a comma
// but the last), then "]}".
void readJson(Shard& shard) {
    const std::string path = shard.dir + "/" + StudyJsonName;
    std::string bytes;
    try {
        bytes = readWholeFile(path, size_t{1} << 32);
    } catch (const IoError& e) {
        fail(e.what());
    }
    std::vector<std::string> lines;
    for (size_t at = 0; at < bytes.size();) {
        const size_t end = bytes.find('\n', at);
        lines.push_back(bytes.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? bytes.size() : end + 1;
    }
    const std::string marker = ",\"recordings\":[";
    if (lines.size() < 2 || lines.front().size() < marker.size() ||
        lines.front().compare(lines.front().size() - marker.size(), marker.size(), marker) != 0 || lines.back() != "]}")
        fail(path + ": not the study.json of the study command");
    shard.head = lines.front() + "\n";
    if (const auto at = shard.head.find("\"shard\":\""); at != std::string::npos) {
        const auto slash = shard.head.find('/', at), end = shard.head.find('"', at + 9);
        try {
            shard.index = parseInt(shard.head.substr(at + 9, slash - at - 9));
            shard.count = parseInt(shard.head.substr(slash + 1, end - slash - 1));
        } catch (const ConversionError&) {
            fail(path + ": its shard is not I/N");
        }
        shard.head.replace(at + 8, end - at - 7, "null");
    }
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        shard.chunks.push_back({});
        shard.chunks.back().json = lines[i].back() == ',' ? lines[i].substr(0, lines[i].size() - 1) : lines[i];
    }
}

// Gives each recording of the shard its rows of one table: the rows of a
// recording stand together, in the order of the recordings.
void splitRows(Shard& shard, const std::vector<Record>& recordings, const std::string& table,
               const std::vector<std::string>& columns, std::string StudyChunk::*field) {
    const std::vector<Record> rows = readTable(shard.dir + "/" + table, CsvHeader(columns));
    size_t at = 0;
    for (size_t k = 0; k < recordings.size();) {
        // A recording given twice in a row has its rows twice in a row.
        size_t same = 1;
        while (k + same < recordings.size() && recordings[k + same].first == recordings[k].first) ++same;
        size_t run = 0;
        while (at + run < rows.size() && rows[at + run].first == recordings[k].first) ++run;
        if (run % same != 0) fail(shard.dir + "/" + table + ": its rows do not match " + RecordingsTableName);
        for (size_t i = 0; i < same; ++i)
            for (size_t r = 0; r < run / same; ++r) shard.chunks[k + i].*field += rows[at++].text;
        k += same;
    }
    if (at != rows.size()) fail(shard.dir + "/" + table + ": its rows do not match " + RecordingsTableName);
}

void runMerge(const std::vector<std::string>& dirs, const std::string& out) {
    std::vector<Shard> shards;
    for (const std::string& dir : dirs) {
        Shard shard;
        shard.dir = dir;
        readJson(shard);
        const std::vector<Record> recordings =
            readTable(dir + "/" + RecordingsTableName, CsvHeader(RecordingsColumns));
        if (recordings.size() != shard.chunks.size())
            fail(dir + ": " + RecordingsTableName + " and " + StudyJsonName + " do not hold the same recordings");
        for (size_t k = 0; k < recordings.size(); ++k) shard.chunks[k].recording = recordings[k].text;
        splitRows(shard, recordings, ElectrodesTableName, ElectrodesColumns, &StudyChunk::electrodes);
        splitRows(shard, recordings, WavesTableName, WavesColumns, &StudyChunk::waves);
        splitRows(shard, recordings, MarksTableName, MarksColumns, &StudyChunk::marks);
        shards.push_back(std::move(shard));
    }
    for (const Shard& s : shards) {
        if (s.count != shards.front().count) fail(s.dir + ": shard of " + std::to_string(s.count) + ", not of " +
                                                  std::to_string(shards.front().count));
        for (const Shard& t : shards)
            if (&t != &s && t.index == s.index) fail(s.dir + ", " + t.dir + ": the same shard twice");
    }
    // Recording k (0-based) of shard I is recording I + k N of the study.
    std::map<size_t, const StudyChunk*> order;
    for (const Shard& s : shards)
        for (size_t k = 0; k < s.chunks.size(); ++k)
            order[static_cast<size_t>(s.index) + k * static_cast<size_t>(s.count)] = &s.chunks[k];
    StudyOutput output;
    std::string error;
    if (!output.open(out, shards.front().head, error)) fail(error);
    for (const auto& [index, chunk] : order)
        if (!output.add(*chunk, error)) fail(error);
    if (!output.finish(error)) fail(error);
}

}  // namespace

void addStudyMerge(CLI::App& app) {
    auto dirs = std::make_shared<std::vector<std::string>>();
    auto out = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand("study-merge", "join the tables of a study's shards in recording order");
    sub->add_option("DIR", *dirs, "folders written by study --shard I/N")->required();
    sub->add_option("--out", *out, "folder the joined tables are written to (created when missing)")->required();
    sub->callback([dirs, out] { runMerge(*dirs, *out); });
}

}  // namespace vk::cli
