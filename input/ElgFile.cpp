#include "input/ElgFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "session/Errors.h"

namespace vk {

namespace {

int16_t int16At(const std::array<uint8_t, ElgHeaderSize>& h, size_t offset) {
    return static_cast<int16_t>(static_cast<uint16_t>(h[offset] | (h[offset + 1] << 8)));
}

void putInt16(std::string& bytes, size_t offset, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    bytes[offset] = static_cast<char>(u & 0xFF);
    bytes[offset + 1] = static_cast<char>(u >> 8);
}

// Loading reports its progress in steps of this many channels.
constexpr int ChannelBlock = 16;
constexpr int SmoothLength = 20;

}  // namespace

FileSource::FileSource(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw IoError(path, std::strerror(errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno;
        ::close(fd_);
        fd_ = -1;
        throw IoError(path, err != 0 ? std::strerror(err) : "not a regular file");
    }
    size_ = static_cast<uint64_t>(st.st_size);
}

FileSource::~FileSource() {
    if (fd_ >= 0) ::close(fd_);
}

void FileSource::read(uint64_t offset, void* dst, size_t n) {
    auto* out = static_cast<char*>(dst);
    size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw IoError(path_, std::string("read error: ") + std::strerror(errno));
        }
        if (got == 0) throw IoError(path_, "the file ended while it was being read");
        done += static_cast<size_t>(got);
    }
}

void MemorySource::read(uint64_t offset, void* dst, size_t n) {
    if (offset > bytes_.size() || n > bytes_.size() - offset)
        throw IoError(path_, "the file ended while it was being read");
    std::memcpy(dst, bytes_.data() + offset, n);
}

ElgLayout ExamineElgFile(ByteSource& src, const std::string& path) {
    ElgLayout l;
    const uint64_t size = src.size();
    if (size < ElgHeaderSize)
        throw IoError(path, "the file is shorter than an electrogram file header (" + std::to_string(size) +
                                " of 4096 bytes)");
    src.read(0, l.header.data(), ElgHeaderSize);
    l.headerLength = int16At(l.header, 2);
    l.NrChannelsInFile = int16At(l.header, 86);
    l.BytesPerSample = int16At(l.header, 88);
    l.HeaderWordA = int16At(l.header, 90);
    l.HeaderWordB = int16At(l.header, 104);
    if (l.NrChannelsInFile < 1 || l.NrChannelsInFile > MaxChannels)
        throw IoError(path, "the header gives " + std::to_string(l.NrChannelsInFile) +
                                " channels per frame; an electrogram file has 1 to 256");
    if (l.BytesPerSample != 2)
        throw IoError(path, "the header gives " + std::to_string(l.BytesPerSample) +
                                " bytes per sample; electrogram files have 2");
    if (l.headerLength < 0)
        throw IoError(path, "the header gives a negative header length (" + std::to_string(l.headerLength) + ")");
    l.FrameSize = l.NrChannelsInFile * l.BytesPerSample;
    l.HeaderFrames = l.headerLength / l.FrameSize;
    l.framesInFile = static_cast<int64_t>(size / static_cast<uint64_t>(l.FrameSize)) - l.HeaderFrames;
    if (l.framesInFile < 2)
        throw IoError(path, "the file is shorter than its header plus two frames");
    if (l.framesInFile > MaxSamples) {
        l.truncated = true;
        l.NrOfFrames = MaxSamples;
    } else {
        l.NrOfFrames = static_cast<int32_t>(l.framesInFile);
    }
    return l;
}

void ReadElgFrames(ByteSource& src, const ElgLayout& l, int16_t* raw, size_t rawCapacity) {
    const size_t framesToRead = static_cast<size_t>(l.NrOfFrames - 1);
    const size_t values = framesToRead * static_cast<size_t>(l.NrChannelsInFile);
    if (values > rawCapacity) throw IoError("", "internal: frame buffer too small");
    const uint64_t first = static_cast<uint64_t>(l.HeaderFrames + 1) * static_cast<uint64_t>(l.FrameSize);
    // One large read straight into the frame buffer; the samples are stored
    // little-endian, as the buffer holds them on this machine.
    src.read(first, raw, values * sizeof(int16_t));
    if constexpr (std::endian::native == std::endian::big) {
        for (size_t i = 0; i < values; ++i)
            raw[i] = static_cast<int16_t>(__builtin_bswap16(static_cast<uint16_t>(raw[i])));
    }
    // The copy step reads up to sample 256 of the frame after the last one it
    // writes from; zero that tail so it never holds an earlier recording.
    const size_t tailEnd = std::min(rawCapacity, values + static_cast<size_t>(MaxChannels));
    std::fill(raw + values, raw + tailEnd, int16_t{0});
}

