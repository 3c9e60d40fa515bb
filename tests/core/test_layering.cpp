// Includes run one way: the window and the command-line tool on top, the
// commands and the full redraw below them, the parts of the program below
// those, and the session ground at the bottom. A file may include its own
// layer and the layers below, never one above; Qt stays in the top layer.
// The parts of the program are ordered among themselves as well: a part may
// include only itself and the parts below it, so that no two parts lean on
// each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The parts of the program, bottom first: the trace geometry and order
// (which draws nothing), the marks, the recordings and matrices read in, the
// maps, the electrogram views, the waves, the text exports, the printed page.
const std::vector<std::string> Parts = {
    "layout", "marks", "input", "maps", "electrograms", "waves", "exchange", "printing",
};

// The program's folders, bottom layer first.
const std::vector<std::vector<std::string>> Layers = {
    {"session"},
    Parts,
    {"shell"},
    {"desktop", "cli"},
};

// Folders of the tree that are not the program.
const std::vector<std::string> NotTheProgram = {"tests", "bench", "fuzz", "scripts"};

int partOf(const std::string& folder) {
    const auto at = std::find(Parts.begin(), Parts.end(), folder);
    return at == Parts.end() ? -1 : static_cast<int>(at - Parts.begin());
}

int layerOf(const std::string& folder) {
    for (size_t i = 0; i < Layers.size(); ++i)
        for (const auto& name : Layers[i])
            if (name == folder) return static_cast<int>(i);
    return -1;
}

struct Include {
    std::string file, target;
    int line;
};

// The quoted and the angled includes of every source file of the program.
std::vector<Include> programIncludes(bool angled) {
    const std::regex pattern(angled ? R"re(^\s*#\s*include\s*<([^>]+)>)re" : R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<Include> found;
    for (const auto& layer : Layers) {
        for (const auto& folder : layer) {
            const fs::path dir = fs::path(VK_SOURCE_DIR) / folder;
            if (!fs::is_directory(dir)) continue;
            for (const auto& entry : fs::recursive_directory_iterator(dir)) {
                const auto ext = entry.path().extension();
                if (ext != ".h" && ext != ".cpp") continue;
                std::ifstream in(entry.path());
                std::string text;
                for (int n = 1; std::getline(in, text); ++n) {
                    std::smatch m;
                    if (std::regex_search(text, m, pattern))
                        found.push_back({folder + "/" + entry.path().filename().string(), m[1], n});
                }
            }
        }
    }
    return found;
}

TEST(Layering, IncludesNeverReachALayerOrPartAbove) {
    int betweenParts = 0;
    const auto includes = programIncludes(false);
    ASSERT_GT(includes.size(), 100u);  // the sources were found
    for (const auto& inc : includes) {
        const std::string from = inc.file.substr(0, inc.file.find('/'));
        const auto slash = inc.target.find('/');
        ASSERT_NE(slash, std::string::npos) << inc.file << ":" << inc.line << " includes " << inc.target << " without its folder";
        const std::string to = inc.target.substr(0, slash);
        ASSERT_GE(layerOf(to), 0) << inc.file << ":" << inc.line << " includes " << inc.target << " from a folder with no layer";
        EXPECT_LE(layerOf(to), layerOf(from)) << inc.file << ":" << inc.line << " includes " << inc.target << ", a layer above it";
        const int partFrom = partOf(from), partTo = partOf(to);
        if (partFrom < 0 || partTo < 0) continue;
        betweenParts += partFrom != partTo;
        EXPECT_LE(partTo, partFrom) << inc.file << ":" << inc.line << " includes " << inc.target << ", a part above it";
    }
    EXPECT_GT(betweenParts, 20);  // the parts do use each other: their order is held, not empty
}

TEST(Layering, EveryFolderOfSourcesHasALayer) {
    for (const auto& entry : fs::directory_iterator(VK_SOURCE_DIR)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() || name.front() == '.' || name.rfind("build", 0) == 0) continue;
        if (std::find(NotTheProgram.begin(), NotTheProgram.end(), name) != NotTheProgram.end()) continue;
        bool sources = false;
        for (const auto& file : fs::recursive_directory_iterator(entry.path()))
            sources |= file.path().extension() == ".h" || file.path().extension() == ".cpp";
        if (!sources) continue;
        EXPECT_GE(layerOf(name), 0) << name << "/ holds sources but has no layer";
    }
}

TEST(Layering, QtOnlyInTheTopLayer) {
    const int top = static_cast<int>(Layers.size()) - 1;
    for (const auto& inc : programIncludes(true)) {
        const std::string from = inc.file.substr(0, inc.file.find('/'));
        if (layerOf(from) == top) continue;
        EXPECT_NE(inc.target.rfind("Q", 0), 0u) << inc.file << ":" << inc.line << " includes <" << inc.target << ">";
    }
}

}  // namespace
