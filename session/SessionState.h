// The program-wide state: one recording, its electrode matrix, the view of
// the two panels, the preferences and the flags that every part reads.
//
// There is exactly one SessionState per program run (tests make their own).
// Variables carry the names the rest of the program uses for them. The large
// buffers are allocated once, at full capacity, when the state is made;
// nothing is allocated per recording, per mark or per paint.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "session/MapCell.h"
#include "session/MarkRecord.h"
#include "session/Canvas.h"
#include "session/ChangeFlag.h"
#include "session/Numbers.h"
#include "session/ZeroedBuffer.h"

namespace vk {

inline constexpr int MaxChannels = 256;
inline constexpr int MaxSamples = 65535;          // rows of Signals
inline constexpr int RawFrameCapacity = 16777216;  // int16 values in RawFrames
inline constexpr int MaxGrid = 100;                // columns and rows of MatrixGrid
inline constexpr int ElgHeaderSize = 4096;

// Signals[sample 1..65535][channel 1..256], sample-major: a row holds one
// sample of every channel.
class SignalBuffer {
public:
    SignalBuffer() : data_(static_cast<size_t>(MaxSamples + 1) * MaxChannels) {}
    int32_t& at(int sample, int channel) {
        return data_[static_cast<size_t>(sample) * MaxChannels + static_cast<size_t>(channel - 1)];
    }
    int32_t at(int sample, int channel) const {
        return data_[static_cast<size_t>(sample) * MaxChannels + static_cast<size_t>(channel - 1)];
    }
    // The 256 values of one sample row (channel 1 first).
    int32_t* row(int sample) { return data_.data() + static_cast<size_t>(sample) * MaxChannels; }
    const int32_t* row(int sample) const { return data_.data() + static_cast<size_t>(sample) * MaxChannels; }

private:
    ZeroedBuffer<int32_t> data_;
};

// Number formatting of the user's system (thousands and decimal separators).
struct NumberFormat {
    char decimalSeparator = '.';
    char thousandsSeparator = ',';
};

// The edits of one panel of the import window, as the user sees them.
struct ImportEdits {
    std::string NrChannels, NrSamples, SamplingRate, MatrixName;
};

// The values of an Auckland file's header.
struct AucklandHeader {
    int32_t HeaderLines = 0, NrChannels = 0, NrSamples = 0, SamplingRate = 0;
    double Calibration = 0.0;
    std::string MatrixName, Comments;
};

// The import window "ImportF": the panel it shows, the file it would load,
// the panels' edits (kept from one import to the next), the Auckland header
// read for it and whether the panel shown warns of a cut sample count.
struct ImportWindowState {
    int Panel = 0;  // the import type shown: 4 Nashville, 5 Auckland, 6 Manchester; 0 not set up
    std::string FileName;
    ImportEdits Nashville{"48", "0", "30", "NewE48.txt"};
    ImportEdits Manchester{"64", "0", "1000", "NewMing64.txt"};
    AucklandHeader Auckland;
    bool Warning = false;
    bool Shown = false;
};

// Settings edited in the preferences dialog (defaults as at every start).
struct Preferences {
    std::array<int32_t, 4> MinDiffLevel{0, -100, -200, -1};  // [mark type 1..3]
    std::array<int32_t, 4> SearchWidth{0, 300, 100, 300};
    std::array<int32_t, 4> DiffDist{0, 100, 10, 50};
    int32_t SearchCriteria = 1;
    bool AvoidDoubleMarks = true;
    int32_t DoubleWidth = 5;
    bool UseIntervalRange = true;
    int32_t MinIntervalRange = 2000;
    int32_t MaxIntervalRange = 6000;
    int32_t TimeDigitFormat = 0;
    int32_t ValueDigitFormat = 2;
    int32_t ExpandCycles = 10;
    int32_t ExpandNeighbours = 3;
    bool LimitVelocity = false;
    int32_t MaxVelocity = 20;
    int32_t ArrowScale = 5000;
    int32_t VelocityStep = 1;
    int32_t AnimStepTime = 100;
    int32_t AnimBeginTime = 0;
    int32_t AnimSWDuration = 2000;
    int32_t AnimEndTime = Missing;
    bool LimitIntervals = false;
    int32_t MaxIntervalValue = 6000;
};

struct SessionState {
    SessionState();

    // Where the matrix folders and the recent-file list live.
    std::string DataRoot;
    NumberFormat Locale;

