#include "exchange/ExportFiles.h"

#include <charconv>
#include <cmath>

namespace vk {

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) return "0";
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "0";
    std::string text(buffer, end);
    // "-0.00" is zero to anyone reading the file.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::optional<std::string> AskExportPath(Ctx& ctx, const std::string& title, const std::string& proposed) {
    auto choice = ctx.host.saveFile(title, {{"Text files", "*.txt *.TXT"}, {"All files", "*"}}, proposed);
    if (!choice || choice->path.empty()) return std::nullopt;
    return choice->path;
}

std::string ExportNameOf(const std::string& fileName) {
    return fileName.substr(0, fileName.size() >= 4 ? fileName.size() - 4 : 0) + ".TXT";
}

}  // namespace vk
