#include "base/messages.h"

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace rendlow {

namespace {

Message verbatim(const std::string& text) { return Message::verbatim(text); }
const Message kNewLine = Message::verbatim("\n");
// The reason a refusal gives when two paths it names are one file; its advice follows on the line.
const Message kSameFile("この2つは同じファイルです。何も出力していません。",
                        "These two are the same file. Nothing was written. ");

// A track as the user finds it in the file: its position from 1, and its name.
Message trackInFile(int32_t trackNumber, const std::string& name) {
  const Message shown = name.empty() ? Message("(名前なし)", "(no name)") : verbatim(name);
  return Message(std::to_string(trackNumber) + " 番目のトラック「",
                 "track " + std::to_string(trackNumber) + " \"") +
         shown + Message("」", "\"");
}

// The C library's words for the failures a user meets, in both languages.
Message systemText(int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
      return {"ファイルまたはフォルダーが見つかりません", "No such file or folder"};
    case EACCES:
    case EPERM:
      return {"アクセスが拒否されました", "Access denied"};
    case EISDIR:
      return {"同じ名前のフォルダーがあります", "A folder has that name"};
    case ENOTDIR:
      return {"途中の名前がフォルダーではありません", "A part of the path is not a folder"};
    case ENOSPC:
      return {"ディスクの空きが足りません", "The disk is full"};
    case EROFS:
      return {"読み取り専用の場所です", "The place is read-only"};
    case ENAMETOOLONG:
      return {"名前が長すぎます", "The name is too long"};
    case EBUSY:
      return {"ほかのプログラムが使用中です", "Another program is using it"};
    default:
      return verbatim(std::strerror(errorNumber));
  }
}

Message outputKindName(OutputKind kind) {
  switch (kind) {
    case OutputKind::RenderingMidi:
      return {"出力midiファイル", "Rendering MIDI file"};
    case OutputKind::Settings:
      return {"設定ファイル", "Settings file"};
    case OutputKind::Chart:
      return {"譜面ファイル", "Chart"};
  }
  return {};
}

// The settings file and the chart take their names from other files, so the way out differs.
Message overwriteAdvice(OutputKind kind) {
  switch (kind) {
    case OutputKind::RenderingMidi:
      return Message::perAudience("出力ファイル名を入力のmidiファイルと違う名前にしてください。",
                                  "-o で入力のmidiファイルと違う名前を指定してください。",
                                  "Name another rendering MIDI file with -o.");
    case OutputKind::Settings:
      return {
          "設定ファイルはmidiファイルの拡張子を .txt にした名前になります。"
          "midiファイルの拡張子を .mid にしてください。",
          "The settings file is named after the MIDI file with the extension .txt. "
          "Give the MIDI file the extension .mid."};
    case OutputKind::Chart:
      return Message::perAudience(
          "譜面ファイルは出力ファイル名の拡張子を .bme にした名前になります。"
          "出力ファイル名を変えてください。",
          "譜面ファイルは出力ファイル名の拡張子を .bme にした名前になります。"
          "-o で出力ファイル名を変えてください。",
          "The chart is named after the rendering MIDI file with the extension "
          ".bme. Name another rendering MIDI file with -o.");
  }
  return {};
}

}  // namespace

Message compose(const Message& headline, std::initializer_list<Message> lines) {
  Message text = headline;
  for (const Message& line : lines) text += kNewLine + line;
  return text;
}

Message fileLine(const std::string& path) { return Message("ファイル: ", "File: ") + verbatim(path); }

// --- Whole messages ----------------------------------------------------------------------

Message midiWrittenMessage() {
  return {"midiファイルを出力しました", "The rendering MIDI file was written."};
}

Message midiNotWrittenMessage(const std::string& path, const Message& reason) {
  return compose({"midiファイルを出力できませんでした", "The rendering MIDI file could not be written."},
                 {fileLine(path), reason});
}

Message settingsNotSavedMessage(const std::string& path, const Message& reason) {
  return compose({"設定ファイルを保存できませんでした", "The settings file could not be saved."},
                 {fileLine(path), reason});
}

Message chartFailedMessage(const std::string& path, const Message& reason) {
  return compose({"譜面ファイルを出力できませんでした", "The chart could not be written."},
                 {fileLine(path), reason});
}

Message chartRefusedMessage(const std::string& path, const Message& reason) {
  return compose({"譜面ファイルを出力しませんでした", "The chart was not written."},
                 {fileLine(path), reason});
}

