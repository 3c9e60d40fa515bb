#include "session/SessionState.h"

namespace vk {

SessionState::SessionState() : RawFrames(RawFrameCapacity) {
    MarkTable.resize(MaxMarks + 1);
    MarkInterval.assign(MaxMarks + 1, Missing);
    MarkMeasures.resize(MaxMarks + 1);
    Connections.resize(MaxConnections + 1);
    WaveTimes.assign(static_cast<size_t>(MaxChannels + 1) * 201, Missing);
    FreeTimes.assign(static_cast<size_t>(MaxChannels + 1) * 201, Missing);
    MarkOrder.reserve(MaxMarks + 1);
    TracePoints.reserve(65536);
    InitSession(*this);
}

void InitSession(SessionState& s) {
    // The drawing target, the panels' kinds, traces, map margins and tiling.
    s.DrawOnA = true;
    s.DrawOnB = false;
    s.Tiled = false;
    s.DisplayTypeA = s.DisplayTypeB = 1;
    s.MapKindA = s.MapKindB = 0;
    s.NrTraces = 24;
    s.MapLeft = s.MapTop = 10;
    s.UnitsPerMillivolt = 747;
    s.TileRectangle = true;
    // The times of both panels.
    s.BeginTimeAll = 0;
    s.WindowAll = 4000;
    s.BeginTimeA = s.BeginTimeB = 0;
    s.WindowA = s.WindowB = s.WindowTime = 4000;
    // Trace order, loading, scale, reference, mark type, the settings of the
    // preferences dialog (digit formats included) and every display option.
    s.TraceOrder = 1;
    s.FirstChannel = 17;
    s.SmoothOnLoad = true;
    s.Amplification = 0.01;
    s.RefTime = 0;
    s.CurrentMarkType = {0, 1, 1};
    s.Prefs = Preferences{};
    s.MarkOrigin = ManualOrigin;
    s.ElgViewMode = 0;
    s.ShowElgMarks = s.ShowElgTimes = s.ShowBackgroundColor = s.AverageOffsetOn = s.ShowElgConnections = true;
    s.ShowElgIntervals = s.ShowSpikeIntervals = s.ShowAmplitudes = s.PlotOnlyDots = s.PlotMarkNr = false;
    s.BipolarMode = s.AnalyseChecked = s.ShowSWsAndSpikes = s.ShowWaveStatistics = false;
    s.StartCol = s.StartRow = 1;
    s.FreeTraceList.fill(Missing);
    s.FreeTraceCount = 0;
    s.TraceOrderItemA = s.TraceOrderItemB = 0;
    s.WaveDifference = {0, 500, 150, 500};
    s.PlotLocalTimes = s.AutoPositioning = false;
    s.WaveNrA = s.WaveNrB = 1;
    s.WaveSignalLength = 1000;
    s.WaveGrid = s.WaveGridLabel = true;
    s.WaveMarkAlign = s.WavePlotElgNr = false;
    s.AlyWindow = 4000;
    s.MapBegin = 0;
    s.MapWindow = 4000;
    s.MapKind = 0;
    s.MinMapTime = s.EarliestTime = NoMinMapTime;
    s.MaxMapTime = NoMaxMapTime;
    s.MapTimeCount = 0;
    s.ShowMapColors = s.ShowMapDigits = s.ShowGrid = true;
    s.IsochroneWidth = 500;
    s.PlotIsochrones = false;
    s.PlotArrows = false;
    s.ExpandMap = s.ShowMapStatistics = s.ShowMiniMap = s.ShowMiniWindow = false;
    s.MiniElectrode = -1;
    // Rate, import length, mark numbers, wave mode and the paging step.
    s.SamplingFrequency = 1000;
    s.HighRateMode = false;
    s.MaxNrSamples = 65500;
    s.CurrentMarkNr = 1;
    s.MarkNrA = s.MarkNrB = 1;
    s.WaveMode = 2;
    s.StepIncrement = 100;
    // No recording, matrix or marks yet.
    s.ElectrodeCol.fill(-1);
    s.ElectrodeRow.fill(-1);
    for (auto& column : s.MatrixGrid) column.fill(-1);
    s.OpenFilterIndex = 5;
    s.MarkCount = 0;
    s.UndoCount = 0;
    s.MarksChanged = false;
    s.WavesOutdated = true;
}

std::string MyMatrixDir(const SessionState& s) { return s.DataRoot + "/MyMatrix"; }
std::string MyNewMatrixDir(const SessionState& s) { return s.DataRoot + "/MyNewMatrix"; }
std::string RecentListPath(const SessionState& s) { return MyNewMatrixDir(s) + "/FileList.Txt"; }
std::string RecordingPath(const SessionState& s) {
    // File type 3 is the NI text import; an electrogram file is type 2.
    return s.ImportedFile && s.FileType == 3 && !s.NIFileName.empty() ? s.NIFileName : s.FileName;
}

}  // namespace vk
