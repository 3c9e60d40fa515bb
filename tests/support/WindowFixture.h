// The real main window, offscreen, with a scripted host for its dialogs and
// a private data root.
#pragma once

#include <QTest>
#include <memory>

#include "desktop/MainWindow.h"
#include "input/ElgFile.h"
#include "support/GridSession.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk::test {

struct Window {
    TempDir dir;
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    ScriptedHost host;
    std::unique_ptr<MainWindow> w;

    Window() {
        s->DataRoot = dir.file("root");
        w = std::make_unique<MainWindow>(*s, &host);
        w->resize(1200, 800);
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    std::string recording(const std::string& name) {
        ElgWriteFormat format;
        format.channels = 4;
        return dir.write(name, ElgFileBytes(format, std::vector<int16_t>(4 * 300, 5)));
    }
    // An 8 x 4 array (electrode c + 8 (r - 1) at column c, row r) and a
    // recording of 10000 ms loaded.
    void useGrid() {
        auto grid = gridSession(8, 4);
        std::tie(s->NrColumns, s->NrRows, s->ElectrodeCol, s->ElectrodeRow, s->MatrixGrid) =
            std::tie(grid->NrColumns, grid->NrRows, grid->ElectrodeCol, grid->ElectrodeRow, grid->MatrixGrid);
        s->FileLoaded = s->SignalsLoaded = true;
        s->SignalLength = s->NrOfFrames = s->WindowA = 10000;
    }
};

}  // namespace vk::test
