#include "input/RecordingSettings.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "session/Errors.h"
#include "session/Numbers.h"
#include "session/SampleTime.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

// A settings file holds two short members; anything far larger is not one.
constexpr size_t MaxSettingsBytes = 1 << 20;

// Just enough JSON to read one object: its string and number members are
// read, everything else (arrays, nested objects, literals) is passed over
// whole so that a member added later does not make the file unreadable.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : t_(text) {}

    RecordingSettings object() {
        RecordingSettings r;
        bool haveRate = false;
        expect('{', "the file is not a JSON object");
        if (!take('}')) {
            do {
                const std::string key = string();
                expect(':', "a ':' is missing after \"" + key + "\"");
                if (key == "SamplingFrequency") {
                    const std::string n = number();
                    const bool whole = n.find_first_not_of("0123456789", n[0] == '-' ? 1 : 0) == std::string::npos;
                    if (!whole || n.size() > 7 || (r.rate = std::stoi(n)) < 1 || r.rate > MaxSettingsRate)
                        throw ConversionError("SamplingFrequency " + n + " is not a whole number of Hz in 1.." +
                                              std::to_string(MaxSettingsRate));
                    haveRate = true;
                } else if (key == "MatrixFile") {
                    if (peek() != '"') throw ConversionError("MatrixFile is not a text");
                    r.matrix = string();
                } else {
                    skipValue(0);
                }
            } while (take(','));
            expect('}', "a ',' or '}' is missing");
        }
        space();
        if (p_ != t_.size()) throw ConversionError("there is more after the object");
        if (!haveRate) throw ConversionError("it gives no SamplingFrequency");
        return r;
    }

private:
    void space() {
        while (p_ < t_.size() && (t_[p_] == ' ' || t_[p_] == '\t' || t_[p_] == '\n' || t_[p_] == '\r')) ++p_;
    }
    char peek() {
        space();
        return p_ < t_.size() ? t_[p_] : '\0';
    }
    bool take(char c) {
        if (peek() != c) return false;
        ++p_;
        return true;
    }
    void expect(char c, const std::string& why) {
        if (!take(c)) throw ConversionError(why);
    }
    static void putUtf8(std::string& out, uint32_t u) {
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else if (u < 0x10000) {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (u >> 18));
            out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    uint32_t hex4() {
        if (t_.size() - p_ < 4) throw ConversionError("a \\u escape is cut short");
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = t_[p_++];
            const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0) throw ConversionError("a \\u escape holds a non-hex digit");
            u = u * 16 + static_cast<uint32_t>(d);
        }
        return u;
    }
    std::string string() {
        expect('"', "a member name or text is not quoted");
        std::string out;
        for (;;) {
            if (p_ >= t_.size()) throw ConversionError("a text is not closed");
            const char c = t_[p_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) throw ConversionError("a text holds a control character");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (p_ >= t_.size()) throw ConversionError("a text is not closed");
            const char e = t_[p_++];
            switch (e) {
                case '"': case '\\': case '/': out += e; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    uint32_t u = hex4();
                    if (u >= 0xD800 && u < 0xDC00 && t_.substr(p_, 2) == "\\u") {
                        p_ += 2;
                        const uint32_t low = hex4();
                        if (low < 0xDC00 || low > 0xDFFF) throw ConversionError("a \\u escape pairs badly");
                        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                    }
                    putUtf8(out, u);
                    break;
                }
                default: throw ConversionError(std::string("a text holds the escape \\") + e);
            }
        }
    }
    std::string number() {
        space();
        const size_t start = p_;
        if (p_ < t_.size() && t_[p_] == '-') ++p_;
        const size_t digits = p_;
        while (p_ < t_.size() && ((t_[p_] >= '0' && t_[p_] <= '9') || t_[p_] == '.' || t_[p_] == 'e' ||
                                  t_[p_] == 'E' || t_[p_] == '+' || t_[p_] == '-'))
            ++p_;
        if (p_ == digits || t_[digits] < '0' || t_[digits] > '9') throw ConversionError("a value is not a number");
        return std::string(t_.substr(start, p_ - start));
    }
    void skipValue(int depth) {
        if (depth > 64) throw ConversionError("the values nest too deeply");
        const char c = peek();
        if (c == '"') {
            string();
        } else if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            ++p_;
            if (take(close)) return;
            do {
                if (c == '{') {
                    string();
                    expect(':', "a ':' is missing");
                }
                skipValue(depth + 1);
            } while (take(','));
            expect(close, std::string("a ',' or '") + close + "' is missing");
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            number();
        } else {
            for (std::string_view word : {"true", "false", "null"})
                if (t_.substr(p_, word.size()) == word) {
                    p_ += word.size();
                    return;
                }
            throw ConversionError("a value is not JSON");
        }
    }

    std::string_view t_;
    size_t p_ = 0;
};

// A text as a JSON string.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