    // Recording identity.
    std::string FileName;
    std::string FileExt;
    std::string MarkFileName;
    std::string MatrixFileName;
    std::string NewMatrixName;
    int32_t FileType = 0;
    int32_t ImportType = 0;
    std::string FileInfo;
    // The settings file beside the recording when there is one, "" otherwise.
    std::string SettingsFileName;
    // The channel count of the text recording imported last.
    int32_t ImportedChannels = 0;

    // Recording dimensions.
    int32_t NrChannelsInFile = 0;
    int32_t BytesPerSample = 0;
    int32_t FrameSize = 0;
    int32_t HeaderFrames = 0;
    int32_t NrOfFrames = 0;
    int32_t NrSamples = 0;  // sample count of a text import
    int32_t SignalLength = 0;
    int32_t SamplingFrequency = 1000;
    bool HighRateMode = false;
    int16_t HeaderWordA = 0;
    int16_t HeaderWordB = 0;
    std::array<uint8_t, ElgHeaderSize> ElgHeader{};

    SignalBuffer Signals;
    ZeroedBuffer<int16_t> RawFrames;

    // Electrode matrix.
    int32_t NrElectrodes = 0;
    int32_t NrColumns = 0;
    int32_t NrRows = 0;
    double ElectrodeDistance = 1.0;
    std::array<int32_t, MaxChannels + 1> ElectrodeCol{};  // [1..256], -1 = not placed
    std::array<int32_t, MaxChannels + 1> ElectrodeRow{};
    // MatrixGrid[column 1..100][row 1..100], -1 = empty position.
    std::array<std::array<int32_t, MaxGrid + 1>, MaxGrid + 1> MatrixGrid{};
    bool TileRectangle = true;

    // View state of the panels.
    int DisplayTypeA = 1, DisplayTypeB = 1;  // 0 map, 1 electrograms, 2 wave map
    int32_t BeginTimeA = 0, BeginTimeB = 0;
    int32_t WindowA = 4000, WindowB = 4000;
    int32_t BeginTimeAll = 0, WindowAll = 4000;
    int32_t StepIncrement = 100;
    int MapKindA = 0, MapKindB = 0;
    std::array<int32_t, 3> CurrentMarkType{0, 1, 1};  // [1] panel A, [2] panel B
    int32_t WaveNrA = 1, WaveNrB = 1;
    int ElgViewMode = 0;
    int32_t NrTraces = 24;
    int32_t FirstChannel = 17;
    int TraceOrder = 1;
    double Amplification = 0.01;
    bool Tiled = false;
    int32_t ActiveDisplay = 0;
    bool DrawOnA = true, DrawOnB = false;
    int32_t BeginTime = 0, WindowTime = 4000;  // per-draw copies
    int32_t UnitsPerMillivolt = 747;
    int32_t RefTime = 0;
    int32_t RefElectrode = 0;
    int32_t CurrentMarkNr = 1;
    int32_t WaveMode = 2;
    int32_t MaxNrSamples = 65500;  // largest sample count a text import accepts
    int32_t NrNIChannels = 64;

    // Size of panel A's main panel and of the main area, as last laid out.
    int32_t PanelAWidth = 800, PanelAHeight = 600;
    int32_t MainAreaWidth = 800, MainAreaHeight = 600;

    // Geometry of the electrogram panel drawn last (the mouse handlers use it).
    int32_t PlotLeft = 30, PlotTop = 10, PlotWidth = 730, PlotHeight = 550;
    int32_t TraceSpacing = 100;
    int32_t FirstSample = 0, LastSample = 0;
    double PixelsPerSample = 1.0;
    double TraceMean = 0.0;

    // Electrogram display options.
    bool ShowElgMarks = true;
    bool ShowElgTimes = true;
    bool ShowElgIntervals = false;
    bool ShowSpikeIntervals = false;
    bool ShowBackgroundColor = true;
    bool AverageOffsetOn = true;
    bool ShowAmplitudes = false;
    bool PlotOnlyDots = false;
    bool PlotMarkNr = false;
    bool ShowElgConnections = true;
    bool BipolarMode = false;
    bool AnalyseChecked = false;
    bool ShowSWsAndSpikes = false;
    bool ShowWaveStatistics = false;

    // Which electrodes the trace rows show.
    int32_t StartCol = 1, StartRow = 1;
    std::array<int32_t, MaxChannels + 1> FreeTraceList{};  // [1..256]
    int32_t FreeTraceCount = 0;
    int TraceOrderItemA = 0, TraceOrderItemB = 0;  // item shown by each panel's trace-order box

    // Interval of each mark slot to the previous mark (Missing when none).
    std::vector<int32_t> MarkInterval;
    // Scratch space of the drawing and interval code, kept to avoid
    // allocating on every paint.
    std::vector<int32_t> MarkOrder;
    std::vector<Point> TracePoints;
    std::vector<int32_t> RowElectrodes, TraceXs;
    std::vector<int64_t> TraceSums;
    std::vector<int64_t> TraceValues;
    std::vector<double> TraceMeans;

