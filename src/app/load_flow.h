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

}  // namespace rendlow
