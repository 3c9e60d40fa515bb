// A session with its own data folder, a scripted host and recording
// canvases, started as the program starts, with a matrix of 8 electrodes
// (4 x 2) in use: the ground for tests that open, save and reopen
// recordings on disk.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "input/ElgFile.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk::test {

struct FileSession {
    TempDir dir;
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    ScriptedHost host;
    RecordingCanvas a, b;
    Ctx ctx{*s, host, RedrawPanels, &a, &b};

    explicit FileSession(int rate = 1000) {
        s->DataRoot = dir.file("root");
        StartUp(ctx);
        s->SamplingFrequency = rate;
        s->HighRateMode = rate != 1000;
        s->SmoothOnLoad = false;
        UseNewMatrix(*s, dir.write("m.txt", "-2\n8 4 2 2.5\n\n1 2 3 4\n5 6 7 8\n"));
    }
    // An electrogram file of 8 channels and `frames` frames as the reader counts them.
    std::string recording(const std::string& name, int frames) {
        ElgWriteFormat format;
        format.channels = 8;
        return dir.write(name, ElgFileBytes(format, std::vector<int16_t>(8 * static_cast<size_t>(frames - 1), 3)));
    }
};

}  // namespace vk::test
