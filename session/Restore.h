// Puts values back as they were when it goes out of scope: for code that
// borrows parts of the session (the map buffer, the wave tables, a
// preference) for a computation of its own and must leave the session as
// the user had it, also when the computation throws.
#pragma once

#include <tuple>
#include <utility>

namespace vk {

template <class... T>
class Restore {
public:
    explicit Restore(T&... values) : places_(values...), saved_(values...) {}
    ~Restore() { places_ = std::move(saved_); }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    std::tuple<T&...> places_;
    std::tuple<T...> saved_;
};

template <class... T>
Restore(T&...) -> Restore<T...>;

}  // namespace vk
