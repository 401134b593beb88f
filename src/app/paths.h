#pragma once

// The names the program gives its files, all derived from the paths the user chose.

#include <optional>
#include <string>
#include <string_view>

namespace rendlow {

// The settings file that belongs to a MIDI file: everything from the last "." replaced by ".txt".
std::string settingsPathFor(std::string_view midiPath);

// The rendering MIDI file proposed for an input-file box text: its last 4 bytes (the extension)
// replaced by "_out.mid" when it is longer than 5 bytes, otherwise the text unchanged; cut to
// 511 bytes.
std::string outputNameFor(std::string_view inputText);

// The chart's path: the output path with its last 4 bytes (taken to be ".mid") replaced by
// ".bme". Nothing for a path of 4 bytes or fewer. The bytes cut are not looked at.
std::optional<std::string> chartPathFor(std::string_view outputPath);

// True when the load flow reads `path` as a settings file: the four bytes from its last "."
// (searched as text of the system code page) are ".txt", in lower case.
bool isSettingsFilePath(std::string_view path);

}  // namespace rendlow
