#include "session/Ask.h"

#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk {

bool runCommand(Ctx& ctx, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const IoError& e) {
        ctx.host.hideProgress();
        ctx.host.error(e.what());
    } catch (const ConversionError& e) {
        ctx.host.hideProgress();
        ctx.host.error(e.what());
    }
    return false;
}

int32_t ParseTypedInteger(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    return parseInt(first == std::string::npos ? std::string_view() : std::string_view(text).substr(first, last - first + 1));
}

int32_t GetNewInteger(Ctx& ctx, const std::string& caption, const std::string& prompt, int64_t min, int64_t max,
                      int32_t value, const std::string& refusal) {
    for (;;) {
        const auto answer = ctx.host.inputBox(caption, prompt, std::to_string(value));
        // Cancel keeps the current value as it is.
        if (!answer) return value;
        const int32_t v = ParseTypedInteger(*answer);
        if (v >= min && v <= max) return v;
        ctx.host.beep();
        if (!refusal.empty()) ctx.host.information(refusal);
    }
}

}  // namespace vk
