#include "exchange/GifWriter.h"

#include <gif_lib.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <cstring>
#include <memory>

#include "session/Errors.h"
#include "session/Numbers.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

uint32_t rgbOf(Colour c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// The file is built in memory and written whole at the end.
int appendBytes(GifFileType* gif, const GifByteType* bytes, int count) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
    return count;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct MapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// One frame's rectangle as palette indices, row after row.
struct EncodedFrame {
    GifRect box;
    std::vector<GifPixelType> indices;
};

// The frames between the thread that makes them and the one that encodes
// them; a few at most wait.
class FrameQueue {
public:
    // False when the encoder gave up: no more frames are wanted.
    bool push(EncodedFrame f) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return frames_.size() < 4 || closed_; });
        if (closed_) return false;
        frames_.push_back(std::move(f));
        changed_.notify_all();
        return true;
    }
    // False once the queue is closed and empty.
    bool pop(EncodedFrame& f) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !frames_.empty() || closed_; });
        if (frames_.empty()) return false;
        f = std::move(frames_.front());
        frames_.pop_front();
        changed_.notify_all();
        return true;
    }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }
    void abandon() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        frames_.clear();
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<EncodedFrame> frames_;
    bool closed_ = false;
};

}  // namespace

GifPalette::GifPalette(std::vector<Colour> c) : colours(std::move(c)) {
    if (colours.empty() || colours.size() > 256) throw std::invalid_argument("a GIF palette holds 1..256 colours");
    for (const Colour colour : colours) rgb_.push_back(rgbOf(colour));
}

uint8_t GifPalette::indexOf(uint32_t pixel) const {
    pixel &= 0xFFFFFF;
    // Pictures come in long runs of one colour.
    if (pixel == lastPixel_) return lastIndex_;
    const auto found = std::find(rgb_.begin(), rgb_.end(), pixel);
    uint8_t index = 0;
    if (found != rgb_.end()) {
        index = static_cast<uint8_t>(found - rgb_.begin());
    } else {
        // Not a colour of the picture: black or white by its brightness.
        const uint32_t r = pixel >> 16, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
        const uint32_t shade = (r * 299 + g * 587 + b * 114) < 128 * 1000 ? 0x000000 : 0xFFFFFF;
        const auto near = std::find(rgb_.begin(), rgb_.end(), shade);
        index = static_cast<uint8_t>(near != rgb_.end() ? near - rgb_.begin() : 0);
    }
    lastPixel_ = pixel;
    lastIndex_ = index;
    return index;
}

