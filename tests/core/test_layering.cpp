// Includes run one way: the window and the command-line tool on top, the
// commands and the full redraw below them, the parts of the program below
// those, and the session ground at the bottom. A file may include its own
// layer and the layers below, never one above; Qt stays in the top layer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The program's folders, bottom layer first.
const std::vector<std::vector<std::string>> Layers = {
    {"session"},
    {"input", "marks", "electrograms", "maps", "waves", "exchange", "printing"},
    {"shell"},
    {"desktop", "cli"},
};

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

TEST(Layering, IncludesNeverReachALayerAbove) {
    const auto includes = programIncludes(false);
    ASSERT_GT(includes.size(), 100u);  // the sources were found
    for (const auto& inc : includes) {
        const std::string from = inc.file.substr(0, inc.file.find('/'));
        const auto slash = inc.target.find('/');
        ASSERT_NE(slash, std::string::npos) << inc.file << ":" << inc.line << " includes " << inc.target
                                            << " without its folder";
        const std::string to = inc.target.substr(0, slash);
        ASSERT_GE(layerOf(to), 0) << inc.file << ":" << inc.line << " includes " << inc.target
                                  << " from a folder that has no layer";
        EXPECT_LE(layerOf(to), layerOf(from)) << inc.file << ":" << inc.line << " includes " << inc.target
                                              << ", which lies above it";
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
