#pragma once

#include <string>
#include <string_view>

namespace rendlow {

class Application;
class Form;

// What happens when the user opens or drops a file: a MIDI file is read into the application's
// project; a settings file (see isSettingsFilePath) is read first, and the MIDI file it names is
// loaded with its saved track settings applied by track name. The form's input and output boxes,
// its track table and its GENRE, TITLE and ARTIST boxes then show the result. Nothing is
// reported: a file that cannot be read leaves an empty table, and the reader's progress lines go
// to the application's diagnostics. Nothing happens on a form without an input-file box. The path
// is cut to 511 bytes.
void loadFile(Application& app, Form& form, std::string_view path);

// True when the load flow reads `path` as a settings file: the four bytes from its last "."
// (searched as text of the system code page) are ".txt", in lower case.
bool isSettingsFilePath(std::string_view path);

// The output file proposed for an input-file box text: its last 4 bytes (the extension) replaced
// by "_out.mid" when it is longer than 5 bytes, otherwise the text unchanged; cut to 511 bytes.
std::string outputNameFor(std::string_view inputText);

}  // namespace rendlow