Message overwriteRefusedMessage(const std::string& input, OutputKind kind, const std::string& output) {
  return compose({"入力のmidiファイルを上書きしてしまうため、出力を中止しました",
                  "Nothing was written: an output would replace the input MIDI file."},
                 {Message("入力midiファイル: ", "Input MIDI file: ") + verbatim(input),
                  outputKindName(kind) + verbatim(": " + output), kSameFile + overwriteAdvice(kind)});
}

Message outputsCollideMessage(OutputKind first, const std::string& firstPath, OutputKind second,
                              const std::string& secondPath) {
  return compose({"出力ファイルが重なってしまうため、出力を中止しました",
                  "Nothing was written: two outputs would be one file."},
                 {outputKindName(first) + verbatim(": " + firstPath),
                  outputKindName(second) + verbatim(": " + secondPath),
                  kSameFile + Message::perAudience("出力ファイル名を .mid で終わる名前にしてください。",
                                                   "-o で .mid で終わる名前を指定してください。",
                                                   "Name a rendering MIDI file ending in .mid with -o.")});
}

Message definitionNameSharedMessage(const std::string& definitionName, int32_t firstRow,
                                    const std::string& firstTrack, int32_t secondRow,
                                    const std::string& secondTrack) {
  const auto row = [](int32_t n, const std::string& track) {
    return Message::perAudience(std::to_string(n) + " 行目「", std::to_string(n - 1) + " 行目「",
                                "row " + std::to_string(n - 1) + " \"") +
           verbatim(track) + Message("」", "\"");
  };
  return compose(
      {"2つのトラックの定義名が同じため、出力を中止しました",
       "Nothing was written: two tracks share a definition name."},
      {Message("定義名: ", "Definition name: ") + verbatim(definitionName), row(firstRow, firstTrack),
       row(secondRow, secondTrack),
       Message::perAudience("2つのトラックの音声ファイルが同じ名前になり、譜面が違う音を鳴らしてしまいます。"
                            "何も出力していません。どちらかの定義名を変えてください。",
                            "2つのトラックの音声ファイルが同じ名前になり、譜面が違う音を鳴らしてしまいます。"
                            "何も出力していません。--set 行:definitionName=名前 でどちらかを変えてください。",
                            "Their sound files would have the same names, and the chart would play the "
                            "wrong sounds. Nothing was written. Rename one with "
                            "--set ROW:definitionName=NAME.")});
}

Message midiUnreadableMessage(const std::string& path, const Message& reason) {
  return compose({"midiファイルを読み込めないため、出力を中止しました",
                  "Nothing was written: the MIDI file cannot be read."},
                 {fileLine(path), reason, Message("何も出力していません。", "Nothing was written.")});
}

Message trackTooComplexMessage(const std::string& midiPath, int32_t number, const std::string& name) {
  return compose(
      {"複雑すぎるトラックがあるため、出力を中止しました", "Nothing was written: a track is too complex."},
      {fileLine(midiPath), trackInFile(number, name),
       Message::perAudience(
           "音の重なりが多すぎて、出力midiファイルに並べるには時間とメモリーがかかりすぎます。"
           "何も出力していません。このトラックの分割方式をレガートにするか、出力から外してください。"
           "ノートオフの欠けた音がないかも確かめてください。",
           "音の重なりが多すぎて、出力midiファイルに並べるには時間とメモリーがかかりすぎます。"
           "何も出力していません。--set 行:splitMethod=2 でこのトラックの分割方式をレガートにするか、"
           "--set 行:enabled=0 で出力から外してください。ノートオフの欠けた音がないかも確かめてください。",
           "Its sounds overlap so much that laying them out in the rendering MIDI file would take too much "
           "time and memory. Nothing was written. Make its split method legato with --set ROW:splitMethod=2, "
           "or leave it out with --set ROW:enabled=0. Check also for notes without a note-off.")});
}

