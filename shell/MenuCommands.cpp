#include "shell/MenuCommands.h"

#include "electrograms/SpikeStats.h"
#include "exchange/DataExports.h"
#include "exchange/MacExport.h"
#include "exchange/RecordingText.h"
#include "exchange/StudyTables.h"
#include "exchange/MarkText.h"
#include "electrograms/TraceDisplay.h"
#include "input/TextImport.h"
#include "maps/MapCommands.h"
#include "maps/MapExpand.h"
#include "maps/MapStatistics.h"
#include "maps/MiniMap.h"
#include "marks/AutoMark.h"
#include "marks/Connections.h"
#include "marks/ManualMarking.h"
#include "marks/MarkFile.h"
#include "marks/Measures.h"
#include "marks/MarkStore.h"
#include "session/Ask.h"
#include "shell/Commands.h"
#include "shell/ViewCommands.h"
#include "waves/WaveDetection.h"

namespace vk {

namespace {

// A command that asks for a number: text that is not a number ends it with
// the conversion message.
template <void (*Command)(Ctx&)>
void asked(Ctx& c) {
    runCommand(c, [&] { Command(c); });
}
template <int Panel>
void beginTime(Ctx& c) {
    runCommand(c, [&] { BeginTimeCommand(c, Panel, false); });
}
template <int Panel>
void window(Ctx& c) {
    runCommand(c, [&] { WindowCommand(c, Panel, false); });
}
template <int Item>
void recent(Ctx& c) {
    ShowPrevFileClick(c, Item);
}
template <int Panel, int Kind>
void mapKind(Ctx& c) {
    ChooseMapKind(c, Panel, Kind);
}
template <int Panel, int Type>
void markType(Ctx& c) {
    if (Panel == 0) {
        SetAllMarkTypes(c, Type);
    } else {
        SetPanelMarkType(c, Panel, Type);
    }
}
template <WaveSwitch Which>
void waveSwitch(Ctx& c) {
    ToggleWaveSwitch(c, Which);
}

}  // namespace

const std::vector<MenuCommand>& MenuCommands() {
    static const std::vector<MenuCommand> table = {
        {"About1", About1Click},
        {"OpenFile1", OpenFile1Click},
        {"SaveMarks1", SaveMarks1Click},
        {"Quit1", Quit1Click},
        {"ShowPrevFile1", recent<1>},
        {"ShowPrevFile2", recent<2>},
        {"ShowPrevFile3", recent<3>},
        {"ShowPrevFile4", recent<4>},
        {"ShowPrevFile5", recent<5>},
        {"ShowPrevFile6", recent<6>},
        {"ShowPrevFile7", recent<7>},
        {"ShowPrevFile8", recent<8>},
        {"ShowPrevFile9", recent<9>},
        {"ShowPrevFile10", recent<10>},

        {"UpdateDisplays1", UpdateDisplays1Click},
        {"UnhideMarks1", UnhideMarks1Click},
        {"Tile1", SetPanelTile},
        {"Rectangle1", [](Ctx& c) { SetTileType(c, true); }},
        {"Square1", [](Ctx& c) { SetTileType(c, false); }},
        {"BeginTime1", beginTime<0>},
        {"Window1", window<0>},
        {"Next1", [](Ctx& c) { NextPrevious(c, true); }},
        {"Previous1", [](Ctx& c) { NextPrevious(c, false); }},
        {"StepIncrement1", asked<StepIncrementCommand>},
        {"FileInfo1", FileInfo1Click},
        {"SamplingFrequency1", asked<SamplingFrequencyCommand>},
        {"ChangeMatrixfile1", ChangeMatrixfile1Click},
        {"ChangeNewMatrixfile1", [](Ctx& c) { runCommand(c, [&] { ChangeNewMatrixfile(c, true); }); }},
        {"Smoothing1", Smoothing1Click},
        {"ImportElectrogram1", ReadEleTextFile1Click},
        {"ImportConnections1", ReadConnections1Click},
        {"ImportMarks1", Readmarksfromtxt1Click},
        {"ExportMarks1", SaveMarkstotxt1Click},
        {"ExportElectrogram1", SaveEletotxt1Click},
        {"ExportAnimation1", savemarkstoanimation1Click},
        {"ExportSingleElectrogram1", savesingleelemarks1Click},
        {"ExportMatrixData1", savedatainmatrixtextfile1Click},
        {"ExportTavring1", SaveTavrinFile1Click},
        {"ExportToRealBasic1", SavetoRealBasic1Click},
        {"ExportRecordingElg1", SaveRecordingAsElg1Click},
        {"ExportStudyTables1", StudyTables1Click},
        {"ShowDatapad1", showDatapad1Click},
        {"MakeConnections1", MakeConnections1Click},
        {"SlowWave1", markType<0, SlowWave>},
        {"Spike1", markType<0, Spike>},
        {"TypeMark31", markType<0, Type3>},
        {"ShowMiniWindow1", ShowMiniWindow1Click},
        {"ShowMarkStatistics1", ShowMarkStatistics1Click},
        {"CalcAmplitudes1", CalculateAmplitudesSlopes1Click},

        {"TimeMap1", mapKind<1, 0>},
        {"IntervalMap1", mapKind<1, 3>},
        {"ElectrodeMap1", mapKind<1, 2>},
        {"CountMap1", mapKind<1, 1>},
        {"Amplitude1", mapKind<1, 4>},
        {"Slope1", mapKind<1, 5>},
        {"Velocities1", mapKind<1, 6>},
        {"MarkNr1", mapKind<1, 7>},
        {"Electrograms1", [](Ctx& c) { ChooseElectrograms(c, 1); }},
        {"Analyse1", ChooseAnalyse},
        {"ElgWaveforms1", ChooseElgWaveforms},
        {"BeginTime2", beginTime<1>},
        {"Window2", window<1>},
        {"SlowWave2", markType<1, SlowWave>},
        {"Spike2", markType<1, Spike>},
        {"MarkType31", markType<1, Type3>},

        {"TimeMap2", mapKind<2, 0>},
        {"IntervalMap2", mapKind<2, 3>},
        {"ElectrodeMap2", mapKind<2, 2>},
        {"CountMap2", mapKind<2, 1>},
        {"Amplitude2", mapKind<2, 4>},
        {"Slope2", mapKind<2, 5>},
        {"MarkNr2", mapKind<2, 7>},
        {"Electrograms2", [](Ctx& c) { ChooseElectrograms(c, 2); }},
        {"BeginTime3", beginTime<2>},
        {"Window3", window<2>},
        {"SlowWave3", markType<2, SlowWave>},
        {"Spike3", markType<2, Spike>},
        {"MarkType32", markType<2, Type3>},

        {"ShowMapStatistics1", ShowMapStatistics1Click},
        {"ShowMiniMap1", ShowMiniMap1Click},
        {"ExpandMap1", ExpandMap1Click},
        {"RemoveExpand1", RemoveExpand1Click},
        {"ShowSWsSpikes1", [](Ctx& c) { ToggleMapOption(c, MapOption::SWsAndSpikes); }},
        {"ChangeIsochrones1", asked<ChangeIsochrones1Click>},
        {"ReferenceTime1", asked<ReferenceTime1Click>},

        {"UndoDeletedMarks1", UndoDeletedMarks1Click},
        {"Amplification1", asked<AmplificationCommand>},
        {"NumberChannels1", asked<NumberOfTracesCommand>},
        {"GotoChannel1", asked<GotoChannelCommand>},
        {"ZoomIn1", [](Ctx& c) { Zoom(c, true); }},
        {"ZoomOut1", [](Ctx& c) { Zoom(c, false); }},
        {"ShowAmplitudeSlope1", ToggleShowAmplitudes},
        {"Interpolate1", [](Ctx&) {}},  // has no effect
        {"SpikeStats1", SpikeStats1Click},
        {"AutomaticSWMarking1", AutomaticSWmarking1Click},

        {"TimeDiff1", [](Ctx& c) { SetWaveMode(c, 1); }},
        {"WaveModeMarkNr1", [](Ctx& c) { SetWaveMode(c, 2); }},
        {"GotoWaveNr1", asked<GotoWaveNr>},
        {"GotoNextWave1", GotoNextWave},
        {"GotoPreviousWave1", GotoPreviousWave},
        {"ShowStatistics1", waveSwitch<WaveSwitch::Statistics>},
        {"ChangeWaveDifference1", asked<ChangeWaveDifference>},
        {"CalculateWaves1", CalculateWaves1Click},
        {"PlotLocalTimes1", waveSwitch<WaveSwitch::LocalTimes>},
        {"AutomaticPositioning1", waveSwitch<WaveSwitch::AutoPositioning>},

        {"FrequentCommands1", FrequentCommands1Click},
    };
    return table;
}

const std::vector<TitleButtonCommand>& TitleButtonCommands() {
    static const std::vector<TitleButtonCommand> table = {
        {"order", [](Ctx& c, int panel, int item) { ChooseTraceOrder(c, panel, item); }},
        {"Map", [](Ctx& c, int panel, int) { SetDisplayType(c, panel, 0); }},
        {"Ele", [](Ctx& c, int panel, int) { SetDisplayType(c, panel, 1); }},
        {"Wav", [](Ctx& c, int panel, int) { SetDisplayType(c, panel, 2); }},
        {"T", [](Ctx& c, int, int) { SetPanelTile(c); }},
        {"A", [](Ctx& c, int, int) { ScaleAmplification(c, true); }},
        {"a", [](Ctx& c, int, int) { ScaleAmplification(c, false); }},
        {"B", [](Ctx& c, int panel, int) { runCommand(c, [&] { BeginTimeCommand(c, panel, true); }); }},
        {"W", [](Ctx& c, int panel, int) { runCommand(c, [&] { WindowCommand(c, panel, true); }); }},
        {"<", [](Ctx& c, int panel, int) { PageCommand(c, panel, false); }},
        {">", [](Ctx& c, int panel, int) { PageCommand(c, panel, true); }},
        {"W+", [](Ctx& c, int panel, int) { StepWave(c, panel, true); }},
        {"W-", [](Ctx& c, int panel, int) { StepWave(c, panel, false); }},
        {"+", [](Ctx& c, int panel, int) { StepMarkNr(c, panel, true); }},
        {"-", [](Ctx& c, int panel, int) { StepMarkNr(c, panel, false); }},
    };
    return table;
}

void RunTitleButton(Ctx& ctx, const std::string& button, int panel, int item) {
    for (const TitleButtonCommand& t : TitleButtonCommands())
        if (button == t.button) t.run(ctx, panel, item);
}

}  // namespace vk
