#include "session/TextFiles.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "session/Errors.h"

namespace vk {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
}  // namespace

int32_t parseInt(std::string_view token) {
    std::string_view digits = token;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    int32_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
        throw ConversionError("'" + std::string(token) + "' is not a valid integer value");
    return value;
}

double parseReal(std::string_view token) {
    std::string_view digits = token;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
        throw ConversionError("'" + std::string(token) + "' is not a valid floating point value");
    return value;
}

std::string_view TextScanner::nextToken() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) throw IoError(path_, "unexpected end of file");
    const size_t start = pos_;
    while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
}

bool TextScanner::noTokensLeft() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    return pos_ >= text_.size();
}

int32_t TextScanner::readInt() { return parseInt(nextToken()); }
double TextScanner::readReal() { return parseReal(nextToken()); }

void TextScanner::skipLine() {
    while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
}

std::string TextScanner::readLine() {
    const size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    std::string line(text_.substr(start, pos_ - start));
    skipLine();
    return line;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string readWholeFile(const std::string& path, size_t maxBytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw IoError(path, std::strerror(errno));
    std::string data;
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (data.size() + n > maxBytes) {
            std::fclose(f);
            throw IoError(path, "the file is too large to be read (more than " + std::to_string(maxBytes) + " bytes)");
        }
        data.append(buffer, n);
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) throw IoError(path, std::strerror(err));
    return data;
}

void writeBytesAtomic(const std::string& path, std::string_view bytes) {
    const std::string folder = folderPart(path);
    std::string temp = (folder.empty() ? std::string(".") : folder) + "/." + namePart(path) + ".XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) throw IoError(path, std::string("cannot create a temporary file: ") + std::strerror(errno));
    auto fail = [&](const char* what) {
        const int err = errno;
        ::close(fd);
        ::unlink(name.data());
        throw IoError(path, std::string(what) + std::strerror(err));
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("cannot write: ");
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) fail("cannot write: ");
    // Keep the permissions a replaced file had; a new file gets the usual ones.
    struct stat st {};
    mode_t mode = 0644;
    if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
    ::fchmod(fd, mode);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(name.data());
        throw IoError(path, std::string("cannot write: ") + std::strerror(err));
    }
    if (std::rename(name.data(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(name.data());
        throw IoError(path, std::string("cannot replace the file: ") + std::strerror(err));
    }
}

void writeLinesAtomic(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    writeBytesAtomic(path, text);
}

void makeFolders(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) throw IoError(path, ec.message());
}

std::string namePart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderPart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace vk