GifRect ChangedRect(const uint32_t* before, const uint32_t* now, int width, int height) {
    const auto w = static_cast<size_t>(width);
    int top = -1, bottom = -1, left = width, right = -1;
    for (int y = 0; y < height; ++y) {
        const uint32_t* a = before + static_cast<size_t>(y) * w;
        const uint32_t* b = now + static_cast<size_t>(y) * w;
        if (std::memcmp(a, b, w * sizeof(uint32_t)) == 0) continue;
        if (top < 0) top = y;
        bottom = y;
        int x = 0;
        while (x < left && a[x] == b[x]) ++x;
        left = std::min(left, x);
        x = width - 1;
        while (x > right && a[x] == b[x]) --x;
        right = std::max(right, x);
    }
    if (top < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

int GifDelayFor(int fps) { return static_cast<int>(std::max<int64_t>(1, roundHalfEvenDiv(100, std::max(1, fps)))); }

void WriteAnimatedGif(const std::string& path, int width, int height, const GifPalette& palette, int frames,
                      int delayCentiseconds, const std::function<const uint32_t*(int)>& frame) {
    std::string bytes;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, appendBytes, &error));
    auto check = [&](int result) {
        if (result != GIF_OK) throw IoError(path, std::string("cannot encode the GIF: ") + GifErrorString(gif->Error));
    };
    if (!gif) throw IoError(path, std::string("cannot encode the GIF: ") + GifErrorString(error));

    int size = 2;
    while (size < static_cast<int>(palette.colours.size())) size *= 2;
    std::vector<GifColorType> colours(static_cast<size_t>(size), GifColorType{0, 0, 0});
    for (size_t i = 0; i < palette.colours.size(); ++i) {
        const Colour c = palette.colours[i];
        colours[i] = GifColorType{static_cast<GifByteType>(c & 0xFF), static_cast<GifByteType>((c >> 8) & 0xFF),
                                  static_cast<GifByteType>((c >> 16) & 0xFF)};
    }
    std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(size, colours.data()));
    if (!map) throw IoError(path, "cannot encode the GIF: out of memory");
    EGifSetGifVersion(gif.get(), true);
    check(EGifPutScreenDesc(gif.get(), width, height, GifBitSize(size), 0, map.get()));
    // Loop for ever.
    check(EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE));
    check(EGifPutExtensionBlock(gif.get(), 11, "NETSCAPE2.0"));
    const GifByteType loop[3] = {1, 0, 0};
    check(EGifPutExtensionBlock(gif.get(), 3, loop));
    check(EGifPutExtensionTrailer(gif.get()));

    // Frames are encoded on a second thread while the next ones are drawn,
    // compared and turned into palette indices: the two halves take about
    // as long as each other.
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delayCentiseconds, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    const size_t extensionLength = EGifGCBToExtension(&control, extension);
    FrameQueue queue;
    std::string failure;
    std::thread encoder([&] {
        try {
            EncodedFrame f;
            while (queue.pop(f)) {
                check(EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extensionLength), extension));
                check(EGifPutImageDesc(gif.get(), f.box.left, f.box.top, f.box.width, f.box.height, false, nullptr));
                for (int y = 0; y < f.box.height; ++y)
                    check(EGifPutLine(gif.get(), f.indices.data() + static_cast<size_t>(y) * static_cast<size_t>(f.box.width),
                                      f.box.width));
            }
        } catch (const IoError& e) {
            failure = e.reason();
            queue.abandon();
        }
    });
    struct Joined {
        FrameQueue& queue;
        std::thread& thread;
        ~Joined() {
            queue.close();
            if (thread.joinable()) thread.join();
        }
    } joined{queue, encoder};

    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint32_t> previous(pixels);
    for (int k = 0; k < frames; ++k) {
        const uint32_t* now = frame(k);
        EncodedFrame f{{0, 0, width, height}, {}};
        if (k > 0) {
            f.box = ChangedRect(previous.data(), now, width, height);
            // A frame equal to the one before still takes its time on screen.
            if (f.box.width == 0) f.box = {0, 0, 1, 1};
        }
        f.indices.resize(static_cast<size_t>(f.box.width) * static_cast<size_t>(f.box.height));
        GifPixelType* out = f.indices.data();
        for (int y = f.box.top; y < f.box.top + f.box.height; ++y) {
            const uint32_t* row = now + static_cast<size_t>(y) * static_cast<size_t>(width) + f.box.left;
            // Runs of one colour are looked up once.
            uint32_t runPixel = row[0];
            GifPixelType runIndex = palette.indexOf(runPixel);
            for (int x = 0; x < f.box.width; ++x) {
                if (row[x] != runPixel) {
                    runPixel = row[x];
                    runIndex = palette.indexOf(runPixel);
                }
                *out++ = runIndex;
            }
            std::memcpy(previous.data() + static_cast<size_t>(y) * static_cast<size_t>(width) + f.box.left, row,
                        static_cast<size_t>(f.box.width) * sizeof(uint32_t));
        }
        if (!queue.push(std::move(f))) break;
    }
    queue.close();
    encoder.join();
    encoder = std::thread();
    if (!failure.empty()) throw IoError(path, failure);
    error = 0;
    const int closed = EGifCloseFile(gif.release(), &error);
    if (closed != GIF_OK) throw IoError(path, std::string("cannot encode the GIF: ") + GifErrorString(error));
    writeBytesAtomic(path, bytes);
}

}  // namespace vk
