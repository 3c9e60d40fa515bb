// The desktop program: vorelkant [--matrix FILE] [RECORDING]
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>
#include <memory>

#include "desktop/MainWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vorelkant");

    QCommandLineParser parser;
    parser.setApplicationDescription("Activation maps and waves from multi-electrode recordings of smooth muscle.");
    parser.addHelpOption();
    QCommandLineOption matrix("matrix", "New-format electrode matrix file to use.", "FILE");
    parser.addOption(matrix);
    parser.addPositionalArgument("RECORDING", "Electrogram file to open.");
    parser.process(app);

    auto state = std::make_unique<vk::SessionState>();
    const QByteArray home = qgetenv("HOME");
    state->DataRoot = (home.isEmpty() ? QByteArray(".") : home).toStdString() + "/Vorelkant";

    vk::MainWindow window(*state);
    // Without a window manager (a virtual display) maximising does nothing,
    // so start at the full screen size as well.
    if (const QScreen* screen = QApplication::primaryScreen()) window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    // Full paths, so that the recent-file list works from any folder.
    auto absolute = [](const QString& path) { return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath(); };
    const QString matrixFile = absolute(parser.value(matrix));
    const QString recording = absolute(parser.positionalArguments().value(0));
    if (!matrixFile.isEmpty() || !recording.isEmpty())
        QTimer::singleShot(0, &window, [&] { window.openFromCommandLine(matrixFile, recording); });
    return app.exec();
}
