#include "input/Matrix.h"

#include "session/Ask.h"
#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

MatrixData emptyMatrix() {
    MatrixData m;
    m.ElectrodeCol.fill(-1);
    m.ElectrodeRow.fill(-1);
    for (auto& column : m.MatrixGrid) column.fill(-1);
    return m;
}

void readDimensions(TextScanner& in, MatrixData& m, const std::string& path) {
    m.NrElectrodes = in.readInt();
    m.NrColumns = in.readInt();
    m.NrRows = in.readInt();
    m.ElectrodeDistance = in.readReal();
    in.skipLine();
    if (m.NrElectrodes < 0 || m.NrElectrodes > MaxChannels)
        throw IoError(path, "the matrix lists " + std::to_string(m.NrElectrodes) +
                                " electrodes; at most 256 are possible");
    if (m.NrColumns < 1 || m.NrColumns > MaxGrid || m.NrRows < 1 || m.NrRows > MaxGrid)
        throw IoError(path, "the matrix has " + std::to_string(m.NrColumns) + " columns and " +
                                std::to_string(m.NrRows) + " rows; each must be between 1 and 100");
}

}  // namespace

MatrixData ParseOldMatrix(std::string_view text, const std::string& path) {
    MatrixData m = emptyMatrix();
    m.hasGrid = true;
    TextScanner in(text, path);
    readDimensions(in, m, path);
    for (int e = 1; e <= m.NrElectrodes; ++e) {
        const int32_t column = in.readInt();
        const int32_t row = in.readInt();
        in.skipLine();
        if (column >= 0 && row >= 0) {
            if (column >= MaxGrid || row >= MaxGrid)
                throw IoError(path, "electrode " + std::to_string(e) + " lies at column " + std::to_string(column) +
                                        ", row " + std::to_string(row) + ", outside the 100 x 100 grid");
            m.ElectrodeCol[e] = column + 1;
            m.ElectrodeRow[e] = row + 1;
            // The grid is filled as well (the lowest electrode at a shared
            // position), so that the trace orders and the map cells never
            // use a grid left behind by an earlier matrix.
            int32_t& cellElectrode = m.MatrixGrid[static_cast<size_t>(column + 1)][static_cast<size_t>(row + 1)];
            if (cellElectrode < 0) cellElectrode = e;
        } else {
            // An electrode that is not on the grid keeps the values as read.
            m.ElectrodeCol[e] = column;
            m.ElectrodeRow[e] = row;
        }
    }
    return m;
}

MatrixData ParseNewMatrix(std::string_view text, const std::string& path) {
    MatrixData m = emptyMatrix();
    TextScanner in(text, path);
    const int32_t mark = in.readInt();
    in.skipLine();
    if (mark != -2) {
        m.hasDimensions = false;  // not a new-format file: an empty matrix
        return m;
    }
    m.hasGrid = true;
    readDimensions(in, m, path);
    in.skipLine();  // free text, e.g. column labels
    for (int r = 1; r <= m.NrRows; ++r) {
        for (int k = 1; k <= m.NrColumns; ++k) {
            const int32_t v = in.readInt();
            if (v < 0) continue;  // empty position
            if (v < 1 || v > MaxChannels)
                throw IoError(path, "electrode number " + std::to_string(v) + " at column " + std::to_string(k) +
                                        ", row " + std::to_string(r) + " is outside 1..256");
            // A number that appears twice: the later position wins for the
            // electrode, the grid keeps it at both.
            m.ElectrodeCol[v] = k;
            m.ElectrodeRow[v] = r;
            m.MatrixGrid[k][r] = v;
        }
        in.skipLine();
    }
    return m;
}

MatrixData RowByRowMatrix(int columns, int rows, int first, double distance) {
    MatrixData m = emptyMatrix();
    m.hasGrid = true;
    m.NrColumns = columns;
    m.NrRows = rows;
    m.NrElectrodes = columns * rows;
    m.ElectrodeDistance = distance;
    for (int r = 1; r <= rows; ++r)
        for (int k = 1; k <= columns; ++k) {
            const int e = first + (r - 1) * columns + (k - 1);
            if (e < 1 || e > MaxChannels) continue;
            m.ElectrodeCol[static_cast<size_t>(e)] = k;
            m.ElectrodeRow[static_cast<size_t>(e)] = r;
            m.MatrixGrid[static_cast<size_t>(k)][static_cast<size_t>(r)] = e;
        }
    return m;
}

void ApplyMatrix(SessionState& s, const MatrixData& m) {
    s.ElectrodeCol = m.ElectrodeCol;
    s.ElectrodeRow = m.ElectrodeRow;
    if (m.hasGrid || !m.hasDimensions) s.MatrixGrid = m.MatrixGrid;
    if (m.hasDimensions) {
        s.NrElectrodes = m.NrElectrodes;
        s.NrColumns = m.NrColumns;
        s.NrRows = m.NrRows;
        s.ElectrodeDistance = m.ElectrodeDistance;
    }
    if (s.ElectrodeDistance < 0.0 || s.ElectrodeDistance > 100.0) s.ElectrodeDistance = 1.0;
    s.TileRectangle = (s.NrColumns / 2 >= s.NrRows);
    s.NrTraces = s.NrColumns;
}

void LoadMatrix(SessionState& s) {
    const std::string text = readWholeFile(s.MatrixFileName, MaxMatrixFileBytes);
    ApplyMatrix(s, ParseOldMatrix(text, s.MatrixFileName));
}

void LoadNewMatrix(SessionState& s) {
    const std::string text = readWholeFile(s.MatrixFileName, MaxMatrixFileBytes);
    ApplyMatrix(s, ParseNewMatrix(text, s.MatrixFileName));
}

void LoadMatrixInUse(Ctx& ctx) {
    auto& s = ctx.s;
    // The matrix in use must be loadable. A matrix that fails to load is
    // reported; the recording and its marks stay open.
    if (fileExists(s.MatrixFileName)) {
        runCommand(ctx, [&] { LoadNewMatrix(s); });
    } else {
        ctx.host.beep();
        ctx.host.information(s.MatrixFileName + " is not found!");
        auto choice = ctx.host.openFile("Open New Matrix File", {{"Matrix files", "*.txt *.TXT"}, {"All files", "*"}},
                                        1, MyNewMatrixDir(s));
        if (choice) {
            s.MatrixFileName = choice->path;
            if (fileExists(s.MatrixFileName)) runCommand(ctx, [&] { LoadNewMatrix(s); });
        }
    }
}

}  // namespace vk
