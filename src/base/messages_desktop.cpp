#include "base/messages.h"
#include "base/messages_fields.h"

namespace rendlow {

// --- The desktop program: texts outside code page 932 ---------------------------------------

Message pathOutsideCodePageMessage(const std::string& path) {
  return compose(
      {"ファイルのパスに、日本語のコードページ (932) にない文字があります",
       "The file's path holds characters that the Japanese code page (932) does not have."},
      {fileLine(path),
       Message("このプログラムはファイルを日本語のコードページの名前で扱うため、このパスは使えません。"
               "ファイルを移動するか名前を変えて、パスを日本語のコードページにある文字だけにしてください。",
               "Rendlow names files in the Japanese code page, so it cannot use this path. Move or "
               "rename the file so that its path uses only characters of the Japanese code page.")});
}

Message pathOutsideSystemCodePageMessage(const std::string& path, unsigned codePage) {
  const std::string page = std::to_string(codePage);
  return compose(
      {"このWindowsでは、このパスのファイルを扱えません", "Rendlow cannot use this path on this Windows."},
      {fileLine(path),
       Message("このWindowsのコードページ (" + page +
                   ") では、パスの一部の文字が別の文字になり、別のファイルを指してしまいます。"
                   "ファイルを移動するか名前を変えて、パスを半角英数字と記号だけにしてください。",
               "Under this Windows's code page (" + page +
                   ") some of its characters read as others, and it would name another file. "
                   "Move or rename the file so that its path uses only ASCII letters, digits and "
                   "signs.")});
}

Message textOutsideCodePageMessage(const std::string& text) {
  return compose(
      {"入力された文字に、日本語のコードページ (932) にない文字があります",
       "A box holds characters that the Japanese code page (932) does not have."},
      {Message("文字: ", "Text: ") + Message::verbatim(text),
       Message("midiファイル・設定ファイル・譜面は日本語のコードページで書くため、この文字は保存も出力もでき"
               "ません。"
               "何も変えていません。日本語のコードページにある文字に置き換えてください。",
               "The MIDI file, the settings file and the chart are written in the Japanese code page, "
               "which cannot keep them. Nothing was changed. Use characters of the Japanese code page "
               "instead.")});
}

Message stemsHelpMessage() {
  return compose(
      {"ステムの作り方", "How to render the stems"},
      {Message("出力midiファイル (「出力ファイル」の名前。例: song_out.mid) をシーケンサーで開き、"
               "トラックごとに1つの音声ファイル (ステム) に書き出します。",
               "Open the rendering MIDI file (the name in the output file box, e.g. song_out.mid) in a "
               "sequencer and render each of its tracks into one sound file, its stem."),
       Message("・トラックをソロにして、ファイルの先頭 (0 ティック) から最後まで書き出します。",
               "- Solo the track and render it from the file's start (tick 0) to its end."),
       Message("・名前はトラックの定義名に .wav を付けたもの (tr01.wav など) です。"
               "譜面の #WAV 行の音 (tr01_01.wav など) はここから切り出します。",
               "- Name it after the track's definition name with .wav (tr01.wav, ...): the sounds the "
               "chart's #WAV lines name (tr01_01.wav, ...) are cut from it."),
       Message("・形式は WAV (16/24/32 ビット PCM または 32 ビット浮動小数点) で、サンプリング周波数は"
               "問いません (44.1 kHz など)。",
               "- Render WAV files (16-, 24- or 32-bit PCM or 32-bit float) at any rate, 44.1 kHz say."),
       Message("・ステムを1つのフォルダーに置き、「ステムから切り出し」でそのフォルダーを選びます。"
               "「Midi&BMS出力」と同じ出力をしてから、音を譜面と同じフォルダーに切り出します。",
               "- Put the stems in one folder and choose it with \"Cut from stems\": the output of "
               "\"Midi&BMS出力\" is made again, then the sounds are cut into the chart's folder."),
       Message("・設定を変えると音の位置が変わります。設定を変えたら、ステムも書き出し直してください。",
               "- Changed settings move the sounds: render the stems again after changing them."),
       Message("・元の曲全体を同じサンプリング周波数で「曲名_mix.wav」(song.mid なら song_mix.wav) として"
               "同じフォルダーに置くと、譜面が曲をどれだけ再現するかを測ります。",
               "- Put the whole song, rendered at the stems' rate, in the same folder as \"<song>_mix.wav\" "
               "(song_mix.wav for song.mid) to measure how faithfully the chart plays it back.")});
}

// --- Definition names that cannot name a file -----------------------------------------------

Message definitionNameRefusedMessage(const std::string& definitionName) {
  return compose({"この定義名は音声ファイルの名前にできません",
                  "This definition name cannot name the sound files."},
                 {Message("定義名: ", "Definition name: ") + Message::verbatim(definitionName),
                  Message("音声ファイルが曲のフォルダーの外に書かれるか、書けなくなります。何も変えていません。"
                          "/ \\ : * ? \" < > | と制御文字を含まない、ドットだけでない名前にしてください。",
                          "The sound files would be written outside the song's folder, or not at all. "
                          "Nothing was changed. Choose a name without / \\ : * ? \" < > | or control "
                          "characters that is not dots alone.")});
}

// --- The desktop program: the settings group and closing -------------------------------------

Message numberOutOfRangeMessage(std::string_view field, const std::string& typed, int32_t smallest,
                                int32_t largest) {
  const std::string low = std::to_string(smallest);
  const std::string high = std::to_string(largest);
  return compose(Message("「", "\"") + fieldTexts(field).caption +
                     Message("」には " + low + " から " + high + " までの整数を入れてください",
                             "\" takes a whole number from " + low + " to " + high + "."),
                 {Message("入力: ", "Typed: ") + Message::verbatim(typed),
                  Message("この値は使わず、前の値に戻しました。",
                          "It was not used: the box shows its last value again.")});
}

Message unsavedSettingsQuestion() {
  return compose({"設定が保存されていません", "The settings are not saved."},
                 {Message("変更した設定は、どのファイルにもまだ書かれていません。設定ファイルに保存しますか?",
                          "No file holds the changed settings yet. Save them to the settings file?")});
}

// --- The desktop program: opening a settings file ------------------------------------------

Message setupSongMissingMessage(const std::string& settingsPath, const std::string& midiPath) {
  return compose(Message("この設定を作ったmidiファイルがありません: ", "The song this setup was made for is not there: ") +
                     Message::verbatim(midiPath),
                 {Message("設定ファイル: ", "Settings file: ") + Message::verbatim(settingsPath),
                  Message("何も読み込んでいません。midiファイルを設定ファイルが指す場所に戻すか、midiファイルを直接"
                          "開いてください。",
                          "Nothing was loaded. Put the MIDI file back where the settings file says, or "
                          "open the MIDI file itself.")});
}

// --- The desktop program: the message box's buttons ------------------------------------------

Message okButtonCaption() { return {"OK", "OK"}; }
Message yesButtonCaption() { return {"はい", "Yes"}; }
Message noButtonCaption() { return {"いいえ", "No"}; }
Message cancelButtonCaption() { return {"キャンセル", "Cancel"}; }

}  // namespace rendlow