    // Map placement on its panel (the map drawing fills these in).
    int32_t MapLeft = 10, MapTop = 10, CellWidth = 0, CellHeight = 0;
    int32_t CellElectrode = 0;

    // Maps. The buffer of the map drawn last, the window and kind of the map
    // panel being drawn, the results of the last time load, where the map
    // lies on its panel, and the switches of the Map menu.
    MapBuffer MapBuf;
    int32_t MapBegin = 0, MapWindow = 4000;  // per-draw copies of the panel's window
    int MapKind = 0;                         // per-draw copy of MapKindA / MapKindB
    int32_t MinMapTime = NoMinMapTime, MaxMapTime = NoMaxMapTime;
    int32_t MapTimeCount = 0;                // cell updates of the last time load
    int32_t EarliestTime = NoMinMapTime;     // base of the colour bands
    int32_t MapRight = 0, MapBottom = 0;
    bool ShowMapColors = true, ShowMapDigits = true, ShowGrid = true;
    int32_t IsochroneWidth = 500;            // ms; also the width of the colour bands
    bool PlotIsochrones = false;
    // The velocities of the last arrow calculation, and whether maps get arrows.
    MapGrid<VelocityRec> VelocityBuf;
    bool PlotArrows = false;
    // The cell times as last drawn on panel A [1] and B [2]: the live caption
    // and the H key of a panel read its own map, also when the other panel
    // showed a map after it.
    std::array<MapGrid<int32_t>, 3> PanelMapTime{MapGrid<int32_t>(Missing), MapGrid<int32_t>(Missing),
                                                 MapGrid<int32_t>(Missing)};
    MapScratch MapWork;
    int32_t WaveCount = 0;

    // Waves: WaveTimes[e][w] and FreeTimes[e][slot] as (e * 201 + w), see waves/.
    std::vector<int32_t> WaveTimes, FreeTimes;
    std::array<int32_t, 4> WaveDifference{0, 500, 150, 500};  // [mark type 1..3], ms
    bool PlotLocalTimes = false;
    bool AutoPositioning = false;
    int32_t PrevWaveNr = 0;
    int32_t WaveCentreCol = 0, WaveCentreRow = 0;

    // The waveform grid: its switches ("Wave Form Settings:"), the samples
    // drawn per cell, and the layout of the grid drawn last.
    int32_t WaveSignalLength = 1000;
    bool WaveGrid = true, WaveMarkAlign = false, WavePlotElgNr = false, WaveGridLabel = true;
    int32_t WaveCellWidth = 0, WaveCellHeight = 0;
    double WaveXScale = 1.0;
    int32_t WaveSegmentStart = 0;

    // The single-electrogram analysis window: the electrode shown and the
    // samples that its horizontal scale fits into the paint box.
    int32_t AlyElectrode = 17;
    int32_t AlyWindow = 4000;

    // The live captions of the two title bars.
    std::string CaptionA, CaptionB;

    // Cursor state.
    int32_t MouseX = 0, MouseY = 0;
    int32_t CursorTime = 0;
    int32_t CurrentElectrode = 0;
    int32_t CurrentTrace = -1;

    // Marking by hand: the first click on an electrogram panel arms it; Shift
    // held alone makes clicks search the downstroke.
    bool MarkingArmed = false;
    bool SearchMarking = false;

    // Flags.
    bool FileLoaded = false;
    bool SignalsLoaded = false;
    bool ImportedFile = false;
    bool SmoothOnLoad = true;
    bool ShowMemo = false;
    ChangeFlag MarksChanged;

