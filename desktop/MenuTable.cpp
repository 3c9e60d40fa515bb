#include "desktop/MenuTable.h"

#include <set>
#include <string>

namespace vk {

const std::vector<MenuItemDef>& MainMenuTable() {
    static const std::vector<MenuItemDef> table = {
        {nullptr, nullptr, "About", nullptr, "About1"},

        {"File", nullptr, "Open File", "Ctrl+O", "OpenFile1"},
        {"File", nullptr, "Save Marks+Connections", "Ctrl+S", "SaveMarks1"},
        {"File", "Import", "Connections", nullptr, "ImportConnections1"},
        {"File", "Import", "Electrogram file", nullptr, "ImportElectrogram1"},
        {"File", "Import", "Marks from .txt file", nullptr, "ImportMarks1"},
        {"File", "Export", "to Mac", nullptr, "ExportToMac1"},
        {"File", "Export", "to RealBasic", nullptr, "ExportToRealBasic1"},
        {"File", "Export", "Electrogram to .txt", nullptr, "ExportElectrogram1"},
        {"File", "Export", "Marks to .txt file", nullptr, "ExportMarks1"},
        {"File", "Export", "Marks to Animation", nullptr, "ExportAnimation1"},
        {"File", "Export", "Single Electrogram Marks", nullptr, "ExportSingleElectrogram1"},
        {"File", "Export", "Data in Matrix Text File", nullptr, "ExportMatrixData1"},
        {"File", "Export", "All Marks in One Electrogram", nullptr, "ExportAllMarks1"},
        {"File", "Export", "Tavring File", nullptr, "ExportTavring1"},
        {"File", nullptr, "Print", "Ctrl+P", "Print1"},
        {"File", nullptr, "Print dialog ...", nullptr, "PrintDialog1"},
        {"File", nullptr, "Quit", "Ctrl+Q", "Quit1"},
        {"File", nullptr, "", "F1", "ShowPrevFile1"},
        {"File", nullptr, "", "F2", "ShowPrevFile2"},
        {"File", nullptr, "", "F3", "ShowPrevFile3"},
        {"File", nullptr, "", "F4", "ShowPrevFile4"},
        {"File", nullptr, "", "F5", "ShowPrevFile5"},
        {"File", nullptr, "", nullptr, "ShowPrevFile6"},
        {"File", nullptr, "", nullptr, "ShowPrevFile7"},
        {"File", nullptr, "", nullptr, "ShowPrevFile8"},
        {"File", nullptr, "", nullptr, "ShowPrevFile9"},
        {"File", nullptr, "", nullptr, "ShowPrevFile10"},

        {"General", nullptr, "Update Displays", "Ctrl+U", "UpdateDisplays1"},
        {"General", nullptr, "Unhide Marks", "Ctrl+Y", "UnhideMarks1"},
        {"General", nullptr, "Tile on", "Ctrl+T", "Tile1"},
        {"General", "Tile type", "rectangle", nullptr, "Rectangle1"},
        {"General", "Tile type", "square", nullptr, "Square1"},
        {"General", nullptr, "Begin Time", "Ctrl+B", "BeginTime1"},
        {"General", nullptr, "Window", "Ctrl+W", "Window1"},
        {"General", nullptr, "Reference Table", "Ctrl+R", "ReferenceTable1"},
        {"General", nullptr, "Next", "Ctrl+N", "Next1"},
        {"General", nullptr, "Previous", "Ctrl+M", "Previous1"},
        {"General", nullptr, "Step Increment", "Ctrl+E", "StepIncrement1"},
        {"General", nullptr, "File Info", nullptr, "FileInfo1"},
        {"General", nullptr, "Preferences ...", nullptr, "Preferences1"},
        {"General", nullptr, "Sampling Frequency (1000 Hz)", nullptr, "SamplingFrequency1"},
        {"General", nullptr, "Change Matrix file", nullptr, "ChangeMatrixfile1"},
        {"General", nullptr, "Change New matrix file", nullptr, "ChangeNewMatrixfile1"},
        {"General", nullptr, "show Mini Window", nullptr, "ShowMiniWindow1"},
        {"General", nullptr, "Show Memo Window", nullptr, "ShowMemoWindow1"},
        {"General", nullptr, "smoothing (only NI files!)", nullptr, "Smoothing1"},
        {"General", nullptr, "Slow Wave", "F1", "SlowWave1"},
        {"General", nullptr, "Spike", "F2", "Spike1"},
        {"General", nullptr, "Type Mark 3", "F3", "TypeMark31"},
        {"General", nullptr, "show mark statistics", nullptr, "ShowMarkStatistics1"},
        {"General", nullptr, "show Datapad", nullptr, "ShowDatapad1"},
        {"General", nullptr, "Calc Amplitudes + Slopes", nullptr, "CalcAmplitudes1"},
        {"General", nullptr, "Elg Wave settings", nullptr, "ElgWaveSettings1"},

        {"Display A", nullptr, "Time Map", nullptr, "TimeMap1"},
        {"Display A", nullptr, "Interval Map", nullptr, "IntervalMap1"},
        {"Display A", nullptr, "Electrode Map", nullptr, "ElectrodeMap1"},
        {"Display A", nullptr, "Count Map", nullptr, "CountMap1"},
        {"Display A", nullptr, "Amplitude", nullptr, "Amplitude1"},
        {"Display A", nullptr, "Slope", nullptr, "Slope1"},
        {"Display A", nullptr, "Velocities", nullptr, "Velocities1"},
        {"Display A", nullptr, "Mark nr", nullptr, "MarkNr1"},
        {"Display A", nullptr, "Electrograms", nullptr, "Electrograms1"},
        {"Display A", nullptr, "Analyse", nullptr, "Analyse1"},
        {"Display A", nullptr, "Elg Waveforms", nullptr, "ElgWaveforms1"},
        {"Display A", nullptr, "Begin Time", nullptr, "BeginTime2"},
        {"Display A", nullptr, "Window", nullptr, "Window2"},
        {"Display A", nullptr, "Slow Wave", nullptr, "SlowWave2"},
        {"Display A", nullptr, "Spike", nullptr, "Spike2"},
        {"Display A", nullptr, "Mark Type 3", nullptr, "MarkType31"},

        {"Display B", nullptr, "Time Map", nullptr, "TimeMap2"},
        {"Display B", nullptr, "Interval Map", nullptr, "IntervalMap2"},
        {"Display B", nullptr, "Electrode Map", nullptr, "ElectrodeMap2"},
        {"Display B", nullptr, "Count Map", nullptr, "CountMap2"},
        {"Display B", nullptr, "Amplitude", nullptr, "Amplitude2"},
        {"Display B", nullptr, "Slope", nullptr, "Slope2"},
        {"Display B", nullptr, "Mark nr", nullptr, "MarkNr2"},
        {"Display B", nullptr, "Electrograms", nullptr, "Electrograms2"},
        {"Display B", nullptr, "Begin Time", nullptr, "BeginTime3"},
        {"Display B", nullptr, "Window", nullptr, "Window3"},
        {"Display B", nullptr, "Slow wave", nullptr, "SlowWave3"},
        {"Display B", nullptr, "Spike", nullptr, "Spike3"},
        {"Display B", nullptr, "Mark Type 3", nullptr, "MarkType32"},

        {"Map", nullptr, "hide Grid", nullptr, "HideGrid1"},
        {"Map", nullptr, "hide colors", nullptr, "HideColors1"},
        {"Map", nullptr, "hide digits", nullptr, "HideDigits1"},
        {"Map", nullptr, "change Isochrones", "Ctrl+I", "ChangeIsochrones1"},
        {"Map", nullptr, "plot Isochrones", nullptr, "PlotIsochrones1"},
        {"Map", nullptr, "plot Arrows", nullptr, "PlotArrows1"},
        {"Map", nullptr, "Reference Time", nullptr, "ReferenceTime1"},
        {"Map", nullptr, "Show Map Statistics", nullptr, "ShowMapStatistics1"},
        {"Map", nullptr, "Show MiniMap", nullptr, "ShowMiniMap1"},
        {"Map", nullptr, "Expand Map", nullptr, "ExpandMap1"},
        {"Map", nullptr, "remove Expand", nullptr, "RemoveExpand1"},
        {"Map", nullptr, "show SW's + spikes", nullptr, "ShowSWsSpikes1"},

        {"Electrograms", nullptr, "Undo Deleted Marks ", "Ctrl+V", "UndoDeletedMarks1"},
        {"Electrograms", nullptr, "amplification", "Ctrl+A", "Amplification1"},
        {"Electrograms", nullptr, "number Channels", "Ctrl+C", "NumberChannels1"},
        {"Electrograms", nullptr, "goto Channel", "Ctrl+G", "GotoChannel1"},
        {"Electrograms", nullptr, "hide marks", nullptr, "HideMarks1"},
        {"Electrograms", nullptr, "hide times", nullptr, "HideTimes1"},
        {"Electrograms", nullptr, "show  SW intervals", nullptr, "ShowSWIntervals1"},
        {"Electrograms", nullptr, "show Spike intervals", nullptr, "ShowSpikeIntervals1"},
        {"Electrograms", nullptr, "hide background color", nullptr, "HideBackgroundColor1"},
        {"Electrograms", nullptr, "Average Offset Off", nullptr, "AverageOffsetOff1"},
        {"Electrograms", nullptr, "plot only dots", nullptr, "PlotOnlyDots1"},
        {"Electrograms", nullptr, "Plot Mark nr", nullptr, "PlotMarkNr1"},
        {"Electrograms", nullptr, "+ zoom             Z", nullptr, "ZoomIn1"},
        {"Electrograms", nullptr, "- zoom        ", "Ctrl+Z", "ZoomOut1"},
        {"Electrograms", nullptr, "show amplitude + slope", nullptr, "ShowAmplitudeSlope1"},
        {"Electrograms", nullptr, "Analyse Elg", nullptr, "AnalyseElg1"},
        {"Electrograms", nullptr, "Interpolate", nullptr, "Interpolate1"},
        {"Electrograms", nullptr, "Spike Stats", "F10", "SpikeStats1"},
        {"Electrograms", nullptr, "Automatic SW marking", nullptr, "AutomaticSWMarking1"},

        {"Connections", nullptr, "hide connections", nullptr, "HideConnections1"},
        {"Connections", nullptr, "Make Connections", nullptr, "MakeConnections1"},

        {"Waves", "Wave mode (2)", "time diff", nullptr, "TimeDiff1"},
        {"Waves", "Wave mode (2)", "mark nr", nullptr, "WaveModeMarkNr1"},
        {"Waves", nullptr, "goto wave nr ...", nullptr, "GotoWaveNr1"},
        {"Waves", nullptr, "goto next wave", "Ctrl+F12", "GotoNextWave1"},
        {"Waves", nullptr, "goto previous wave", "Ctrl+F11", "GotoPreviousWave1"},
        {"Waves", nullptr, "show statistics", nullptr, "ShowStatistics1"},
        {"Waves", nullptr, "change Wave Difference", "Ctrl+D", "ChangeWaveDifference1"},
        {"Waves", nullptr, "Calculate Waves", nullptr, "CalculateWaves1"},
        {"Waves", nullptr, "composite wave map", nullptr, "CompositeWaveMap1"},
        {"Waves", nullptr, "Plot local times", nullptr, "PlotLocalTimes1"},
        {"Waves", nullptr, "automatic positioning", nullptr, "AutomaticPositioning1"},

        {"Help", nullptr, "frequent commands", "Ctrl+H", "FrequentCommands1"},
    };
    return table;
}

std::vector<bool> ShortcutOwners(const std::vector<MenuItemDef>& table) {
    std::vector<bool> owner(table.size(), false);
    std::set<std::string> taken;
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].shortcut) owner[i] = taken.insert(table[i].shortcut).second;
    return owner;
}

}  // namespace vk