Message retimingUnsettledMessage(const std::string& path, bool overflow, int32_t cycles) {
  const std::string count = std::to_string(cycles);
  const Message why =
      overflow
          ? Message("テンポ変更を動かすとティックが上限 (2147483647) を超えるため、動かす前の位置で",
                    "Moving a tempo change would take a tick past 2147483647, so the rendering MIDI file "
                    "was written with the tempo changes where they were. ")
          : Message(count + " 回くり返してもテンポ変更の位置が定まらないため、最後の位置で",
                    "The tempo changes did not settle in " + count +
                        " cycles, so the rendering MIDI file was written with them where the last cycle "
                        "put them. ");
  const Message advice = Message::perAudience(
      "midiファイルを出力しました。一部の音が本来と違うテンポで鳴るかもしれません。"
      "グリッド単位や音符間隔を小さくして、もう一度出力してください。",
      "midiファイルを出力しました。一部の音が本来と違うテンポで鳴るかもしれません。"
      "--set 行:gridUnit=… や --set 行:noteInterval=… で値を小さくして、もう一度出力してください。",
      "Some sounds may play at another tempo than their own. Lower the grid unit (--set ROW:gridUnit=…) "
      "or the note interval (--set ROW:noteInterval=…) and convert again.");
  return compose({"テンポ変更の位置を決めきれませんでした", "The tempo changes could not be placed."},
                 {fileLine(path), why + advice});
}

Message midiNotLoadedMessage(const std::string& path, const Message& reason, const std::string& namedBy) {
  const Message headline("midiファイルを読み込めませんでした", "The MIDI file cannot be read.");
  if (namedBy.empty()) return compose(headline, {fileLine(path), reason});
  return compose(headline, {fileLine(path),
                            Message("このファイルを指す設定ファイル: ", "Named by the settings file: ") +
                                verbatim(namedBy),
                            reason});
}

Message settingsUnreadableMessage(const std::string& path, const Message& reason) {
  return compose({"設定ファイルを読み込めませんでした", "The settings file cannot be read."},
                 {fileLine(path), reason});
}

Message noSuchRowMessage(int row, std::size_t rows) {
  const std::string r = std::to_string(row);
  const std::string n = std::to_string(rows);
  return {
      "--set: " + r + " 行目はありません (この曲のトラック行は " + n + " 行です)",
      "--set: there is no row " + r + " (the song has " + n + " track row" + (rows == 1 ? "" : "s") + ")"};
}

Message midiDamagedMessage(const std::string& path, const Message& losses) {
  return compose(
      {"midiファイルが壊れています", "The MIDI file is damaged."},
      {fileLine(path), losses,
       Message("読み込めたところまでを変換しました。元のファイルを書き出し直せるか確かめてください。",
               "What could be read was converted. Export the song again if you can.")});
}

Message usingSavedSettingsMessage(const std::string& settingsPath) {
  return Message(settingsPath + " の設定を使います", "using the settings in " + settingsPath);
}

Message filesSummaryMessage(const std::string& written, const std::string& notWritten) {
  const std::string none = "-";
  return Message("書き出したファイル: " + (written.empty() ? none : written),
                 "Written: " + (written.empty() ? none : written)) +
         kNewLine +
         Message("書き出していないファイル: " + (notWritten.empty() ? none : notWritten),
                 "Not written: " + (notWritten.empty() ? none : notWritten));
}

// --- Reasons -----------------------------------------------------------------------------

Message writeReason(int errorNumber) {
  return systemText(errorNumber) +
         Message(
             "。保存先のフォルダーがあって書き込めるか、ファイルがほかのプログラムで開かれていないか確かめて"
             "ください。",
             ". Check that the folder exists and can be written to, and that no other program has the "
             "file open.");
}

Message readReason(int errorNumber) {
  return systemText(errorNumber) + Message("。ファイルがあるか、名前が正しいか確かめてください。",
                                           ". Check that the file exists and that its name is right.");
}

Message noFileNameReason() {
  return Message::perAudience(
      "ファイル名がありません。midiファイルを読み込み、出力ファイル名を入れてください。",
      "ファイル名がありません。-o で出力ファイル名を指定してください。",
      "There is no file name. Name the rendering MIDI file with -o.");
}

Message folderReason() {
  return {"フォルダーです。ファイルを選んでください。", "It is a folder. Choose a file."};
}

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
  return trackInFile(trackNumber, trackName) +
         Message::perAudience(
             "の出力が " + t + " ティックになり、midiファイルで数えられる最大 " + l +
                 " を超えます。音符間隔やグリッド単位を小さくするか、曲を分けて出力してください。",
             "の出力が " + t + " ティックになり、midiファイルで数えられる最大 " + l +
                 " を超えます。--set 行:noteInterval=… や --set 行:gridUnit=… で値を小さくするか、"
                 "曲を分けて出力してください。",
             " would last " + t + " ticks in the rendering MIDI file, more than the " + l +
                 " a MIDI file can count. Lower the note interval (--set ROW:noteInterval=…) or the grid "
                 "unit (--set ROW:gridUnit=…), or split the song.");
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
         verbatim(trackName) + Message("」の設定", "\"");
}

