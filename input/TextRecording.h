// Recordings stored as plain text: the NI, Nashville, Auckland and
// Manchester text formats, read from a buffer that holds the whole file.
//
// The formats share one way of reading a number: blanks, tabs and line ends
// (every byte of code 32 or less) are skipped, the next run of up to 64
// other bytes is the number, with "." as decimal point; at the end of the
// file a number reads as 0, so a short file reads as if padded with zeros.
// A value becomes a stored sample when multiplied by the format's factor and
// rounded to the nearest integer, halves to even. The readers here only
// parse; the commands that put a recording into the session live in
// input/TextImport.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/Numbers.h"
#include "session/SessionState.h"

namespace vk {

// The formats, numbered as the open dialog's filters that choose them.
enum class TextFormat { NI = 3, Nashville = 4, Auckland = 5, Manchester = 6 };

// Reads numbers and lines from a text buffer as the text formats need.
class NumberScanner {
public:
    explicit NumberScanner(std::string_view text) : text_(text) {}

    // The next number; 0 at the end of the text. Throws ConversionError
    // when the token is not a number.
    double readNumber();
    // Discards the rest of the current line and its line end (LF, CR LF or CR).
    void skipLine();
    // The rest of the current line without its line end, which is passed.
    std::string readRest();
    // Discards a fixed-width field: up to `width` bytes, stopping before a
    // line end.
    void skipField(size_t width);
    bool atEnd() const { return pos_ >= text_.size(); }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

// A text file mapped into memory, read-only, for as long as this lives.
// Throws IoError when the file cannot be opened or mapped.
class MappedText {
public:
    explicit MappedText(const std::string& path);
    ~MappedText();
    MappedText(const MappedText&) = delete;
    MappedText& operator=(const MappedText&) = delete;
    std::string_view text() const { return {data_, size_}; }

private:
    const char* data_ = nullptr;
    size_t size_ = 0;
};

[[noreturn]] void ThrowTooLargeSample(double value);

// A value times the factor, rounded half to even. Throws ConversionError when
// the result does not fit a 32-bit sample.
inline int32_t StoredSample(double value, double factor) {
    const double scaled = value * factor;
    // Checked before rounding: a value outside the 32-bit range has no
    // nearest integer there.
    if (!(scaled >= -2147483648.5 && scaled < 2147483647.5)) ThrowTooLargeSample(value);
    return static_cast<int32_t>(roundHalfEven(scaled));
}

// Reads the ten header lines of an Auckland file (lines 8 to 10 are unused
// and not looked at). Throws ConversionError for a number item that is not
// a number or does not fit a 32-bit integer.
AucklandHeader ReadAucklandHeader(std::string_view text);

// What the data pass reads: `samples` sample rows of `channels` values after
// `headerLines` lines, each value times `factor`.
struct TextLayout {
    TextFormat format = TextFormat::Nashville;
    int32_t channels = 0;
    int32_t samples = 0;
    int32_t headerLines = 3;
    double factor = 1.0;
};

// The layout of each format: NI reads 64 channels times 1,000,000;
// Manchester reads the NI lines with its own channel count; Nashville
// lines hold only the values; Auckland is one stream of numbers after its
// header, times the units per millivolt.
TextLayout LayoutOf(TextFormat format, int32_t channels, int32_t samples, int32_t aucklandHeaderLines = 0,
                    int32_t unitsPerMillivolt = 747);

// Called before sample row n is read, for every n that is a multiple of 100.
using LineProgress = std::function<void(int32_t line)>;

// Reads the samples into `out`, row-major, `channels` values per row
// (out.size() becomes channels x samples). For NI, `lastValues` (when given)
// receives, per row, the line's last value rounded without the factor.
// Throws ConversionError at the first token that is not a number.
void ReadTextSamples(std::string_view text, const TextLayout& layout, std::vector<int32_t>& out,
                     const LineProgress& progress = {}, std::vector<int64_t>* lastValues = nullptr);

// The mark file of an imported recording: the extension of the file's own
// name (from its last ".") becomes ".Mxt", and a name without one gets ".Mxt"
// appended. Folders never change.
std::string ImportMarkFileName(const std::string& path);

}  // namespace vk
