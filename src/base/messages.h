#pragma once

// Everything the program tells the user about a job that did not go as asked, in one place so
// that every message reads alike: a first line saying what happened, a line for each file
// concerned, and the reason, which ends with what to do. The desktop program shows the text in a
// message box; the command line prints it on its standard error.
//
// The texts are in the system code page. They are defined in the engine, so code compiled to
// another code page (the tests on Windows) compares through these constants.

#include <cstdint>
#include <string>

namespace rendlow {

// The completion message, shown only when the rendering MIDI file was written.
extern const char* const kMidiWrittenMessage;

// The first lines of the other messages.
extern const char* const kMidiNotWrittenMessage;
extern const char* const kSettingsNotSavedMessage;
extern const char* const kChartRefusedMessage;  // the chart passes a limit of the format
extern const char* const kChartFailedMessage;
extern const char* const kOverwriteRefusedMessage;   // an output would replace the input MIDI file
extern const char* const kMidiUnreadableMessage;     // the MIDI file cannot be read again at output
extern const char* const kTrackTooComplexMessage;    // a track's layout passes its bounds
extern const char* const kRetimingUnsettledMessage;  // written, but the re-timing did not settle
extern const char* const kMidiNotLoadedMessage;      // the command line's input cannot be read
extern const char* const kSettingsUnreadableMessage;

// --- Whole messages ----------------------------------------------------------------------

// A file that could not be written; `reason` from writeReason or a limit of the file.
std::string midiNotWrittenMessage(const std::string& path, const std::string& reason);
std::string settingsNotSavedMessage(const std::string& path, const std::string& reason);
std::string chartFailedMessage(const std::string& path, const std::string& reason);
// A chart left unwritten on purpose; `reason` names the limits it passes.
std::string chartRefusedMessage(const std::string& path, const std::string& reason);

// The files an output writes, as the overwrite refusal names them.
enum class OutputKind { RenderingMidi, Settings, Chart };
std::string overwriteRefusedMessage(const std::string& input, OutputKind kind, const std::string& output);

// The MIDI file could not be read again when the output began; `reason` from midiFileProblem.
std::string midiUnreadableMessage(const std::string& path, const std::string& reason);

// Track `number` (1 for the file's first) could not be laid out within its bounds.
std::string trackTooComplexMessage(const std::string& midiPath, int32_t number, const std::string& name);

// The rendering MIDI file was written although the re-timing stopped without settling: after
// `cycles` cycles, or because a tick would pass the largest a file can hold.
std::string retimingUnsettledMessage(const std::string& path, bool overflow, int32_t cycles);

// The command line's input: a MIDI file it cannot read (`namedBy` is the settings file that named
// it, if any), or a settings file it cannot use.
std::string midiNotLoadedMessage(const std::string& path, const std::string& reason,
                                 const std::string& namedBy = {});
std::string settingsUnreadableMessage(const std::string& path, const std::string& reason);

// --- Reasons -----------------------------------------------------------------------------

// Why a file could not be written or read, from the C library's error number.
std::string writeReason(int errorNumber);
std::string readReason(int errorNumber);
std::string noFileNameReason();

// A rendering file would need a delta time larger than a MIDI file can hold (`limit`).
std::string deltaTooLargeReason(int32_t trackNumber, const std::string& trackName, int64_t delta, int64_t limit);
// A track of the rendering file would last longer, in ticks, than a MIDI file can count (`limit`).
std::string renderingTooLongReason(int32_t trackNumber, const std::string& trackName, int64_t ticks,
                                   int64_t limit);

// Why a file is not a MIDI file the reader can use.
std::string folderReason();
std::string notMidiReason();
std::string headerCutShortReason();
std::string divisionReason(int32_t division);
// A settings file without an "i" line.
std::string noMidiNamedReason();

// A settings line longer than the reader takes; `what` says which line: the input or output path,
// a row's settings, or a header text ("GENRE").
std::string settingsLineTooLongReason(const std::string& what, std::size_t length, std::size_t limit);
std::string settingsLineOfPath(bool input);
std::string settingsLineOfRow(int row, const std::string& trackName);

// Limits of the chart format. `atLeast`: a sound lies past the longest grid, so the count is a
// lower bound.
std::string wavIdBreach(int64_t largest, int64_t limit);
std::string bpmIdBreach(int64_t largest, int64_t limit);
std::string measureBreach(int64_t last, int64_t limit, bool atLeast);
// A line of `measure` on `channel` would hold more slots than `limit`; or, with the lines up to
// `measure`, the chart would be larger than `limitMiB`.
std::string lineSlotsBreach(int32_t measure, int channel, int64_t limit);
std::string chartSizeBreach(int32_t measure, int64_t limitMiB);

}  // namespace rendlow
