#include "cli/StudyOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk::cli {

// The version study.json records, so that a table can be traced to the
// program that wrote it.
constexpr const char* ProgramVersion = "1.0.0";

StudyChunk chunkOf(const StudyRows& rows) {
    StudyChunk c;
    auto lines = [](const std::vector<TableRow>& table) {
        std::string out;
        for (const TableRow& r : table) out += CsvLine(r);
        return out;
    };
    c.recording = lines(rows.recording);
    c.electrodes = lines(rows.electrodes);
    c.waves = lines(rows.waves);
    c.marks = lines(rows.marks);
    c.json = JsonRecording(rows);
    c.status = rows.recording.at(0).at(1).text;
    return c;
}

void writeChunk(const std::string& path, const StudyChunk& chunk) {
    std::string bytes;
    for (const std::string* part : {&chunk.recording, &chunk.electrodes, &chunk.waves, &chunk.marks, &chunk.json, &chunk.status})
        bytes += std::to_string(part->size()) + "\n" + *part;
    // A scratch file read back at once by the same run: no need to wait for the disk.
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (!f || std::fclose(f) != 0 || !written) throw IoError(path, std::string("cannot write: ") + std::strerror(errno));
}

StudyChunk readChunk(const std::string& path) {
    const std::string bytes = readWholeFile(path, size_t{1} << 31);
    StudyChunk chunk;
    size_t at = 0;
    for (std::string* part : {&chunk.recording, &chunk.electrodes, &chunk.waves, &chunk.marks, &chunk.json, &chunk.status}) {
        const size_t end = bytes.find('\n', at);
        if (end == std::string::npos) throw IoError(path, "the part is cut short");
        const size_t size = std::stoull(bytes.substr(at, end - at));
        if (end + 1 + size > bytes.size()) throw IoError(path, "the part is cut short");
        *part = bytes.substr(end + 1, size);
        at = end + 1 + size;
    }
    return chunk;
}

std::string studyJsonHead(const std::string& options) {
    return "{\"version\":" + JsonString(ProgramVersion) + ",\"options\":" + options + ",\"recordings\":[\n";
}

StudyOutput::~StudyOutput() {
    if (!done_) abandon();
}

bool StudyOutput::open(const std::string& dir, const std::string& jsonHead, std::string& error) {
    dir_ = dir;
    std::error_code ec;
    createdDir_ = !std::filesystem::exists(dir, ec);
    try {
        makeFolders(dir);
    } catch (const IoError& e) {
        createdDir_ = false;
        error = std::string("--out: ") + e.what();
        return false;
    }
    const std::string pid = std::to_string(::getpid());
    const std::vector<std::pair<const char*, std::string>> outputs = {
        {MarksTableName, CsvHeader(MarksColumns)},
        {ElectrodesTableName, CsvHeader(ElectrodesColumns)},
        {WavesTableName, CsvHeader(WavesColumns)},
        {RecordingsTableName, CsvHeader(RecordingsColumns)},
        {StudyJsonName, jsonHead}};
    for (const auto& [name, head] : outputs) {
        finals_.push_back(dir + "/" + name);
        temps_.push_back(dir + "/." + name + "." + pid + ".part");
        std::FILE* f = std::fopen(temps_.back().c_str(), "wb");
        files_.push_back(f);
        if (!f || std::fputs(head.c_str(), f) < 0) {
            error = "--out: " + temps_.back() + ": " + std::strerror(errno);
            abandon();
            return false;
        }
    }
    return true;
}

std::string StudyOutput::scratchFolder() {
    if (scratch_.empty()) {
        scratch_ = dir_ + "/.study-" + std::to_string(::getpid());
        makeFolders(scratch_);
    }
    return scratch_;
}

bool StudyOutput::add(const StudyChunk& chunk, std::string& error) {
    const std::string json = (first_ ? "" : ",\n") + chunk.json;
    first_ = false;
    const std::string* parts[] = {&chunk.marks, &chunk.electrodes, &chunk.waves, &chunk.recording, &json};
    for (size_t i = 0; i < files_.size(); ++i)
        if (std::fwrite(parts[i]->data(), 1, parts[i]->size(), files_[i]) != parts[i]->size()) {
            error = temps_[i] + ": cannot write: " + std::strerror(errno);
            return false;
        }
    return true;
}

bool StudyOutput::finish(std::string& error) {
    if (done_) return false;
    std::fputs("\n]}\n", files_.back());
    for (size_t i = 0; i < files_.size(); ++i) {
        const bool written = std::fflush(files_[i]) == 0 && ::fsync(::fileno(files_[i])) == 0;
        const int err = errno;
        std::fclose(files_[i]);
        files_[i] = nullptr;
        if (!written) {
            error = temps_[i] + ": cannot write: " + std::strerror(err);
            abandon();
            return false;
        }
    }
    for (size_t i = 0; i < temps_.size(); ++i)
        if (std::rename(temps_[i].c_str(), finals_[i].c_str()) != 0) {
            error = finals_[i] + ": cannot write: " + std::strerror(errno);
            abandon();
            return false;
        }
    if (!scratch_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(scratch_, ec);
    }
    done_ = true;
    return true;
}

void StudyOutput::abandon() {
    for (std::FILE*& f : files_)
        if (f) std::fclose(f), f = nullptr;
    for (const std::string& t : temps_) std::remove(t.c_str());
    std::error_code ec;
    if (!scratch_.empty()) std::filesystem::remove_all(scratch_, ec);
    if (createdDir_) std::filesystem::remove(dir_, ec);
    done_ = true;
}

CLI::Option* addTableOption(CLI::App* sub, std::string& format) {
    return sub->add_option("--table", format, "print the rows as a table instead: csv (with a header row) or json")
        ->check(CLI::IsMember({"csv", "json"}));
}

void printTable(const std::string& format, const std::vector<std::string>& columns, const std::vector<TableRow>& rows) {
    std::string out;
    if (format == "json") {
        out = JsonRows(columns, rows) + "\n";
    } else {
        out = CsvHeader(columns);
        for (const TableRow& r : rows) out += CsvLine(r);
    }
    std::cout << out;
}

}  // namespace vk::cli
