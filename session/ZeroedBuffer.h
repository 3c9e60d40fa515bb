// A buffer of fixed capacity that starts as zeros and costs nothing where it
// is never written: the system hands out large zeroed blocks page by page on
// first touch (calloc of a large block maps fresh pages instead of writing
// zeros). So the session keeps its buffers at full capacity while a program
// that opens a small recording, or none, pays only for what it uses.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

namespace vk {

template <typename T>
class ZeroedBuffer {
    static_assert(std::is_trivially_copyable_v<T>, "a zero-filled block must be a valid array of T");

public:
    explicit ZeroedBuffer(size_t size) : data_(static_cast<T*>(std::calloc(size, sizeof(T)))), size_(size) {
        if (!data_) throw std::bad_alloc();
    }

    T* data() { return data_.get(); }
    const T* data() const { return data_.get(); }
    size_t size() const { return size_; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }

private:
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    std::unique_ptr<T[], Free> data_;
    size_t size_;
};

}  // namespace vk
