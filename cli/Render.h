// "vorelkant-cli render": panel A drawn into a PNG through the same drawing
// code and Qt canvas as the desktop program.
#pragma once

#include <QGuiApplication>

#include <string>

#include "session/Context.h"

namespace vk {

// The Qt application that drawing text needs, without a display: the
// offscreen platform unless the caller chose another. One per command.
class OffscreenQt {
public:
    OffscreenQt() : app_((setPlatform(), argc_), argv_) {}

private:
    static void setPlatform() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int argc_ = 1;
    char name_[14] = "vorelkant-cli";
    char* argv_[2] = {name_, nullptr};
    QGuiApplication app_;
};

// Draws panel A for a paint box of width x height pixels and saves it.
// Returns an error message, or "" on success.
std::string RenderPanelA(Ctx& ctx, int width, int height, const std::string& out);

}  // namespace vk
