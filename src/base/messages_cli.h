#pragma once

// The catalogue's texts about the command line: arguments it refuses and edits of a track row
// (--set ROW:FIELD=VALUE). Each refusal is one line, which the command line follows with a
// pointer to --help.

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/message.h"

namespace rendlow {

// --- Options -----------------------------------------------------------------------------
// `quoted` is the option's name as given, in quotes.
Message unknownOptionReason(const std::string& quoted);
Message optionTakesNoValueReason(const std::string& quoted);
Message optionNeedsValueReason(const std::string& quoted);
Message inputNameEmptyReason();
Message noInputReason();
Message outputNameEmptyReason();
Message outputNameTooLongReason();
Message headerTextTooLongReason();
Message headerTextLineBreakReason();
// -o names the output of one input, and `inputs` are given.
Message outputForManyInputsReason(std::size_t inputs);
Message listWithConvertingOptionsReason();
Message listWithManyInputsReason();

// Options for the sound files that do not go together.
Message cutWithKeysoundsReason();
Message soundOptionsWithoutSoundsReason();
Message soundFontWithoutKeysoundsReason();
Message synthWithoutKeysoundsReason();
// --synth names no synthesizer this program has.
Message synthUnknownReason(const std::string& given);
Message compareWithoutCutReason();
Message soundsWithoutChartReason();

// Standard output could not take what the command line printed.
Message standardOutputFailedMessage();
// What follows every refusal of the arguments.
Message seeHelpLine();

// --- Edits of a track row ------------------------------------------------------------------
// `edit` is the argument of --set as given; the reason follows it on the line.
Message rowEditGiven(const std::string& edit);
Message rowEditShapeReason();
Message rowEditRowReason();
// `known` lists the fields, separated by ", ".
Message rowEditUnknownFieldReason(const std::string& field, const std::string& known);
Message definitionNameEmptyReason();
Message definitionNameTooLongReason();
Message definitionNameUnsavableReason();
Message fieldRangeReason(const std::string& field, int32_t smallest, int32_t largest);

// --- Measuring each track ------------------------------------------------------------------
Message compareTracksWithoutCutReason();

// --- What a conversion tells beyond its files -----------------------------------------------
// A chart past a limit of its format keeps its rendering file `renderingPath` from being written.
Message renderingHeldBackLine(const std::string& renderingPath);
// --cut or --keysounds, when the input's chart was not written.
Message soundsWithoutChartWrittenMessage();
// -o names an existing folder, `path`, without a separator at its end.
Message outputIsFolderMessage(const std::string& path);
// -o names a file with the settings file's extension.
Message outputSettingsExtensionReason();
// --cut names `path`, which is there and is no folder.
Message stemsNotAFolderReason(const std::string& path);
// The input's folder cannot be written, so the settings file was saved at `path`, beside the chart.
Message settingsBesideChartMessage(const std::string& path);
// --verbose: what is being read, and what was written.
Message readingProgressLine(const std::string& path);
Message convertedProgressLine(const std::string& path, std::size_t tracks);
Message wroteProgressLine(const std::string& path);

// --- Definition names that cannot name a file -----------------------------------------------
Message definitionNameNotAFileNameReason();

// --- Texts of the arguments ------------------------------------------------------------------
// `option` names where the text was given; `described` is the text with each character code
// page 932 cannot hold marked (see describedInProgramText).
Message textOutsideCodePageReason(const std::string& option, const std::string& described);

// --- Chart formats ---------------------------------------------------------------------------
Message chartFormatUnknownReason(const std::string& given);

// --- What a job wrote before its sound files failed ---------------------------------------------
// `written` lists the files that stand; the sound files meant for `folder` were not all written.
Message soundsFailedSummaryMessage(const std::string& written, const std::string& folder);

// --- Progress of long work ----------------------------------------------------------------------
// The phases, as a progress bar names them.
Message renderingPhaseName();
Message cuttingPhaseName();
Message measuringPhaseName();
// How far the phase has come: tracks of the sounds done, or seconds of the song measured.
Message tracksDoneText(int32_t done, int32_t tracks);
Message secondsMeasuredText(double measured, double songSeconds);
Message timeLeftText(int64_t seconds);
// --verbose: a phase begins, with how much it has to do.
Message soundsPhaseLine(bool cutting, int32_t tracks);
Message measurePhaseLine(double songSeconds);

// --- Several songs in one command -------------------------------------------------------------
enum class SongEnding { Done, DoneWithWarnings, Failed };
// One song's outcome on a line: how it ended, the files written (a list; empty for none) and the
// sound files written.
Message songOutcomeLine(const std::string& input, SongEnding ending, const std::string& written,
                        int32_t soundFiles);

}  // namespace rendlow
