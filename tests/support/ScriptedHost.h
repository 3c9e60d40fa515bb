// A Host that answers from queues and records what the program asked,
// beeped and said.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "session/Host.h"

namespace vk::test {

class ScriptedHost : public Host {
public:
    // Answers, used front first; an empty queue cancels.
    std::deque<std::optional<std::string>> inputs;
    std::deque<Answer> answers;
    std::deque<std::optional<FileChoice>> files;

    // What happened.
    int beeps = 0;
    std::vector<std::string> messages;  // information and warnings
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    struct Dialog {
        std::string title;
        std::vector<FileFilter> filters;
        int selected;
        std::string folder;
    };
    std::vector<Dialog> dialogs;
    std::vector<std::string> captions;  // progress captions
    int progressSteps = 0;
    int redraws = 0;
    bool progressShown = false;
    bool closed = false;
    std::vector<std::pair<Overlay, bool>> overlays;

    void beep() override { ++beeps; }
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string&) override {
        questions.push_back(caption + "|" + prompt);
        return next(inputs, std::optional<std::string>());
    }
    void information(const std::string& text) override { messages.push_back(text); }
    void warning(const std::string& text) override { messages.push_back(text); }
    Answer askYesNoCancel(const std::string& text) override {
        questions.push_back(text);
        return next(answers, Answer::Cancel);
    }
    void error(const std::string& text) override { errors.push_back(text); }
    std::optional<FileChoice> openFile(const std::string& title, const std::vector<FileFilter>& filters, int selected,
                                       const std::string& folder) override {
        dialogs.push_back({title, filters, selected, folder});
        return next(files, std::optional<FileChoice>());
    }
    // A save dialog is recorded with its proposed name as the folder.
    std::optional<FileChoice> saveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                       const std::string& proposed) override {
        dialogs.push_back({title, filters, 1, proposed});
        return next(files, std::optional<FileChoice>());
    }
    // A folder dialog takes the path of the next file answer.
    std::optional<std::string> chooseFolder(const std::string& title) override {
        dialogs.push_back({title, {}, 1, ""});
        const auto choice = next(files, std::optional<FileChoice>());
        return choice ? std::optional<std::string>(choice->path) : std::nullopt;
    }
    void showProgress(const std::string& caption, const std::string&, const std::string&, int) override {
        captions.push_back(caption);
        progressShown = true;
    }
    void setProgressCaption(const std::string& caption) override { captions.push_back(caption); }
    void stepProgress() override { ++progressSteps; }
    void hideProgress() override { progressShown = false; }
    void processMessages() override {}
    void displayUpdated() override { ++redraws; }
    void showOverlay(Overlay which, bool shown) override { overlays.emplace_back(which, shown); }
    void closeMainWindow() override { closed = true; }

private:
    // The front answer of a queue, taken off it; `none` when it is empty.
    template <class T>
    static T next(std::deque<T>& queue, T none) {
        if (queue.empty()) return none;
        T v = queue.front();
        queue.pop_front();
        return v;
    }
};

}  // namespace vk::test
