#pragma once

// The catalogue's texts of the command line's --help and of the tables it prints. help2man makes
// the man page from --help in each language, so the Japanese follows the shape it reads: "使用法:"
// and "または:" open the usage lines, "オプション:" the options, as "Usage:", "or:" and "Options:" do
// in English.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/message.h"
#include "base/messages.h"

namespace rendlow {

// --- --help ----------------------------------------------------------------------------------
// The usage lines and what a run does, down to the heading of the options.
Message usageOpening();
// The line of the option with the long name `option` ("--help"); empty for an option it does not know.
Message optionHelp(std::string_view option);
// The heading of the fields --set takes.
Message fieldsHeading();
// How the sound files are made and measured, and what the exit statuses mean.
Message soundFilesSection();
Message exitStatusSection();

// --- Names the command cannot use ----------------------------------------------------------
// -o - : standard output, which the files of a conversion cannot go to.
Message outputNameDashReason();
// A name, of the song or of -o, holding a TAB or a line break, which the settings file's one-line
// record cannot keep.
Message inputNameUnsavableReason(const std::string& name);
Message outputNameUnsavableReason();
// The song given looks like a rendering file a conversion wrote ("…_out.mid"), not the song.
Message renderingFileAsInputHint(const std::string& path);

// --- The tables ------------------------------------------------------------------------------
// The headings of the table of converted tracks: name, definition name, notes, chart objects,
// distinct sounds, definitions, #WAV ids.
std::vector<Message> trackTableHeadings();
// A track without a name in that table.
Message unnamedTrackCell();
// The headings of the fidelity of each track: name, definition name, log-spectral distance,
// spectral SNR, the worst 50 ms and when it is.
std::vector<Message> fidelityTableHeadings();
// A track's ids counted, where a .bme chart has no names for them.
Message idCountCell(int64_t count);
// What each file a conversion wrote is, before its name in the list of files written.
Message writtenFileLabel(OutputKind kind);
// The first two headings of --list, before the fields, which --list names as --set does.
std::vector<Message> listRowHeadings();

}  // namespace rendlow
