// The files the open recording lives in, and the rule that protects them
// from the program's own exports.
//
// An export writes where the user points the save dialog (or a fixed name in
// the working folder). Pointed at the recording, its mark file or its
// connections file, it would replace a day's measurement with a small text
// file; so every export is written through writeExportLines/Bytes, which
// refuse those three paths with one message and write nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "session/SessionState.h"

namespace vk {

// FileType of a recording imported from an NI text file.
inline constexpr int32_t NITextFileType = 3;

// `path` with its extension (from the last "." of the name part on)
// replaced by `extension`; a name without one gets it appended.
// "dir/REC.E01", ".txt" -> "dir/REC.txt".
std::string WithExtension(const std::string& path, const std::string& extension);

// Throws IoError naming `path` when it is the open recording, its mark file
// or its connections file (the same file under any spelling of its path).
void RefuseRecordingFiles(const SessionState& s, const std::string& path);

// writeLinesAtomic / writeBytesAtomic for an export: refused as above first.
void writeExportLines(const SessionState& s, const std::string& path, const std::vector<std::string>& lines);
void writeExportBytes(const SessionState& s, const std::string& path, std::string_view bytes);

}  // namespace vk