namespace {

// round-half-even(sum / 20) for a sum of twenty 16-bit samples, without a
// branch so that the compiler can do a whole row at once. The offset makes
// the sum non-negative; it is an even multiple of 20, so the parity of the
// quotient (which decides ties) is unchanged.
inline int32_t mean20(int32_t sum) {
    constexpr int32_t Offset = 20 * 32768;
    const auto u = static_cast<uint32_t>(sum + Offset);
    const uint32_t q = u / 20u;
    const uint32_t r = u - 20u * q;
    const uint32_t up = static_cast<uint32_t>(r > 10u) | (static_cast<uint32_t>(r == 10u) & q);
    return static_cast<int32_t>(q + up) - 32768;
}

}  // namespace

void CopyFramesToSignals(const int16_t* raw, size_t rawCapacity, int32_t nch, int32_t nrOfFrames, bool smooth,
                         SignalBuffer& buffer, const ChannelProgress& progress) {
    int rows = std::clamp(nrOfFrames - 21, 0, MaxSamples);
    const auto stride = static_cast<size_t>(nch);
    // The copy reads frames up to rows + 20 and 256 samples from each frame
    // start; the file checks keep that inside the buffer, and this keeps it
    // there whatever the caller passes.
    if (rawCapacity < MaxChannels) return;
    const auto fitting = static_cast<int64_t>((rawCapacity - MaxChannels) / stride) - SmoothLength;
    rows = static_cast<int>(std::clamp<int64_t>(fitting, 0, rows));
    // The work goes row by row over all 256 channels at once (both buffers
    // are frame-major); progress is reported as if channel by channel, in
    // sixteen equal steps.
    constexpr int Steps = MaxChannels / ChannelBlock;
    int reported = 0;
    auto report = [&](int s) {
        while (progress && reported < Steps && (rows == 0 || static_cast<int64_t>(s) * Steps >= static_cast<int64_t>(reported + 1) * rows)) {
            progress(reported * ChannelBlock + 1, ChannelBlock);
            ++reported;
        }
    };
    if (!smooth) {
        for (int s = 1; s <= rows; ++s) {
            int32_t* out = buffer.row(s);
            const int16_t* in = raw + static_cast<size_t>(s - 1) * stride;
            for (int c = 0; c < MaxChannels; ++c) out[c] = in[c];
            report(s);
        }
    } else if (rows > 0) {
        // Running sums of frames s .. s + 19 for every channel.
        int32_t sum[MaxChannels] = {};
        for (size_t k = 1; k <= SmoothLength; ++k) {
            const int16_t* in = raw + k * stride;
            for (int c = 0; c < MaxChannels; ++c) sum[c] += in[c];
        }
        for (int s = 1; s <= rows; ++s) {
            int32_t* out = buffer.row(s);
            for (int c = 0; c < MaxChannels; ++c) out[c] = mean20(sum[c]);
            if (s < rows) {
                const int16_t* entering = raw + static_cast<size_t>(s + SmoothLength) * stride;
                const int16_t* leaving = raw + static_cast<size_t>(s) * stride;
                for (int c = 0; c < MaxChannels; ++c) sum[c] += entering[c] - leaving[c];
            }
            report(s);
        }
    }
    report(rows);
    // The last rows of the recording have no 20 frames after them. They
    // repeat the last row written, so that nothing of an earlier recording
    // is ever shown and no step appears at the end for a marker to find.
    for (int s = rows + 1; s <= std::min(nrOfFrames, MaxSamples); ++s) {
        if (rows >= 1) {
            std::copy_n(buffer.row(rows), MaxChannels, buffer.row(s));
        } else {
            std::fill_n(buffer.row(s), MaxChannels, 0);
        }
    }
}

std::string FileExtOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

