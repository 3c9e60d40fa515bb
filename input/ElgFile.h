// The binary electrogram file: a 4096-byte header followed by frames, one
// frame per sample instant holding a signed 16-bit sample of every channel.
//
// Opening a recording runs in three steps so that a file the program cannot
// hold is refused before anything in the session changes: ExamineElgFile
// reads and checks the header and size, ReadElgFrames reads the frames into
// RawFrames, and CopyFramesToSignals fills Signals (smoothing on the way
// when asked to).
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/SessionState.h"

namespace vk {

// Random access to the bytes of a file (or of memory, for tests and fuzzing).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t size() const = 0;
    // Reads exactly n bytes at offset; throws IoError otherwise.
    virtual void read(uint64_t offset, void* dst, size_t n) = 0;
};

class FileSource : public ByteSource {
public:
    explicit FileSource(const std::string& path);  // throws IoError
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    uint64_t size() const override { return size_; }
    void read(uint64_t offset, void* dst, size_t n) override;

private:
    std::string path_;
    int fd_ = -1;
    uint64_t size_ = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(std::string_view bytes, std::string path) : bytes_(bytes), path_(std::move(path)) {}
    uint64_t size() const override { return bytes_.size(); }
    void read(uint64_t offset, void* dst, size_t n) override;

private:
    std::string_view bytes_;
    std::string path_;
};

// What the header and the file size say about a recording.
struct ElgLayout {
    std::array<uint8_t, ElgHeaderSize> header{};
    int32_t headerLength = 0;
    int32_t NrChannelsInFile = 0;
    int32_t BytesPerSample = 0;
    int32_t FrameSize = 0;
    int32_t HeaderFrames = 0;
    int16_t HeaderWordA = 0;
    int16_t HeaderWordB = 0;
    int64_t framesInFile = 0;  // whole records after the header
    int32_t NrOfFrames = 0;    // what will be loaded (at most MaxSamples)
    bool truncated = false;    // the file holds more frames than the buffers
};

// Reads and checks the header; throws IoError with a clear reason for a file
// the program cannot hold (no channels, more than 256 channels, samples that
// are not 2 bytes, a header longer than the file, fewer than two frames).
ElgLayout ExamineElgFile(ByteSource& src, const std::string& path);

// Reads frames 1 .. NrOfFrames - 1 after the header (the first record after
// the header is never read) into raw, frame f at f * NrChannelsInFile, and
// zeroes the part of raw beyond them that the copy step looks at, so nothing
// of an earlier recording can leak into the new one.
void ReadElgFrames(ByteSource& src, const ElgLayout& layout, int16_t* raw, size_t rawCapacity);

// Called once per block of channels during the copy, with the first channel
// of the block and the number of channels in it.
using ChannelProgress = std::function<void(int firstChannel, int count)>;

// Fills Signals rows 1 .. NrOfFrames - 21 of all 256 channels from the raw
// frames: row s of channel c is sample c of frame s - 1, or, when smoothing,
// the mean of frames s .. s + 19 rounded half to even. Rows NrOfFrames - 20 ..
// NrOfFrames repeat the last row written (0 when none was). Channels above NrChannelsInFile read on into the
// following frame, as the file layout dictates.
void CopyFramesToSignals(const int16_t* raw, size_t rawCapacity, int32_t nrChannelsInFile, int32_t nrOfFrames,
                         bool smooth, SignalBuffer& buffer, const ChannelProgress& progress = {});

// The extension of a path including its dot (".E01"); "" when there is none.
std::string FileExtOf(const std::string& path);
// The mark file that belongs to a recording: the first ".E" of the file's
// own name becomes ".M" (REC.E07 -> REC.M07), else its first ".e" becomes
// ".m"; a name with neither gets ".M" appended. Folders never change.
std::string MarkFileNameFor(const std::string& fileName);

// Writes an electrogram file whose frames read back exactly as given
// (frames[f * channels + c - 1] = sample c of frame f as the reader counts
// them). Used by the demo recording, tests and benchmarks.
struct ElgWriteFormat {
    int32_t channels = 0;
    int16_t headerWordA = 0;
    int16_t headerWordB = 0;
    std::string matrixName;
};
std::string ElgFileBytes(const ElgWriteFormat& format, const std::vector<int16_t>& frames);

// False for a file whose header gives no frame size (no channels or no bytes
// per sample), more than 256 channels, or that is shorter than its header
// plus two frames: a file that is not an electrogram file at all (a text
// recording, say), rather than a damaged one. Throws IoError when it cannot
// be read.
bool LooksLikeElectrogramFile(ByteSource& src);

// The open recording as an electrogram file from which the reader loads,
// with smoothing off, the rows of Signals it holds now: `channels` per frame
// (the import's channel count, or the file's), one frame per sample (the
// reader skips the first record after the header, where the data starts),
// every value divided by `scale` and rounded half to even. Throws
// ConversionError naming the first value outside -32768..32767, sample by
// sample, channel 1 first ("channel 3 sample 17 holds 40000 ...").
// The channel count and the sample rows 1..RecordingFrames written (an
// electrogram file counts one record more than it loads).
int32_t RecordingChannels(const SessionState& s);
int32_t RecordingFrames(const SessionState& s);
std::string RecordingElgBytes(const SessionState& s, int32_t scale);

}  // namespace vk
