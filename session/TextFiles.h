// Reading and writing the program's small text files.
//
// Numbers in text files are tokens separated by blanks, tabs and line ends,
// with "." as the decimal point. Files written by the program use carriage
// return and line feed, and replace the old file only once the new one is
// completely on disk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// Reads integers and reals token by token, the way the matrix and list files
// are laid out: a number may stand on a later line, and the rest of a line
// can be skipped after the numbers that were wanted.
class TextScanner {
public:
    TextScanner(std::string_view text, std::string path) : text_(text), path_(std::move(path)) {}

    int32_t readInt();
    double readReal();
    // Skips whatever is left of the current line, including its line end.
    void skipLine();
    // Reads the rest of the current line (without its line end) and moves past it.
    std::string readLine();
    bool atEnd() const { return pos_ >= text_.size(); }
    // Passes over one token whatever it holds (a column that is not used).
    void skipToken() { (void)nextToken(); }
    // True when only blanks and line ends are left.
    bool noTokensLeft();

private:
    std::string_view nextToken();

    std::string_view text_;
    std::string path_;
    size_t pos_ = 0;
};

// Whole-token conversions; throw ConversionError with the offending text.
int32_t parseInt(std::string_view token);
double parseReal(std::string_view token);

bool fileExists(const std::string& path);
// The whole file as bytes; throws IoError when it cannot be read or is
// larger than maxBytes.
std::string readWholeFile(const std::string& path, size_t maxBytes);
// Writes the lines, each ended by CR LF, through a temporary file in the
// same folder that is renamed over the target. Throws IoError; on failure
// the old file is untouched and no temporary file is left behind.
void writeLinesAtomic(const std::string& path, const std::vector<std::string>& lines);
// Same for raw bytes.
void writeBytesAtomic(const std::string& path, std::string_view bytes);
// Creates the folder and its parents when missing; throws IoError.
void makeFolders(const std::string& path);

// "dir/name.ext" -> "name.ext".
std::string namePart(const std::string& path);
// "dir/name.ext" -> "dir" ("" when there is no folder).
std::string folderPart(const std::string& path);

}  // namespace vk