RecordingSettings readSettingsFile(const std::string& path) {
    const std::string text = readWholeFile(path, MaxSettingsBytes);
    try {
        return ParseRecordingSettings(text);
    } catch (const ConversionError& e) {
        throw IoError(path, e.what());
    }
}

}  // namespace

std::string SettingsFileFor(const std::string& recording) { return recording + ".vk.json"; }

RecordingSettings ParseRecordingSettings(std::string_view text) { return JsonReader(text).object(); }

std::string RecordingSettingsText(const RecordingSettings& settings) {
    std::string text = "{\n  \"SamplingFrequency\": " + std::to_string(settings.rate);
    if (!settings.matrix.empty()) text += ",\n  \"MatrixFile\": " + quoted(settings.matrix);
    return text + "\n}\n";
}

std::string SettingsMatrixPath(const std::string& recording, const std::string& matrix) {
    const std::string folder = folderPart(recording);
    if (matrix.empty() || matrix[0] == '/' || folder.empty()) return matrix;
    return folder + "/" + matrix;
}

std::string MatrixForSettings(const std::string& recording, const std::string& matrix) {
    namespace fs = std::filesystem;
    if (matrix.empty() || matrix[0] == '/') return matrix;
    std::error_code ec;
    const fs::path file = fs::absolute(matrix, ec).lexically_normal();
    const fs::path folder = fs::absolute(fs::path(recording), ec).lexically_normal().parent_path();
    if (ec) return matrix;
    const fs::path relative = file.lexically_relative(folder);
    return relative.empty() ? file.string() : relative.string();
}

SettingsFound FindRecordingSettings(const std::string& recording, bool readMatrix) {
    SettingsFound f;
    const std::string path = SettingsFileFor(recording);
    if (!fileExists(path)) return f;
    f.path = path;
    RecordingSettings r;
    try {
        r = readSettingsFile(path);
    } catch (const IoError& e) {
        f.warning = std::string(e.what()) + "; it was not used";
        return f;
    }
    if (readMatrix && !r.matrix.empty()) {
        f.matrixPath = SettingsMatrixPath(recording, r.matrix);
        try {
            f.matrix = ParseNewMatrix(readWholeFile(f.matrixPath, MaxMatrixFileBytes), f.matrixPath);
        } catch (const std::exception& e) {
            // The rate still applies; the matrix in use stays.
            f.warning = path + ": its MatrixFile was not used: " + e.what();
        }
    }
    f.rate = r.rate;
    return f;
}

void ApplyRecordingSettings(Ctx& ctx, const SettingsFound& found) {
    SessionState& s = ctx.s;
    s.SettingsFileName = found.path;
    if (!found.warning.empty()) ctx.host.warning(found.warning);
    if (found.matrix) {
        s.MatrixFileName = found.matrixPath;
        ApplyMatrix(s, *found.matrix);
    }
    if (found.rate) SetRecordingRate(s, *found.rate);
}

void SetRecordingRate(SessionState& s, int32_t hz) {
    s.SamplingFrequency = std::max(1, hz);
    s.SignalLength = static_cast<int32_t>(roundHalfEven(static_cast<double>(s.NrOfFrames) / s.SamplingFrequency * 1000.0));
    s.HighRateMode = s.SamplingFrequency != 1000;
    s.WindowA = s.WindowAll = s.SignalLength;
}

RecordingSettings SettingsForChange(const std::string& recording) {
    const std::string path = SettingsFileFor(recording);
    if (!fileExists(path)) return {};
    try {
        return readSettingsFile(path);
    } catch (const IoError& e) {
        throw IoError(path, e.reason() + "; it is left as it is");
    }
}

void WriteRecordingSettings(const std::string& recording, const RecordingSettings& settings) {
    writeBytesAtomic(SettingsFileFor(recording), RecordingSettingsText(settings));
}

namespace {

void remember(Ctx& ctx, const std::optional<int32_t>& rate, const std::string* matrix) {
    SessionState& s = ctx.s;
    const std::string recording = RecordingPath(s);
    if (!s.FileLoaded || recording.empty()) return;
    const int32_t hz = rate ? *rate : s.SamplingFrequency;
    if (hz < 1 || hz > MaxSettingsRate) {
        ctx.host.warning("The settings of this recording were not written: a sampling frequency of " +
                         std::to_string(hz) + " Hz is outside 1.." + std::to_string(MaxSettingsRate));
        return;
    }
    try {
        RecordingSettings r = SettingsForChange(recording);
        r.rate = hz;
        if (matrix) r.matrix = *matrix;
        WriteRecordingSettings(recording, r);
        s.SettingsFileName = SettingsFileFor(recording);
    } catch (const IoError& e) {
        ctx.host.warning(std::string("The settings of this recording were not written: ") + e.what());
    }
}

}  // namespace

void RememberRecordingRate(Ctx& ctx, int32_t hz) { remember(ctx, hz, nullptr); }
void RememberRecordingMatrix(Ctx& ctx, const std::string& matrix) { remember(ctx, std::nullopt, &matrix); }

}  // namespace vk
