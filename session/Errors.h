// The two kinds of failure that stop a running command.
//
// The core throws these; the command boundary (runCommand in session/Ask.h)
// catches them and shows their text through the Host. Anything that was done
// before the failure stays done, and nothing is ever swallowed silently.
#pragma once

#include <stdexcept>
#include <string>

namespace vk {

// A file could not be opened, read, written or had an unusable layout.
class IoError : public std::runtime_error {
public:
    IoError(std::string path, std::string reason)
        : std::runtime_error(path + ": " + reason), path_(std::move(path)), reason_(std::move(reason)) {}
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
};

// Text that should have been a number was not.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vk
