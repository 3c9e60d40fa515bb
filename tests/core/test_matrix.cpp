// Both matrix formats, the common ending and the refusals.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "input/Matrix.h"
#include "session/Errors.h"

namespace vk {
namespace {

std::unique_ptr<SessionState> applied(const MatrixData& m) {
    auto s = std::make_unique<SessionState>();
    ApplyMatrix(*s, m);
    return s;
}

std::pair<int32_t, int32_t> position(const SessionState& s, int e) {
    return {s.ElectrodeCol[static_cast<size_t>(e)], s.ElectrodeRow[static_cast<size_t>(e)]};
}

TEST(Matrix, NewFormatGridDuplicatesAndEmptyPositions) {
    const char* text =
        "-2 trailing words are skipped\r\n"
        "16 8 2 2.5 also skipped\r\n"
        "col labels 1 2 3\r\n"
        "17 18 19 20 21 22 23 24\r\n"
        "25 -1 27 28 29 30 31\r\n"  // the row's last number stands on the next line
        "17\r\n";
    const MatrixData m = ParseNewMatrix(text, "m.txt");
    auto s = applied(m);
    EXPECT_EQ(std::tuple(s->NrElectrodes, s->NrColumns, s->NrRows, s->ElectrodeDistance), std::tuple(16, 8, 2, 2.5));
    // -1 leaves the position empty; 17 appears twice: the later position wins, the grid keeps both.
    EXPECT_EQ(std::tuple(position(*s, 18), s->MatrixGrid[2][2], s->ElectrodeCol[26], position(*s, 17), s->MatrixGrid[1][1], s->MatrixGrid[8][2]),
              std::tuple(std::pair(2, 1), -1, -1, std::pair(8, 2), 17, 17));
    // 8 columns, 2 rows: 8 div 2 = 4 >= 2 stacks the panels.
    EXPECT_EQ(std::tuple(s->TileRectangle, s->NrTraces), std::tuple(true, 8));
}

TEST(Matrix, OldFormatPositionsAndNegativeEntries) {
    const char* text =
        "3 5 5 1.0\n"
        "0 0 comment\n"
        "-1 3\n"
        "4 2\n";
    auto s = applied(ParseOldMatrix(text, "old.txt"));
    // Not on the grid (electrode 2): both values stay as read.
    EXPECT_EQ((std::vector{position(*s, 1), position(*s, 2), position(*s, 3)}),
              (std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {-1, 3}, {5, 3}}));
    EXPECT_EQ(s->ElectrodeCol[4], -1);
    // 5 div 2 = 2 < 5: side by side.
    EXPECT_EQ(std::tuple(s->TileRectangle, s->NrTraces), std::tuple(false, 5));
}

TEST(Matrix, OldFormatReplacesTheGridOfAnEarlierMatrix) {
    auto s = applied(ParseNewMatrix("-2\n1 1 1 1\n\n7\n", "n.txt"));
    ASSERT_EQ(s->MatrixGrid[1][1], 7);
    // Electrodes 1 and 3 share a position: the lower one is in the grid.
    ApplyMatrix(*s, ParseOldMatrix("3 2 2 1\n1 1\n0 0\n1 1\n", "o.txt"));
    EXPECT_EQ(std::tuple(s->MatrixGrid[1][1], s->MatrixGrid[2][2], s->MatrixGrid[1][2], s->ElectrodeCol[7]),
              std::tuple(2, 1, -1, -1));
}

TEST(Matrix, PanelsStackWhenHalfTheColumnsReachTheRows) {
    for (const auto& [columns, rows, stacked] : {std::tuple{4, 2, true}, {5, 3, false}, {6, 3, true}, {1, 1, false}})
        EXPECT_EQ(applied(RowByRowMatrix(columns, rows, 1, 1.0))->TileRectangle, stacked) << columns << "x" << rows;
}

TEST(Matrix, DistanceRule) {
    auto distance = [](const char* d) {
        return applied(ParseOldMatrix(std::string("0 2 2 ") + d + "\n", "d.txt"))->ElectrodeDistance;
    };
    for (auto [text, mm] : {std::pair{"250", 1.0}, {"-1", 1.0}, {"0", 0.0}, {"100", 100.0}})
        EXPECT_DOUBLE_EQ(distance(text), mm) << text;
}

TEST(Matrix, NewFormatWithoutItsMarkLoadsAnEmptyMatrix) {
    auto s = applied(ParseNewMatrix("-2\n4 4 1 2.0\n\n1 2 3 4\n", "n.txt"));
    ApplyMatrix(*s, ParseNewMatrix("5\n4 4 1 2.0\n\n1 2 3 4\n", "other.txt"));
    // Dimensions stay, positions and grid are empty.
    EXPECT_EQ(std::tuple(s->NrColumns, s->NrRows, s->ElectrodeCol[1], s->MatrixGrid[1][1]), std::tuple(4, 1, -1, -1));
}

TEST(Matrix, TheLargestLayoutsAreAccepted) {
    // 256 electrodes, 100 x 100 positions, electrode 256 and grid position 99.
    std::string old = "256 100 100 1\n";
    for (int e = 1; e <= 256; ++e) old += std::to_string((e - 1) % 100) + " " + std::to_string((e - 1) / 100 * 49) + "\n";
    auto s = applied(ParseOldMatrix(old, "old.txt"));
    EXPECT_EQ(std::tuple(s->NrElectrodes, s->NrColumns, s->NrRows), std::tuple(256, 100, 100));
    EXPECT_EQ(std::tuple(position(*s, 100), position(*s, 256)), std::tuple(std::pair(100, 1), std::pair(56, 99)));
    EXPECT_EQ(std::tuple(s->MatrixGrid[100][1], s->MatrixGrid[56][99]), std::tuple(100, 256));

    const MatrixData m = ParseNewMatrix("-2\n256 2 1 1\n\n256 1\n", "new.txt");
    EXPECT_EQ(std::tuple(m.NrElectrodes, m.ElectrodeCol[256], m.MatrixGrid[1][1], m.MatrixGrid[2][1]),
              std::tuple(256, 1, 256, 1));
}

TEST(Matrix, Refusals) {
    auto refused = [](const char* text, bool newFormat, const char* why) {
        try {
            newFormat ? ParseNewMatrix(text, "bad.txt") : ParseOldMatrix(text, "bad.txt");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    };
    refused("-2\n2 2 1 1\n\n0 1\n", true, "electrode number 0");
    refused("-2\n2 2 1 1\n\n1 257\n", true, "electrode number 257");
    refused("-2\n2 101 1 1\n\n", true, "101 columns");
    refused("-2\n2 2 101 1\n\n", true, "101 rows");
    refused("300 2 2 1\n", false, "300 electrodes");
    refused("257 2 2 1\n", false, "257 electrodes");
    refused("-1 2 2 1\n", false, "-1 electrodes");
    refused("0 0 2 1\n", false, "0 columns");
    refused("0 2 0 1\n", false, "0 rows");
    refused("2 2 2 1\n0 0\n100 0\n", false, "outside the 100 x 100 grid");
    refused("-2\n2 2 1 1\n\n1 2a\n", true, "'2a' is not a valid integer value");
    refused("2 2 2 x1\n", false, "'x1' is not a valid floating point value");
    refused("-2\n4 2 2 1\n\n1 2\n3\n", true, "unexpected end of file");
    refused("-2\n4 2 2 nan\n\n", true, "not a valid floating point value");
}

}  // namespace
}  // namespace vk
