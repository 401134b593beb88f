#pragma once

#include <string_view>

#include "base/result.h"

namespace rendlow {

class Application;
class Form;

// What happens when the user opens or drops a file: a MIDI file is read into the application's
// project; a settings file (see isSettingsFilePath) is read first, and the MIDI file it names is
// loaded with its saved track settings applied by track name. The form's input and output boxes,
// its track table and its GENRE, TITLE and ARTIST boxes then show the result, whatever could be
// read: a file that cannot be read leaves an empty table. The problem says why, for a front end
// that tells it at once; the window tells it when the output needs the song. The reader's
// progress lines go to the application's diagnostics. The path is cut to 511 bytes.
Result<void> loadFile(Application& app, Form& form, std::string_view path);

// What the window does with a file the user opens or drops. A MIDI file with a settings file
// beside it that names this very file is loaded through that settings file, as the command line
// does (see savedSettingsFor), and the form's status says which settings file it uses. What the
// load finds is told at once: a song read past damage loads with a warning; a file that gives no
// song (a settings file that cannot be read or whose MIDI file is not there, a file that is no
// MIDI file) is told as an error and nothing is loaded, so the song shown before stays. True
// when the file was loaded.
bool openInWindow(Application& app, Form& form, std::string_view path);

}  // namespace rendlow