Message wavIdBreach(int64_t largest, int64_t limit) {
  const std::string head = "#WAV の番号が " + std::to_string(largest) + " まで必要で、上限の ZZ (" +
                           std::to_string(limit) + ") を " + std::to_string(largest - limit) + " 超えます。";
  return Message::perAudience(
      head +
          "Vel分割幅・CC分割幅を大きくする、BPM無視をオンにする、多重閾値を小さくすると、"
          "同じ音として番号を共有する音が増えます。#"
          "WAV定義間隔を小さくすると、トラックの間の使わない番号が減ります。",
      head +
          "--set 行:velocitySplitWidth=… と --set 行:ccSplitWidth=… を大きくする、--set 行:ignoreBpm=1 "
          "にする、"
          "--set 行:multipleThreshold=… を小さくすると、同じ音として番号を共有する音が増えます。"
          "--set 行:wavDefinitionGap=… を小さくすると、トラックの間の使わない番号が減ります。",
      "The #WAV ids would run up to " + std::to_string(largest) + ", " + std::to_string(largest - limit) +
          " past the last one, ZZ (" + std::to_string(limit) +
          "). More sounds share an id with wider velocity and controller buckets "
          "(--set ROW:velocitySplitWidth=…, --set ROW:ccSplitWidth=…), with tempos ignored "
          "(--set ROW:ignoreBpm=1), or with a smaller multiple threshold (--set ROW:multipleThreshold=…). "
          "A smaller gap between tracks (--set ROW:wavDefinitionGap=…) leaves fewer ids unused.");
}

Message bpmIdBreach(int64_t largest, int64_t limit) {
  const std::string l = std::to_string(largest);
  const std::string z = std::to_string(limit);
  const std::string over = std::to_string(largest - limit);
  return {"#BPM の番号が " + l + " まで必要で、上限の ZZ (" + z + ") を " + over +
              " 超えます。テンポ変更を減らしてください。",
          "The #BPM ids would run up to " + l + ", " + over + " past the last one, ZZ (" + z +
              "). Use fewer tempo changes."};
}

Message measureBreach(int64_t last, int64_t limit, bool atLeast) {
  const std::string l = std::to_string(last);
  const std::string m = std::to_string(limit);
  const std::string over = std::to_string(last - limit);
  const std::string bound = atLeast ? "少なくとも " : "";
  const std::string english = atLeast ? "at least " : "";
  return {"小節番号が " + bound + l + " まで必要で、上限の " + m + " を " + bound + over +
              " 超えます。音を共有しても短くなりません。曲を短くするか、いくつかに分けてください。",
          "The measure numbers would run up to " + english + l + ", " + english + over +
              " past the last one, " + m +
              ". Sharing sounds does not shorten a chart: shorten the song or split it."};
}

Message lineSlotsBreach(int32_t measure, int channel, int64_t limit) {
  const std::string m = std::to_string(measure);
  const std::string c = (channel < 10 ? "0" : "") + std::to_string(channel);
  const std::string l = std::to_string(limit);
  return {
      "小節 " + m + " のチャンネル " + c + " の行が、1行の上限 (" + l +
          " 区画) を超える細かさになります。音の位置をクオンタイズするか、拍子と分解能を見直してください。",
      "A line of measure " + m + " on channel " + c + " would need more than " + l +
          " slots. Quantize the notes, or check the time signatures and the division."};
}

Message chartSizeBreach(int32_t measure, int64_t limitMiB) {
  const std::string m = std::to_string(measure);
  const std::string l = std::to_string(limitMiB);
  return {"小節 " + m + " までで、譜面が上限 (" + l +
              " MiB) を超える大きさになります。音の位置をクオンタイズするか、曲をいくつかに分けてください。",
          "Up to measure " + m + " the chart would be larger than " + l +
              " MiB. Quantize the notes, or split the song."};
}

Message linesOf(const Message& first, const Message& second) { return first + kNewLine + second; }

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
      {Message("文字: ", "Text: ") + verbatim(text),
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

}  // namespace rendlow
