// Everything the user sees or answers, apart from the drawing surfaces.
//
// The core never talks to a window system directly: it beeps, asks and shows
// progress through this interface. The desktop implements it with Qt
// dialogs; the command-line tool answers without a person; tests script the
// answers and record what was asked.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vk {

struct FileFilter {
    std::string name;      // e.g. "E00 files"
    std::string patterns;  // e.g. "*.E**"
};

struct FileChoice {
    std::string path;
    int filterIndex = 1;  // 1-based index of the filter the user chose
};

enum class Answer { Yes, No, Cancel };

// The panels and windows a command may ask the desktop to show or refresh.
enum class Overlay { Info, Help, About, Memo, MarkStatistics, Import };

class Host {
public:
    virtual ~Host() = default;

    virtual void beep() = 0;
    // One-line input box. An empty optional means the user pressed Cancel.
    virtual std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                                const std::string& value) = 0;
    virtual void information(const std::string& text) = 0;
    virtual void warning(const std::string& text) = 0;
    // A message box with its own title (information() takes the program's name).
    virtual void message(const std::string& title, const std::string& text) {
        (void)title;
        information(text);
    }
    // A warning box with Yes, No and Cancel.
    virtual Answer askYesNoCancel(const std::string& text) = 0;
    // A question with Yes (the default) and No.
    virtual Answer askYesNo(const std::string& text) {
        return askYesNoCancel(text) == Answer::Yes ? Answer::Yes : Answer::No;
    }
    // An error that stopped a command (file or conversion failure).
    virtual void error(const std::string& text) = 0;

    virtual std::optional<FileChoice> openFile(const std::string& title, const std::vector<FileFilter>& filters,
                                               int selectedFilter, const std::string& initialDir) = 0;
    // The save dialog, proposing `proposedName` (a path or a bare name).
    // An empty optional means the user cancelled.
    virtual std::optional<FileChoice> saveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                               const std::string& proposedName) {
        (void)title, (void)filters, (void)proposedName;
        return std::nullopt;
    }
    // A folder chosen by the user (an existing one); empty when cancelled.
    virtual std::optional<std::string> chooseFolder(const std::string& title) {
        (void)title;
        return std::nullopt;
    }

    // The progress panel shown during long operations.
    virtual void showProgress(const std::string& caption, const std::string& fileName,
                              const std::string& matrixName, int maximum) = 0;
    virtual void setProgressCaption(const std::string& caption) = 0;
    virtual void stepProgress() = 0;
    // A short line under the caption, e.g. the number of the wave at work.
    virtual void setProgressDetail(const std::string&) {}
    virtual void hideProgress() = 0;
    // Let the window repaint in the middle of a long command.
    virtual void processMessages() = 0;

    // Called at the end of every redraw so that the window can bring its
    // labels, menus and panels in line with the session state.
    virtual void displayUpdated() = 0;
    // Show or hide one of the main window's overlay panels.
    virtual void showOverlay(Overlay which, bool shown) = 0;
    // End the program (after Quit has asked what it must).
    virtual void closeMainWindow() = 0;
};

// A host that shows nothing and answers every question with Cancel: the base
// of hosts that only care about some of the calls.
class QuietHost : public Host {
public:
    void beep() override {}
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    void information(const std::string&) override {}
    void warning(const std::string&) override {}
    Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
    void error(const std::string&) override {}
    std::optional<FileChoice> openFile(const std::string&, const std::vector<FileFilter>&, int,
                                       const std::string&) override {
        return std::nullopt;
    }
    void showProgress(const std::string&, const std::string&, const std::string&, int) override {}
    void setProgressCaption(const std::string&) override {}
    void stepProgress() override {}
    void hideProgress() override {}
    void processMessages() override {}
    void displayUpdated() override {}
    void showOverlay(Overlay, bool) override {}
    void closeMainWindow() override {}
};

}  // namespace vk