std::string MarkFileNameFor(const std::string& fileName) {
    // Only the recording's own name takes part: a folder named like a
    // recording ("sess.E05/") must not send the marks to another folder, and
    // the name is used whole so that "a1.E1" and "a2.E1" keep apart.
    const auto slash = fileName.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string markName = fileName;
    auto pos = fileName.find(".E", nameStart);
    if (pos != std::string::npos) {
        markName[pos + 1] = 'M';
        return markName;
    }
    // A lower-case extension (".e01", common on this platform) gets ".m":
    // without it the mark file would be the recording itself.
    pos = fileName.find(".e", nameStart);
    if (pos != std::string::npos) {
        markName[pos + 1] = 'm';
        return markName;
    }
    return fileName + ".M";
}

std::string ElgFileBytes(const ElgWriteFormat& format, const std::vector<int16_t>& frames) {
    const int32_t frameSize = format.channels * 2;
    const int32_t headerFrames = ElgHeaderSize / frameSize;
    const size_t dataStart = static_cast<size_t>(headerFrames + 1) * static_cast<size_t>(frameSize);
    std::string bytes(dataStart + frames.size() * 2, '\0');
    putInt16(bytes, 2, static_cast<int16_t>(ElgHeaderSize));
    putInt16(bytes, 86, static_cast<int16_t>(format.channels));
    putInt16(bytes, 88, 2);
    putInt16(bytes, 90, format.headerWordA);
    putInt16(bytes, 104, format.headerWordB);
    const std::string name = format.matrixName.substr(0, 16);
    bytes[106] = static_cast<char>(name.size());
    std::memcpy(bytes.data() + 107, name.data(), name.size());
    for (size_t i = 0; i < frames.size(); ++i) putInt16(bytes, dataStart + 2 * i, frames[i]);
    return bytes;
}

bool LooksLikeElectrogramFile(ByteSource& src) {
    if (src.size() < ElgHeaderSize) return false;
    std::array<uint8_t, ElgHeaderSize> h{};
    src.read(0, h.data(), ElgHeaderSize);
    const int32_t channels = int16At(h, 86), bytes = int16At(h, 88), headerLength = int16At(h, 2);
    if (channels < 1 || channels > MaxChannels || bytes == 0) return false;
    const int64_t frameSize = static_cast<int64_t>(channels) * bytes;
    if (frameSize < 0 || headerLength < 0) return true;  // the reader's own messages say what is wrong
    return static_cast<int64_t>(src.size()) / frameSize - headerLength / frameSize >= 2;
}

int32_t RecordingChannels(const SessionState& s) { return s.ImportedFile ? s.ImportedChannels : s.NrChannelsInFile; }

int32_t RecordingFrames(const SessionState& s) {
    return std::clamp(s.ImportedFile ? s.NrOfFrames : s.NrOfFrames - 1, 0, MaxSamples);
}

std::string RecordingElgBytes(const SessionState& s, int32_t scale) {
    const int32_t channels = RecordingChannels(s);
    const int32_t rows = RecordingFrames(s);
    if (channels < 1 || channels > MaxChannels || rows < 1) throw ConversionError("the recording holds no samples");
    const int64_t k = std::max(1, scale);
    std::vector<int16_t> frames(static_cast<size_t>(rows) * static_cast<size_t>(channels));
    size_t i = 0;
    for (int32_t n = 1; n <= rows; ++n) {
        const int32_t* row = s.Signals.row(n);
        for (int32_t c = 0; c < channels; ++c) {
            const int64_t v = row[c];
            int64_t q = v / k;
            const int64_t twice = 2 * (v % k < 0 ? -(v % k) : v % k);
            if (twice > k || (twice == k && q % 2 != 0)) q += v < 0 ? -1 : 1;
            if (q < INT16_MIN || q > INT16_MAX)
                throw ConversionError("channel " + std::to_string(c + 1) + " sample " + std::to_string(n) + " holds " +
                                      std::to_string(v) + (k > 1 ? " (" + std::to_string(q) + " scaled)" : "") +
                                      ", outside -32768..32767");
            frames[i++] = static_cast<int16_t>(q);
        }
    }
    ElgWriteFormat format;
    format.channels = channels;
    return ElgFileBytes(format, frames);
}

}  // namespace vk
