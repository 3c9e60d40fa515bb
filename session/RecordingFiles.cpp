#include "session/RecordingFiles.h"

#include <filesystem>
#include <system_error>

#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

namespace fs = std::filesystem;

// Whether two paths name the same file: the same file on disk when both
// exist (links and "./" included), else the same absolute path.
bool sameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) {
        const bool same = fs::equivalent(a, b, ec);
        if (!ec) return same;
    }
    const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec), ec);
    return pa == pb;
}

}  // namespace

std::string WithExtension(const std::string& path, const std::string& extension) {
    const size_t nameStart = path.size() - namePart(path).size();
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot <= nameStart) return path + extension;
    return path.substr(0, dot) + extension;
}

void RefuseRecordingFiles(const SessionState& s, const std::string& path) {
    const std::pair<const std::string*, const char*> kept[] = {
        {&s.FileName, "the open recording"},
        {&s.NIFileName, "the open recording"},
        {&s.MarkFileName, "the mark file of the open recording"},
        {&s.ConnFileName, "the connections file of the open recording"},
    };
    for (const auto& [file, what] : kept) {
        if (file == &s.NIFileName && RecordingPath(s) != s.NIFileName) continue;
        if (sameFile(path, *file))
            throw IoError(path, std::string("this is ") + what + "; an export never replaces it, nothing was written");
    }
}

void writeExportLines(const SessionState& s, const std::string& path, const std::vector<std::string>& lines) {
    RefuseRecordingFiles(s, path);
    writeLinesAtomic(path, lines);
}

void writeExportBytes(const SessionState& s, const std::string& path, std::string_view bytes) {
    RefuseRecordingFiles(s, path);
    writeBytesAtomic(path, bytes);
}

}  // namespace vk
