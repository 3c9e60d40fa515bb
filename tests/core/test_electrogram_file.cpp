// The electrogram reader on small hand-made files: header fields, the
// skipped first record, the copy into Signals and the refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "input/ElgFile.h"
#include "session/Errors.h"

namespace vk {
namespace {

// A file in the reader's own terms: header bytes as given, then records.
std::string fileWith(int16_t headerLength, int16_t channels, int16_t bytesPerSample, size_t totalBytes) {
    std::string b(totalBytes, '\0');
    auto put = [&](size_t at, int16_t v) {
        b[at] = static_cast<char>(v & 0xFF);
        b[at + 1] = static_cast<char>((static_cast<uint16_t>(v) >> 8) & 0xFF);
    };
    put(2, headerLength);
    put(86, channels);
    put(88, bytesPerSample);
    put(90, 1234);
    put(104, -7);
    return b;
}

struct Loaded {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    ElgLayout layout;
};

Loaded load(const std::string& bytes, bool smooth) {
    Loaded l;
    MemorySource src(bytes, "test.E01");
    l.layout = ExamineElgFile(src, "test.E01");
    ReadElgFrames(src, l.layout, l.s->RawFrames.data(), l.s->RawFrames.size());
    CopyFramesToSignals(l.s->RawFrames.data(), l.s->RawFrames.size(), l.layout.NrChannelsInFile,
                        l.layout.NrOfFrames, smooth, l.s->Signals);
    return l;
}

TEST(ElectrogramFile, HeaderFieldsAndTheSkippedFirstRecord) {
    // 64 channels of 2 bytes: 128-byte records, a 4096-byte header is 32 of them.
    const int frames = 100;  // records after the header
    std::string bytes = fileWith(4096, 64, 2, 4096 + frames * 128);
    // Sample c of record r (counted from the file start) holds r * 100 + c.
    for (int r = 32; r < 32 + frames; ++r)
        for (int c = 1; c <= 64; ++c) {
            const int16_t v = static_cast<int16_t>(r * 100 + c);
            std::memcpy(&bytes[static_cast<size_t>(r) * 128 + static_cast<size_t>(c - 1) * 2], &v, 2);
        }
    Loaded l = load(bytes, false);
    EXPECT_EQ(l.layout.HeaderFrames, 32);
    EXPECT_EQ(l.layout.FrameSize, 128);
    EXPECT_EQ(l.layout.NrOfFrames, frames);
    EXPECT_EQ(l.layout.HeaderWordA, 1234);
    EXPECT_EQ(l.layout.HeaderWordB, -7);
    // Row s is record HeaderFrames + s: the first record after the header
    // (record 32, byte 4096) is never read; the first read is record 33.
    EXPECT_EQ(l.s->Signals.at(1, 1), 33 * 100 + 1);
    EXPECT_EQ(l.s->Signals.at(5, 64), 37 * 100 + 64);
    // NrOfFrames - 21 rows are read from the file; the rest up to
    // NrOfFrames repeats the last of them.
    EXPECT_EQ(l.s->Signals.at(frames - 21, 2), (32 + frames - 21) * 100 + 2);
    EXPECT_EQ(l.s->Signals.at(frames - 20, 2), (32 + frames - 21) * 100 + 2);
    EXPECT_EQ(l.s->Signals.at(frames, 2), (32 + frames - 21) * 100 + 2);
    // A channel above the file's channel count reads on into the next frame.
    EXPECT_EQ(l.s->Signals.at(1, 65), 34 * 100 + 1);
}

TEST(ElectrogramFile, SmoothingOnLoadAveragesTheTwentyFollowingFrames) {
    // Three channels and odd values, so block edges and rounding both show.
    const int channels = 3, frames = 80;
    const size_t rec = channels * 2;
    const size_t start = (4096 / rec + 1) * rec;  // first record read
    std::string bytes = fileWith(4096, channels, 2, start + static_cast<size_t>(frames - 1) * rec);
    // Small values (many exact ties) on channel 1, the whole 16-bit range on the others.
    auto raw = [](int f, int c) {
        if (c == 1) return static_cast<int16_t>((f * 37) % 101 - 50);
        if (f % 7 == 3) return static_cast<int16_t>(c == 2 ? -32768 : 32767);
        return static_cast<int16_t>((f * 7919 + c * 104729) % 65536 - 32768);
    };
    for (int f = 0; f < frames - 1; ++f)
        for (int c = 1; c <= channels; ++c) {
            const int16_t v = raw(f, c);
            std::memcpy(&bytes[start + static_cast<size_t>(f) * rec + static_cast<size_t>(c - 1) * 2], &v, 2);
        }
    Loaded l = load(bytes, true);
    ASSERT_EQ(l.layout.NrOfFrames, frames);
    for (int s = 1; s <= frames - 21; ++s)
        for (int c = 1; c <= channels; ++c) {
            int sum = 0;
            for (int f = s; f < s + 20; ++f) sum += raw(f, c);
            EXPECT_EQ(l.s->Signals.at(s, c), roundHalfEven(sum / 20.0)) << s << " " << c;
        }
}

TEST(ElectrogramFile, NothingOfAnEarlierRecordingShows) {
    Loaded l;
    // A long recording of constant 7, then a short one of constant 3.
    auto constant = [](int frames, int16_t v) {
        std::string b = fileWith(4096, 2, 2, 4096 + 4 + static_cast<size_t>(frames) * 4);
        for (size_t i = 4096 + 4; i + 1 < b.size(); i += 2) std::memcpy(&b[i], &v, 2);
        return b;
    };
    for (auto [frames, value] : {std::pair{500, int16_t{7}}, std::pair{60, int16_t{3}}}) {
        const std::string bytes = constant(frames, value);
        MemorySource src(bytes, "x.E00");
        l.layout = ExamineElgFile(src, "x.E00");
        ReadElgFrames(src, l.layout, l.s->RawFrames.data(), l.s->RawFrames.size());
        CopyFramesToSignals(l.s->RawFrames.data(), l.s->RawFrames.size(), 2, l.layout.NrOfFrames, true,
                            l.s->Signals);
    }
    const int length = l.layout.NrOfFrames;
    for (int s = 1; s <= length; ++s) {
        const int32_t v = l.s->Signals.at(s, 1);
        EXPECT_TRUE(v == 3 || v == 0) << "row " << s << " holds " << v;
        // Channel 3 (beyond the file's two) may only hold this recording's values.
        const int32_t w = l.s->Signals.at(s, 3);
        EXPECT_TRUE(w == 3 || w == 0) << "row " << s << " channel 3 holds " << w;
    }
}

TEST(ElectrogramFile, RefusesWhatTheBuffersCannotHold) {
    auto refused = [](const std::string& bytes, const char* why) {
        MemorySource src(bytes, "bad.E01");
        try {
            ExamineElgFile(src, "bad.E01");
            ADD_FAILURE() << "accepted: " << why;
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    };
    refused(std::string(100, '\0'), "shorter than an electrogram file header");
    refused(fileWith(4096, 0, 2, 8192), "0 channels");
    refused(fileWith(4096, 257, 2, 8192), "257 channels");
    const std::string wide = fileWith(4096, 256, 2, 4096 + 3 * 512);
    MemorySource widest(wide, "wide.E01");
    EXPECT_EQ(ExamineElgFile(widest, "wide.E01").NrOfFrames, 3);
    refused(fileWith(4096, 4, 0, 8192), "0 bytes per sample");
    refused(fileWith(4096, 4, 4, 8192), "4 bytes per sample");
    refused(fileWith(-4, 4, 2, 8192), "negative header length");
    // Header plus one frame (8 bytes each): too short.
    refused(fileWith(4096, 4, 2, 4096 + 8), "shorter than its header plus two frames");
    // A header length that points past the end of the file.
    refused(fileWith(30000, 4, 2, 8192), "shorter than its header plus two frames");
}

TEST(ElectrogramFile, AnOverlongRecordingLoadsWhatTheBuffersHold) {
    // One channel: record r (counted from the file start, 2048 header
    // records) holds r mod 1000.
    std::string bytes = fileWith(4096, 1, 2, 4096 + 2 * 70000);
    auto value = [](int64_t record) { return static_cast<int16_t>(record % 1000); };
    for (int64_t r = 2048; r < 2048 + 70000; ++r) {
        const int16_t v = value(r);
        std::memcpy(&bytes[static_cast<size_t>(r) * 2], &v, 2);
    }
    MemorySource src(bytes, "long.E01");
    const ElgLayout l = ExamineElgFile(src, "long.E01");
    EXPECT_TRUE(l.truncated);
    EXPECT_EQ(l.framesInFile, 70000);
    EXPECT_EQ(l.NrOfFrames, MaxSamples);
    auto s = std::make_unique<SessionState>();
    ReadElgFrames(src, l, s->RawFrames.data(), s->RawFrames.size());
    const int lastRead = MaxSamples - 21;
    for (const bool smooth : {false, true}) {
        CopyFramesToSignals(s->RawFrames.data(), s->RawFrames.size(), 1, l.NrOfFrames, smooth, s->Signals);
        // Row k as the reader defines it: record 2048 + k, or the mean of
        // records 2049 + k .. 2068 + k.
        auto row = [&](int k) -> int32_t {
            if (!smooth) return value(2048 + k);
            int sum = 0;
            for (int r = 2049 + k; r <= 2068 + k; ++r) sum += value(r);
            return static_cast<int32_t>(roundHalfEven(sum / 20.0));
        };
        for (const int k : {1, 2, 951, 952, 33000, lastRead - 1, lastRead})
            EXPECT_EQ(s->Signals.at(k, 1), row(k)) << k << (smooth ? " smoothed" : "");
        for (const int k : {lastRead + 1, MaxSamples})
            EXPECT_EQ(s->Signals.at(k, 1), row(lastRead)) << k << (smooth ? " smoothed" : "");
    }
}

TEST(ElectrogramFile, AFileThatEndsWhileReadingIsAnError) {
    // The source claims more bytes than it can deliver.
    class Lying : public ByteSource {
    public:
        uint64_t size() const override { return 4096 + 40; }
        void read(uint64_t offset, void* dst, size_t n) override {
            if (offset + n > 4096) throw IoError("lying.E01", "read error: Input/output error");
            std::memset(dst, 0, n);
            static_cast<uint8_t*>(dst)[2] = 0x00;
            static_cast<uint8_t*>(dst)[3] = 0x10;  // header length 4096
            static_cast<uint8_t*>(dst)[86] = 4;
            static_cast<uint8_t*>(dst)[88] = 2;
        }
    } src;
    const ElgLayout l = ExamineElgFile(src, "lying.E01");
    auto s = std::make_unique<SessionState>();
    EXPECT_THROW(ReadElgFrames(src, l, s->RawFrames.data(), s->RawFrames.size()), IoError);
}

TEST(ElectrogramFile, MarkFileNameRule) {
    // The recording's own name, used whole: its first ".E" (else ".e")
    // becomes ".M" (".m"); folders never take part.
    const std::pair<const char*, const char*> names[] = {
        {"/data/REC.E07", "/data/REC.M07"},
        {"REC.E07", "REC.M07"},
        {"/data/a1.E1", "/data/a1.M1"},
        {"/data/a2.E1", "/data/a2.M1"},
        {"/data/rec.E", "/data/rec.M"},
        {"/data/sess.E05/rec.E07", "/data/sess.E05/rec.M07"},
        {"/data/sess.E05/rec.dat", "/data/sess.E05/rec.dat.M"},
        {"/data/x.Eabc.E01", "/data/x.Mabc.E01"},
        {"/data/rec.e07", "/data/rec.m07"},
        {"/data/my.exp.E07", "/data/my.exp.M07"},  // ".E" comes before ".e"
        {"/data/sess.e05/rec.e07", "/data/sess.e05/rec.m07"},
        {"/data/rec.dat", "/data/rec.dat.M"},
        {"/data/RECE07", "/data/RECE07.M"},
        {"/data/.E07", "/data/.M07"},
    };
    for (const auto& [recording, marks] : names) EXPECT_EQ(MarkFileNameFor(recording), marks) << recording;
    EXPECT_EQ(FileExtOf("/a.b/name"), "");
    EXPECT_EQ(FileExtOf("/a/name.E01"), ".E01");
}

TEST(ElectrogramFile, WrittenFilesReadBackExactly) {
    ElgWriteFormat format;
    format.channels = 5;
    format.matrixName = "a-very-long-matrix-name.txt";
    std::vector<int16_t> frames;
    for (int i = 0; i < 5 * 40; ++i) frames.push_back(static_cast<int16_t>(i * 97 - 3000));
    const std::string bytes = ElgFileBytes(format, frames);
    EXPECT_EQ(bytes[106], 16);  // the name is cut to 16 characters
    Loaded l = load(bytes, false);
    EXPECT_EQ(l.layout.NrOfFrames, 41);
    for (int s = 1; s <= 41 - 21; ++s)
        for (int c = 1; c <= 5; ++c)
            EXPECT_EQ(l.s->Signals.at(s, c), frames[static_cast<size_t>(s - 1) * 5 + static_cast<size_t>(c - 1)]);
}

}  // namespace
}  // namespace vk
