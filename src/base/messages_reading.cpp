#include "base/message_parts.h"
#include "base/messages.h"
#include "base/messages_fields.h"

namespace rendlow {

// --- Reading and writing MIDI and settings files -------------------------------------

Message notMidiReason() {
  return {"\"MThd\" で始まらないので、midiファイルではありません。midiファイルを選んでください。",
          "It does not start with \"MThd\", so it is not a MIDI file. Choose a MIDI file."};
}

Message deltaTooLargeReason(int32_t trackNumber, const std::string& trackName, int64_t delta, int64_t limit) {
  const std::string d = std::to_string(delta);
  const std::string l = std::to_string(limit);
  return trackInFile(trackNumber, trackName) +
         Message("に " + d + " ティックの間隔があり、midiファイルに書ける最大 " + l +
                     " を超えます。曲の中の長い空白を詰めてから出力してください。",
                 " has a gap of " + d + " ticks, more than the " + l +
                     " a MIDI file can hold. Shorten the long silences in the song first.");
}

Message renderingTooLongReason(int32_t trackNumber, const std::string& trackName, int64_t ticks,
                               int64_t limit) {
  const std::string t = std::to_string(ticks);
  const std::string l = std::to_string(limit);
  const std::string past =
      "の出力が " + t + " ティックになり、midiファイルで数えられる最大 " + l + " を超えます。";
  return trackInFile(trackNumber, trackName) +
         Message::perAudience(past, past,
                              " would last " + t + " ticks in the rendering MIDI file, more than the " + l +
                                  " a MIDI file can count. Lower the note interval (") +
         settingAdvice("noteInterval") + Message::perAudience("や", " や ", ") or the grid unit (") +
         settingAdvice("gridUnit") +
         Message::perAudience("を小さくするか、曲を分けて出力してください。",
                              " で値を小さくするか、曲を分けて出力してください。", "), or split the song.");
}

Message headerCutShortReason() {
  return {"ヘッダーが途中で切れています。ファイルが壊れていないか確かめてください。",
          "Its header is cut short. Check whether the file is damaged."};
}

Message divisionReason(int32_t division) {
  const std::string d = std::to_string(division);
  return {"分解能 (division) が " + d +
              " です。4分音符あたりのティック数 (1 以上) で書き出したmidiファイルを選んでください。",
          "Its division is " + d + ". Choose a MIDI file exported with ticks per quarter note (1 or more)."};
}

Message smpteDivisionReason(int32_t framesPerSecond, int32_t ticksPerFrame) {
  const std::string f = std::to_string(framesPerSecond);
  const std::string t = std::to_string(ticksPerFrame);
  return {"時間の単位が SMPTE タイム (毎秒 " + f + " フレーム、1フレーム " + t +
              " ティック) です。4分音符あたりのティック数で書き出したmidiファイルを選んでください。",
          "It counts SMPTE time, " + f + " frames per second and " + t +
              " ticks per frame. Choose a MIDI file exported with ticks per quarter note."};
}

Message independentSongsReason() {
  return {"フォーマット 2 のmidiファイルです。トラックごとに別々の曲が入っていて、1つの譜面では"
          "いっしょに鳴らせません。フォーマット 0 か 1 で書き出したmidiファイルを選んでください。",
          "It is a format 2 file: each track holds a song of its own, and one chart cannot play them "
          "together. Choose a MIDI file exported as format 0 or 1."};
}

Message noMidiNamedReason() {
  return Message::perAudience(
      "midiファイルを指す \"i\" の行がありません。midiファイルを読み込み直して、設定を保存し直してください。",
      "midiファイルを指す \"i\" の行がありません。midiファイルを入力にして、--settings-only "
      "で設定を保存し直してください。",
      "It has no \"i\" line naming the MIDI file. Give the MIDI file as input and save the settings again "
      "with --settings-only.");
}

Message trackCutShortDamage(int32_t track, const std::string& name) {
  return trackInFile(track, name) +
         Message(": 途中でファイルが終わっています。そこまでの音だけを読み込みました。",
                 ": the file ends inside it. Only the events up to there were read.");
}

Message numberTooLongDamage(int32_t track, const std::string& name) {
  return trackInFile(track, name) +
         Message(": 長すぎる数値があり、そこから後のトラックをすべて読み込めませんでした。",
                 ": a number is longer than a MIDI file allows. Nothing from there on was read.");
}

Message tickPastLimitDamage(int32_t track, const std::string& name) {
  return trackInFile(track, name) +
         Message(": ティックが上限 (2147483647) を超え、そこから後のトラックをすべて読み込めませんでした。",
                 ": its ticks pass 2147483647. Nothing from there on was read.");
}

Message notATrackDamage(int32_t track) {
  const std::string n = std::to_string(track);
  return {
      n + " 番目のトラックがトラックではありません (\"MTrk\" "
          "で始まりません)。そこから後のトラックを読み込めませんでした。",
      "Chunk " + n + " is not a track (it does not start with \"MTrk\"). No track from there on was read."};
}

Message tracksMissingDamage(int32_t read, int32_t announced) {
  const std::string r = std::to_string(read);
  const std::string a = std::to_string(announced);
  return {"ヘッダーでは " + a + " トラックですが、" + r + " トラックでファイルが終わっています。",
          "The header announces " + a + " tracks, but the file ends after " + r + "."};
}

Message tempoZeroDamage(int32_t track, const std::string& name, int32_t tick) {
  const std::string t = std::to_string(tick);
  return trackInFile(track, name) +
         Message(": ティック " + t + " のテンポ設定が 0 マイクロ秒で、テンポになりません。読み飛ばしました。",
                 ": the Set Tempo at tick " + t + " is 0 microseconds per quarter note, which is no tempo. "
                 "It was skipped.");
}

Message dataCutOffDamage(int32_t track, const std::string& name, int32_t tick) {
  const std::string t = std::to_string(tick);
  return trackInFile(track, name) +
         Message(": ティック " + t +
                     " のイベントがデータの途中で次のステータスバイトに切られていました。"
                     "そのイベントは読み飛ばしました。",
                 ": the event at tick " + t +
                     " is cut off by a status byte where its data should be. "
                     "That event was skipped.");
}

Message settingsLineTooLongReason(const Message& what, std::size_t length, std::size_t limit) {
  const std::string n = std::to_string(length);
  const std::string l = std::to_string(limit);
  return what + Message("の行が " + n + " バイトになり、設定ファイルの1行の上限 (" + l +
                            " バイト) を超えます。短くしてください。",
                        " would take a line of " + n + " bytes, more than a settings file line holds (" + l +
                            " bytes). Shorten it.");
}

Message settingsLineOfPath(bool input) {
  return input ? Message("入力ファイルのパス", "The input file's path")
               : Message("出力ファイルのパス", "The output file's path");
}

Message settingsLineOfRow(int row, const std::string& trackName) {
  return Message::perAudience(std::to_string(row + 1) + " 行目のトラック「",
                              std::to_string(row) + " 行目のトラック「",
                              "The settings of row " + std::to_string(row) + " \"") +
         Message::verbatim(trackName) + Message("」の設定", "\"");
}

Message settingsLineOfHeader(const std::string& headerName) { return Message::verbatim(headerName); }

Message settingsLineUnreadableReason(std::size_t lineNumber, std::size_t limit) {
  const std::string n = std::to_string(lineNumber);
  const std::string l = std::to_string(limit);
  return {
      n + " 行目が設定ファイルの1行の上限 (" + l +
          " バイト) "
          "を超えていて、読み込めません。ファイルが壊れていないか確かめ、設定を保存し直してください。",
      "Line " + n + " is longer than a settings file line holds (" + l +
          " bytes), so it cannot be read. Check whether the file is damaged, and save the settings again."};
}

// --- Definition names that cannot name a file -----------------------------------------------

Message settingsNameRefusedReason(std::size_t lineNumber, const std::string& definitionName) {
  const std::string n = std::to_string(lineNumber);
  return Message(n + " 行目の定義名「", "Line " + n + " gives the definition name \"") +
         Message::verbatim(definitionName) +
         Message("」は音声ファイルの名前にできません。"
                 "/ \\ : * ? \" < > | と制御文字を含まない、ドットだけでない名前に直してください。",
                 "\", which cannot name the sound files. Correct it on that line to a name without "
                 "/ \\ : * ? \" < > | or control characters that is not dots alone.");
}

Message noteIntervalTooLargeReason(std::size_t row, int32_t trackNumber, const std::string& trackName,
                                   int32_t value, int64_t limit) {
  const std::string r = std::to_string(row);
  const std::string v = std::to_string(value);
  const std::string l = std::to_string(limit);
  const std::string gap = " の音の間隔 (noteInterval) が " + v +
                          " ティックで、midiファイルで二つのイベントの間に書ける最大 " + l + " を超えます。";
  return Message("行 " + r + " (", "row " + r + " (") + trackInFile(trackNumber, trackName) +
         Message::perAudience(
             ")" + gap + "曲ではなく、この設定のためです。", ")" + gap + "曲ではなく、この設定のためです。",
             "): its note interval (noteInterval) of " + v +
                 " ticks puts more between two sounds of the rendering MIDI file than the " + l +
                 " a MIDI file can hold between two events; the setting is at fault, not the "
                 "song. Lower it with ") +
         settingAdvice("noteInterval") +
         Message::perAudience("を小さくしてください。", " で小さくしてください。", ".");
}

}  // namespace rendlow
