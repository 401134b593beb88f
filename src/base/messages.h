#pragma once

// Everything the program tells the user, in one place, so that every message reads alike: a
// first line saying what happened, a line for each file concerned, and the reason, which ends
// with what to do. Each text is here in Japanese and English; the window shows the Japanese one,
// the command line the one of the user's language. Texts are in the system code page.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "base/message.h"

namespace rendlow {

// --- Putting messages together -----------------------------------------------------------

// The headline, then each further line, one per line.
Message compose(const Message& headline, std::initializer_list<Message> lines);
// The line naming the file a message is about.
Message fileLine(const std::string& path);

// --- Whole messages ----------------------------------------------------------------------

// The completion message, shown only when the rendering MIDI file was written.
Message midiWrittenMessage();

// A file that could not be written; `reason` from writeReason or a limit of the file.
Message midiNotWrittenMessage(const std::string& path, const Message& reason);
Message settingsNotSavedMessage(const std::string& path, const Message& reason);
Message chartFailedMessage(const std::string& path, const Message& reason);
// A chart left unwritten on purpose; `reason` names the limits it passes.
Message chartRefusedMessage(const std::string& path, const Message& reason);

// The files an output writes, as the refusals name them.
enum class OutputKind { RenderingMidi, Settings, Chart };
// An output file would replace the input MIDI file.
Message overwriteRefusedMessage(const std::string& input, OutputKind kind, const std::string& output);
// Two output files would be one file.
Message outputsCollideMessage(OutputKind first, const std::string& firstPath, OutputKind second,
                              const std::string& secondPath);
// An output's path holds something other than a regular file: a folder, a device, a pipe.
Message outputNotAFileMessage(OutputKind kind, const std::string& path);
// An output's file name holds a character the system refuses in one.
Message outputNameForbiddenMessage(OutputKind kind, const std::string& path);
// An output file exists without its owner's permission to write it.
Message outputReadOnlyMessage(OutputKind kind, const std::string& path);
// Two converted tracks (rows from 1, names) would name their sound files alike.
Message definitionNameSharedMessage(const std::string& definitionName, int32_t firstRow,
                                    const std::string& firstTrack, int32_t secondRow,
                                    const std::string& secondTrack);

// The MIDI file could not be read again when the output began.
Message midiUnreadableMessage(const std::string& path, const Message& reason);

// Track `number` (1 for the file's first) could not be laid out within its bounds.
// Why a track cannot be laid out in the rendering file, and what the author can change.
Message trackTooComplexReason();
Message trackTooComplexMessage(const std::string& midiPath, int32_t number, const std::string& name,
                               const Message& reason);

// The rendering MIDI file was written although the re-timing stopped without settling: after
// `cycles` cycles, or because a tick would pass the largest a file can hold.
Message retimingUnsettledMessage(const std::string& path, bool overflow, int32_t cycles);

// A MIDI file that cannot be read (`namedBy` is the settings file that named it, if any), or a
// settings file that cannot be used.
Message midiNotLoadedMessage(const std::string& path, const Message& reason, const std::string& namedBy = {});
Message settingsUnreadableMessage(const std::string& path, const Message& reason);

// An edit names row `row` (from 0) of a song that has `rows` track rows.
Message noSuchRowMessage(int row, std::size_t rows);

// The MIDI file is damaged; `losses` holds one line per damaged track (see the damage reasons).
// What was read is converted all the same.
Message midiDamagedMessage(const std::string& path, const Message& losses);

// The song has no note: the rendering file and the chart were written without a sound.
Message songWithoutNotesMessage(const std::string& path);

// The command line loads the settings file saved beside the MIDI file it was given.
Message usingSavedSettingsMessage(const std::string& settingsPath);

// After a job that did not write everything: the files written, and those not written.
Message filesSummaryMessage(const std::string& written, const std::string& notWritten);

// --- Reasons -----------------------------------------------------------------------------

// Why a file could not be written or read, from the C library's error number.
Message writeReason(int errorNumber);
Message readReason(int errorNumber);
Message noFileNameReason();

// A rendering file would need a delta time larger than a MIDI file can hold (`limit`).
Message deltaTooLargeReason(int32_t trackNumber, const std::string& trackName, int64_t delta, int64_t limit);
// A track of the rendering file would last longer, in ticks, than a MIDI file can count (`limit`).
Message renderingTooLongReason(int32_t trackNumber, const std::string& trackName, int64_t ticks,
                               int64_t limit);

// Why a file is not a MIDI file the reader can use.
Message folderReason();
Message notMidiReason();
Message headerCutShortReason();
Message divisionReason(int32_t division);
// A division that counts SMPTE time: `framesPerSecond` frames, each of `ticksPerFrame` ticks.
Message smpteDivisionReason(int32_t framesPerSecond, int32_t ticksPerFrame);
// A format 2 file: independent songs, one per track, which one chart cannot play together.
Message independentSongsReason();
// A settings file without an "i" line.
Message noMidiNamedReason();

// What a damaged MIDI file lost, one line each: the file ends inside track `track`; a number or
// a tick of track `track` is past what a MIDI file can hold, so the rest of the file is not
// read; chunk `track` is not a track; the file ends after `read` of the `announced` tracks; a
// Set Tempo of 0 at `tick` of track `track` was skipped.
Message trackCutShortDamage(int32_t track, const std::string& name);
Message numberTooLongDamage(int32_t track, const std::string& name);
Message tickPastLimitDamage(int32_t track, const std::string& name);
Message notATrackDamage(int32_t track);
Message tracksMissingDamage(int32_t read, int32_t announced);
Message tempoZeroDamage(int32_t track, const std::string& name, int32_t tick);

// A settings line longer than the reader takes; `what` says which line: the input or output path,
// a row's settings, or a header text ("GENRE").
Message settingsLineTooLongReason(const Message& what, std::size_t length, std::size_t limit);
Message settingsLineOfPath(bool input);
Message settingsLineOfRow(int row, const std::string& trackName);
// A header text, by its name in the chart ("GENRE").
Message settingsLineOfHeader(const std::string& headerName);
// Line `lineNumber` (from 1) of a settings file is longer than the reader takes (`limit`).
Message settingsLineUnreadableReason(std::size_t lineNumber, std::size_t limit);

// Limits of the chart format. `atLeast`: a sound lies past the longest grid, so the count is a
// lower bound.
Message wavIdBreach(int64_t largest, int64_t limit);
Message bpmIdBreach(int64_t largest, int64_t limit);
Message measureBreach(int64_t last, int64_t limit, bool atLeast);
// A line of `measure` on `channel` would hold more slots than `limit`; or, with the lines up to
// `measure`, the chart would be larger than `limitMiB`.
Message lineSlotsBreach(int32_t measure, int channel, int64_t limit);
Message chartSizeBreach(int32_t measure, int64_t limitMiB);

// Several reasons, one per line.
Message linesOf(const Message& first, const Message& second);

// --- The desktop program: texts outside code page 932 ---------------------------------------

// A file the user chose in the window (the open dialog, a drop, the output box) has a path with
// characters that code page 932 lacks, so no name of the engine can reach it.
Message pathOutsideCodePageMessage(const std::string& path);
// A path that code page 932 holds, but that the system's ANSI code page `codePage`, in which the
// engine opens files, reads as another name.
Message pathOutsideSystemCodePageMessage(const std::string& path, unsigned codePage);
// A box of the window holds `text`, with characters that code page 932 lacks.
Message textOutsideCodePageMessage(const std::string& text);

// --- The desktop program: keysounds from stems ---------------------------------------------

// How to render the stems that "ステムから切り出し" cuts the sound files from, and the mix it
// measures the chart against.
Message stemsHelpMessage();

// --- Definition names that cannot name a file -----------------------------------------------

// Line `lineNumber` (from 1) of a settings file gives a row a definition name that cannot name a
// file in the chart's folder (see isSafeFileName).
Message settingsNameRefusedReason(std::size_t lineNumber, const std::string& definitionName);
// The desktop program's settings group holds such a name; nothing was changed.
Message definitionNameRefusedMessage(const std::string& definitionName);

// --- The desktop program: the settings group and closing -------------------------------------

// A number box of the settings group holds `typed`, which is no whole number from `smallest` to
// `largest`; `field` is the box's field, as --set names it. The box goes back to its last good value.
Message numberOutOfRangeMessage(std::string_view field, const std::string& typed, int32_t smallest,
                                int32_t largest);
// The question asked when the window closes with settings that no file holds yet.
Message unsavedSettingsQuestion();

// --- The desktop program: opening a settings file ------------------------------------------

// The settings file at `settingsPath` names `midiPath`, which is not there; nothing was loaded.
Message setupSongMissingMessage(const std::string& settingsPath, const std::string& midiPath);

// --- The desktop program: the message box's buttons ------------------------------------------

// The captions of the buttons the window's message boxes answer with.
Message okButtonCaption();
Message yesButtonCaption();
Message noButtonCaption();
Message cancelButtonCaption();

// --- Fitting a .bme chart into its #WAV ids ------------------------------------------------

// One setting the fit changes on a row (from 0): the field as --set names it.
struct FittedField {
  int row = 0;
  std::string trackName;
  std::string name;
  int32_t before = 0;
  int32_t after = 0;
};

// The chart's ids run up to `largest`, past `limit`; with the settings the fit chooses (`fitted`)
// they run up to `fittedLargest`. The advice --fit would follow, measured.
Message wavIdBreach(int64_t largest, int64_t limit, const std::vector<FittedField>& fitted, int64_t fittedLargest);
// The same when even the coarsest slicing needs ids up to `coarsest`.
Message wavIdBreachUnfittable(int64_t largest, int64_t limit, int64_t coarsest);
// --fit found no slicing within `limit`: the coarsest still needs ids up to `coarsest`.
Message fitImpossibleMessage(int64_t largest, int64_t coarsest, int64_t limit);
// What --fit did: the ids ran up to `before`, now to `after`; the notes' sounds stray from them by
// `strayBefore`, now `strayAfter` dB on average. Then one line per row it changed.
Message fitDoneLine(int64_t before, int64_t after, int64_t limit, double strayBefore, double strayAfter);
Message fitRowLine(const std::vector<FittedField>& fields, int32_t idsBefore, int32_t idsAfter);

// The caption of the button a chart refused for its #WAV ids offers in the window: fit and write.
Message fitActionCaption();

// --- The settings file is the author's ------------------------------------------------------

// The settings file of the song at `songPath` would replace `path`, which is not a settings file
// of that song; nothing was written. `otherFolderHelps`: an output to another folder takes the
// settings file with it, which the advice offers.
Message foreignSettingsFileMessage(const std::string& path, const std::string& songPath,
                                   bool otherFolderHelps);
// The same file left as it is because the settings file was saved beside the chart, at `savedPath`.
Message settingsSpotTakenMessage(const std::string& path, const std::string& savedPath);
// The settings file loaded was UTF-8 with a byte order mark; it was written back at `path` in
// code page 932.
Message settingsWrittenInCodePageMessage(const std::string& path);
// Line `lineNumber` (from 1) of such a file is not UTF-8, or holds a character 932 lacks.
Message settingsLineNotInCodePageReason(std::size_t lineNumber);

// A status byte of track `track` at `tick` where a data byte belongs: the event it cut short was
// left out, and the byte started the next event.
Message dataCutOffDamage(int32_t track, const std::string& name, int32_t tick);

// A row's note interval alone puts more ticks between two sounds of the rendering MIDI file than
// the `limit` a MIDI file holds between two events: the setting is at fault, not the song.
Message noteIntervalTooLargeReason(std::size_t row, int32_t trackNumber, const std::string& trackName,
                                   int32_t value, int64_t limit);

// Every track row of the song at `path` is switched off: the files hold nothing of it.
Message allTracksOffMessage(const std::string& path);

}  // namespace rendlow
