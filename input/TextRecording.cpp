#include "input/TextRecording.h"

#include <charconv>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
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

constexpr double PowersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The numbers of recordings have few digits: up to 15 significant digits
// and a power of ten up to 22 make a mantissa and a power that are both
// exact doubles, so one multiplication or division gives the correctly
// rounded value, the same the full conversion gives, at a fraction of its
// cost. Returns false for anything else (the caller converts it fully).
bool fastDecimal(const char* p, const char* last, double& value) {
    bool negative = false;
    if (p < last && (*p == '-' || *p == '+')) negative = *p++ == '-';
    uint64_t mantissa = 0;
    int digits = 0, exponent = 0;
    for (; p < last && static_cast<unsigned>(*p - '0') < 10; ++p, ++digits) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    if (p < last && *p == '.') {
        for (++p; p < last && static_cast<unsigned>(*p - '0') < 10; ++p, ++digits, --exponent)
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    }
    if (digits == 0 || digits > 15) return false;
    if (p < last && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p < last && (*p == '-' || *p == '+')) negativeExponent = *p++ == '-';
        int e = 0, exponentDigits = 0;
        for (; p < last && static_cast<unsigned>(*p - '0') < 10 && exponentDigits < 4; ++p, ++exponentDigits)
            e = e * 10 + (*p - '0');
        if (exponentDigits == 0) return false;
        exponent += negativeExponent ? -e : e;
    }
    if (p != last || exponent < -22 || exponent > 22) return false;
    const double m = static_cast<double>(mantissa);
    value = exponent < 0 ? m / PowersOf10[-exponent] : m * PowersOf10[exponent];
    if (negative) value = -value;
    return true;
}

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
    double value = 0.0;
    if (fastDecimal(first, last, value)) return value;
    // Anything unusual (many digits, a large exponent, a bad or infinite
    // value) goes through the checked conversion, which also gives the
    // message.
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

void ThrowTooLargeSample(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    throw ConversionError(std::string("'") + text + "' is too large for a stored sample");
}

MappedText::MappedText(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw IoError(path, std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno;
        ::close(fd);
        throw IoError(path, err != 0 ? std::strerror(err) : "not a file");
    }
    size_ = static_cast<size_t>(st.st_size);
    if (size_ > 0) {
        void* p = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p == MAP_FAILED) {
            const int err = errno;
            ::close(fd);
            throw IoError(path, std::strerror(err));
        }
        ::madvise(p, size_, MADV_SEQUENTIAL);
        data_ = static_cast<const char*>(p);
    }
    ::close(fd);
}

MappedText::~MappedText() {
    if (data_) ::munmap(const_cast<char*>(data_), size_);
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