    // Marks: slots 1..MarkCount of MarkTable, in the order they were made or read.
    std::vector<MarkRecord> MarkTable;  // 32768 slots
    int32_t MarkCount = 0;
    std::array<UndoEntry, UndoCapacity> UndoStore{};  // entry 0 is the newest
    int32_t UndoCount = 0;
    int32_t MarkOrigin = ManualOrigin;
    int32_t MarkNrA = 1, MarkNrB = 1;
    bool WavesOutdated = true;
    bool UnhideEnabled = false;     // some marks were hidden from the maps
    bool MarkStatisticsShown = false;
    // The mark file's header as last prepared or read.
    std::array<uint8_t, MarkHeaderSize> MarkHeader{};
    // MarkMeasures[slot 1..32767]: the measurement of the mark in that slot.
    std::vector<MeasureRecord> MarkMeasures;
    // The Data Pad's grid, row 0 its header: the cells as the user sees them.
    std::vector<std::vector<std::string>> DataPad;
    bool DataPadRequested = false;  // a command filled it and asks for it to be shown
    // Connections: slots 1..ConnCount of Connections (3000 slots), deleted
    // ones kept in place; the file they are saved to; the mark remembered
    // by the key that starts a connection by hand (Missing: none).
    std::vector<Connection> Connections;
    int32_t WhichElectrode = 0;     // the electrode of "All Marks in One Electrogram"
    int32_t ConnCount = 0;
    ChangeFlag ConnectionsChanged;
    // The window keeps a journal of the unsaved mark changes of this
    // recording (the command-line tool never does).
    bool JournalMarks = false;
    // The changes not saved yet, as the journal counts them (one for every
    // click, key or command that set MarksChanged or ConnectionsChanged),
    // and the tally of both flags when they were last counted.
    uint32_t UnsavedChanges = 0;
    uint64_t ChangesCounted = 0;
    // Waits for the journal entry being written in the background and drops
    // the ones not begun (the window sets it): whatever writes the mark file
    // or removes the journal calls it first.
    std::function<void()> SettleJournal;
    std::string ConnFileName;
    int32_t RememberedElectrode = Missing, RememberedTime = Missing;
    // The reference table: RefList[1..RefCount] (entry 1 is no reference),
    // the entry chosen by number or by click, and the pair OK applies.
    std::array<RefEntry, MaxReferences + 1> RefList{};
    int32_t RefCount = 1;
    int32_t SelectedRef = 0, SelectedRow = 0;
    int32_t CandidateElectrode = 0, CandidateTime = 0;
    // Automatic slow-wave marking: noise deviation of the electrode examined last.
    double NoiseSD = 0.0;

    // Printing: the settings kept from one print command to the next
    // (panels 0 top/left, 1 bottom/right, 2 both; orientation 0 landscape,
    // 1 portrait), the description of the printed map for the status box,
    // and the figures of the wave statistics last drawn.
    int32_t PrintPanels = 0;
    int32_t PrintOrientation = 0;
    bool PrintOnlyMarks = false;
    std::string PrintCaption, PrintPanelCaption;
    int32_t SpikeNr = 1;
    int32_t WaveSites = 0, WaveXSize = 0, WaveYSize = 0;

    Preferences Prefs;

    // Text recording imports: the file last chosen for each format, the
    // Auckland header values of the recording imported last, the window.
    std::string NIFileName, NashvilleFileName, AucklandFileName, ManchesterFileName;
    int32_t AucklandHeaderLines = 0;
    double AucklandCalibration = 0.0;
    std::string AucklandComments;
    ImportWindowState ImportF;

    // Recent files, entry 1 newest: RecentTypes[i], RecentNames[i] for i = 1..10.
    std::array<std::string, 11> RecentTypes;
    std::array<std::string, 11> RecentNames;

    // Filter preselected in the open dialog (the dialog remembers the last choice).
    int OpenFilterIndex = 5;

    // Lines of the main window's text window.
    std::vector<std::string> Memo1;

    // Map expansion: holes filled from their neighbours on every map draw.
    bool ExpandMap = false;
    // Once asked for, every map and wave draw recomputes the map statistics.
    bool ShowMapStatistics = false;
    // The electrogram tools window: the lines of its statistics memo, and a
    // command's request to bring the window up.
    std::vector<std::string> StatsMemo;
    bool StatsMemoRequested = false;
    // The interval statistics of the last "Spike Stats", per electrode 1..256.
    struct EleStatRecord {
        double Electrode = Missing, Nr = Missing, Avg = Missing, StDev = Missing, Min = Missing, Max = Missing,
               Range = Missing;
    };
    std::array<EleStatRecord, MaxChannels + 1> EleStats{};
    // The two small windows of the electrode array; the electrode under the
    // mouse on the mini map (-1 outside its grid).
    bool ShowMiniMap = false;
    bool ShowMiniWindow = false;
    int32_t MiniElectrode = -1;
};

// Gives every variable its start-up default (the initialisation at program
// start). The buffers keep their storage.
void InitSession(SessionState& s);

// The folders under the data root that hold the matrix files.
std::string MyMatrixDir(const SessionState& s);
std::string MyNewMatrixDir(const SessionState& s);
// The recent-file list.
std::string RecentListPath(const SessionState& s);
// The file of the recording that is open: the NI file for an NI import
// (which leaves FileName to the recording opened before it), else FileName.
// Its connections file and the status bar go by this name.
std::string RecordingPath(const SessionState& s);

}  // namespace vk
