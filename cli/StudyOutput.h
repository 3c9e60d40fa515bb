// The folder a study writes: the four CSV tables and study.json, filled
// recording by recording in temporary files beside them and renamed into
// place only when the run ends, so a folder never holds half a study.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "exchange/StudyTables.h"

namespace vk::cli {

inline constexpr const char* StudyJsonName = "study.json";

// One recording's part of each output, as written: CSV lines without
// header, and its one-line study.json object; its status ("ok" or the error).
struct StudyChunk {
    std::string recording, electrodes, waves, marks, json, status;
};
StudyChunk chunkOf(const StudyRows& rows);

// A chunk in a file of its own, for the workers that analyse recordings in
// other processes. Throw IoError.
void writeChunk(const std::string& path, const StudyChunk& chunk);
StudyChunk readChunk(const std::string& path);

class StudyOutput {
public:
    StudyOutput() = default;
    ~StudyOutput();
    StudyOutput(const StudyOutput&) = delete;
    StudyOutput& operator=(const StudyOutput&) = delete;

    // Creates `dir` when missing and the temporary files in it, with the
    // header rows and study.json's opening (`jsonHead`: the version and
    // options fields). False with the reason when the folder is not
    // writable; then nothing is left behind.
    bool open(const std::string& dir, const std::string& jsonHead, std::string& error);
    // The folder for the workers' temporary files (made on first use).
    std::string scratchFolder();
    // Appends one recording; false with the reason when a write failed.
    bool add(const StudyChunk& chunk, std::string& error);
    // Ends the files and renames them into place.
    bool finish(std::string& error);
    // Removes what the run made: the temporary files and, when the run
    // made it, the folder.
    void abandon();

private:

    std::string dir_, scratch_;
    bool createdDir_ = false, first_ = true, done_ = false;
    std::vector<std::string> finals_, temps_;
    std::vector<std::FILE*> files_;
};

// The opening of study.json: {"version":...,"options":{...},"recordings":[
// `options` is the JSON object of the options used.
std::string studyJsonHead(const std::string& options);

// --table csv|json of the single commands: their rows as a table.
CLI::Option* addTableOption(CLI::App* sub, std::string& format);
// The rows as CSV with a header row, or as a JSON list of objects.
void printTable(const std::string& format, const std::vector<std::string>& columns, const std::vector<TableRow>& rows);

}  // namespace vk::cli
