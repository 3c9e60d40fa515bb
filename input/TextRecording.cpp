#include "input/TextRecording.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "session/Errors.h"
#include "session/Numbers.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

// Every byte of code 32 or less separates numbers (bytes above 127 are not
// separators, whatever the sign of char).
inline bool isSeparator(char c) { return static_cast<unsigned char>(c) <= 32; }
inline bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// A number is at most this many bytes; a longer run goes on as the next number.
constexpr size_t MaxTokenLength = 64;

}  // namespace

double NumberScanner::readNumber() {
    const size_t size = text_.size();
    while (pos_ < size && isSeparator(text_[pos_])) ++pos_;
    if (pos_ >= size) return 0.0;
    const size_t start = pos_;
    const size_t limit = std::min(size, start + MaxTokenLength);
    while (pos_ < limit && !isSeparator(text_[pos_])) ++pos_;
    const char* first = text_.data() + start;
    const char* last = text_.data() + pos_;
    // The common case in one call; anything unusual (a "+" sign, a bad or
    // infinite value) goes through the checked conversion, which also gives
    // the message.
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc() && end == last && std::isfinite(value)) return value;
    return parseReal(std::string_view(first, static_cast<size_t>(last - first)));
}

void NumberScanner::skipLine() {
    const size_t size = text_.size();
    while (pos_ < size && !isLineEnd(text_[pos_])) ++pos_;
    if (pos_ < size && text_[pos_] == '\r') ++pos_;
    if (pos_ < size && text_[pos_] == '\n') ++pos_;
}

std::string NumberScanner::readRest() {
    const size_t start = pos_;
    while (pos_ < text_.size() && !isLineEnd(text_[pos_])) ++pos_;
    std::string rest(text_.substr(start, pos_ - start));
    skipLine();
    return rest;
}

void NumberScanner::skipField(size_t width) {
    const size_t limit = std::min(text_.size(), pos_ + width);
    while (pos_ < limit && !isLineEnd(text_[pos_])) ++pos_;
}

int32_t StoredSample(double value, double factor) {
    const double scaled = value * factor;
    // Checked before rounding: a value outside the 32-bit range has no
    // nearest integer there.
    const int64_t r = scaled >= -2147483649.0 && scaled <= 2147483648.0 ? roundHalfEven(scaled) : INT64_MAX;
    if (r < INT32_MIN || r > INT32_MAX) {
        char text[40];
        std::snprintf(text, sizeof text, "%.15g", value);
        throw ConversionError(std::string("'") + text + "' is too large for a stored sample");
    }
    return static_cast<int32_t>(r);
}

AucklandHeader ReadAucklandHeader(std::string_view text) {
    NumberScanner in(text);
    AucklandHeader h;
    // A number item is the first number of its line; the rest of the line
    // is passed over.
    auto whole = [&in]() {
        const int32_t v = StoredSample(in.readNumber(), 1.0);
        in.skipLine();
        return v;
    };
    h.HeaderLines = whole();
    h.NrChannels = whole();
    h.NrSamples = whole();
    h.SamplingRate = whole();
    h.Calibration = in.readNumber();
    in.skipLine();
    h.MatrixName = in.readRest();
    h.Comments = in.readRest();
    return h;
}

TextLayout LayoutOf(TextFormat format, int32_t channels, int32_t samples, int32_t aucklandHeaderLines,
                    int32_t unitsPerMillivolt) {
    TextLayout l;
    l.format = format;
    l.channels = format == TextFormat::NI ? 64 : channels;
    l.samples = samples;
    switch (format) {
        case TextFormat::NI:
        case TextFormat::Manchester:
            l.factor = 1000000.0;
            break;
        case TextFormat::Nashville:
            l.factor = 1.0;
            break;
        case TextFormat::Auckland:
            l.headerLines = aucklandHeaderLines;
            l.factor = unitsPerMillivolt;
            break;
    }
    return l;
}

void ReadTextSamples(std::string_view text, const TextLayout& layout, std::vector<int32_t>& out,
                     const LineProgress& progress, std::vector<int64_t>* lastValues) {
    const int32_t channels = std::max(0, layout.channels);
    const int32_t samples = std::max(0, layout.samples);
    out.assign(static_cast<size_t>(channels) * static_cast<size_t>(samples), 0);
    if (lastValues) lastValues->assign(static_cast<size_t>(samples), 0);
    NumberScanner in(text);
    // A header longer than the file ends at its end (a count of millions
    // must not spin there).
    for (int32_t i = 0; i < layout.headerLines && !in.atEnd(); ++i) in.skipLine();
    const bool lines = layout.format != TextFormat::Auckland;
    const bool textFields = layout.format == TextFormat::NI || layout.format == TextFormat::Manchester;
    int32_t* dst = out.data();
    for (int32_t n = 1; n <= samples; ++n) {
        if (progress && n % 100 == 0) progress(n);
        if (textFields) {
            in.skipField(11);
            in.skipField(12);
        }
        double value = 0.0;
        for (int32_t c = 0; c < channels; ++c) {
            value = in.readNumber();
            *dst++ = StoredSample(value, layout.factor);
        }
        if (lastValues) (*lastValues)[static_cast<size_t>(n - 1)] = StoredSample(value, 1.0);
        if (lines) in.skipLine();
    }
}

std::string ImportMarkFileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return path + ".Mxt";
    return path.substr(0, dot) + ".Mxt";
}

}  // namespace vk
