#include "base/messages.h"

#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "base/message_parts.h"
#include "base/messages_fields.h"

namespace rendlow {

namespace {

Message verbatim(const std::string& text) { return Message::verbatim(text); }
const Message kNewLine = Message::verbatim("\n");
// Why two tracks may not share a definition name; the advice that follows names the setting.
const std::string kSharedNames =
    "2つのトラックの音声ファイルが同じ名前になり、譜面が違う音を鳴らしてしまいます。何も出力していません。";
// The reason a refusal gives when two paths it names are one file; its advice follows on the line.
const Message kSameFile("この2つは同じファイルです。何も出力していません。",
                        "These two are the same file. Nothing was written. ");

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
      return cLibraryText(errorNumber);
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

// A track as the user finds it in the file: its position from 1, and its name.
Message trackInFile(int32_t trackNumber, const std::string& name) {
  const Message shown = name.empty() ? Message("(名前なし)", "(no name)") : Message::verbatim(name);
  return Message(std::to_string(trackNumber) + " 番目のトラック「",
                 "track " + std::to_string(trackNumber) + " \"") +
         shown + Message("」", "\"");
}

Message cLibraryText(int errorNumber) { return Message::verbatim(std::strerror(errorNumber)); }

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

Message outputNotAFileMessage(OutputKind kind, const std::string& path) {
  return compose({"出力先がふつうのファイルではないため、出力を中止しました",
                  "Nothing was written: an output is not a regular file."},
                 {outputKindName(kind) + verbatim(": " + path),
                  Message("フォルダーやデバイス、パイプの代わりには書き込みません。別の名前を指定してください。",
                          "A folder, a device or a pipe is never replaced by a file. Choose another name.")});
}

Message outputNameForbiddenMessage(OutputKind kind, const std::string& path) {
  return compose({"出力ファイルの名前に使えない文字があるため、出力を中止しました",
                  "Nothing was written: an output's name holds a character a file name cannot."},
                 {outputKindName(kind) + verbatim(": " + path),
                  Message("ファイル名には \\ / : * ? \" < > | を使えません。別の名前を指定してください。",
                          "A file name cannot hold \\ / : * ? \" < > |. Choose another name.")});
}

Message outputReadOnlyMessage(OutputKind kind, const std::string& path) {
  return compose({"出力ファイルが読み取り専用のため、出力を中止しました",
                  "Nothing was written: an output file is read-only."},
                 {outputKindName(kind) + verbatim(": " + path),
                  Message("書き込めるようにするか、別の名前を指定してください。",
                          "Make it writable, or choose another name.")});
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
       Message::perAudience(kSharedNames + "どちらかの", kSharedNames,
                            "Their sound files would have the same names, and the chart would play the "
                            "wrong sounds. Nothing was written. Rename one with ") +
           settingAdvice("definitionName", Message("名前", "NAME")) +
           Message::perAudience("を変えてください。", " でどちらかを変えてください。", ".")});
}

Message midiUnreadableMessage(const std::string& path, const Message& reason) {
  return compose({"midiファイルを読み込めないため、出力を中止しました",
                  "Nothing was written: the MIDI file cannot be read."},
                 {fileLine(path), reason, Message("何も出力していません。", "Nothing was written.")});
}

Message trackTooComplexReason() {
  const std::string overlap =
      "音の重なりが多すぎて、出力midiファイルに並べるには時間とメモリーがかかりすぎます。何も出力していません"
      "。";
  return Message::perAudience(
          overlap + "このトラックの", overlap,
          "Its sounds overlap so much that laying them out in the rendering MIDI file would take "
          "too much time and memory. Nothing was written. Make its split method legato with ") +
      settingAdvice("splitMethod", verbatim("2")) +
      Message::perAudience("をレガートにするか、", " でこのトラックの分割方式をレガートにするか、",
                           ", or leave it out with ") +
      commandLineAdvice("enabled", verbatim("0")) +
      Message::perAudience("出力から外してください。", " で出力から外してください。", ".") +
      Message("ノートオフの欠けた音がないかも確かめてください。",
              " Check also for notes without a note-off.");
}

Message trackTooComplexMessage(const std::string& midiPath, int32_t number, const std::string& name,
                               const Message& reason) {
  return compose(
      {"複雑すぎるトラックがあるため、出力を中止しました", "Nothing was written: a track is too complex."},
      {fileLine(midiPath), trackInFile(number, name), reason});
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
  const std::string written = "midiファイルを出力しました。一部の音が本来と違うテンポで鳴るかもしれません。";
  const Message advice =
      Message::perAudience(written, written,
                           "Some sounds may play at another tempo than their own. Lower the grid unit (") +
      settingAdvice("gridUnit") + Message::perAudience("や", " や ", ") or the note interval (") +
      settingAdvice("noteInterval") +
      Message::perAudience("を小さくして、もう一度出力してください。",
                           " で値を小さくして、もう一度出力してください。", ") and convert again.");
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

Message songWithoutNotesMessage(const std::string& path) {
  return compose({"曲に音符がありません", "The song has no notes."},
                 {fileLine(path),
                  Message("出力midiファイルには音がなく、譜面にはオブジェがありません。"
                          "音符の入ったmidiファイルを選んでください。",
                          "The rendering MIDI file has no sound, and the chart no objects. Choose a MIDI "
                          "file with notes.")});
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

Message linesOf(const Message& first, const Message& second) { return first + kNewLine + second; }

// --- The settings file is the author's ------------------------------------------------------

Message foreignSettingsFileMessage(const std::string& path, const std::string& songPath,
                                   bool otherFolderHelps) {
  const Message kept("このファイルは上書きしません。名前を変えるか別の場所へ移してください",
                     "That file is never replaced. Rename it or move it away");
  const Message advice =
      otherFolderHelps
          ? kept + Message::perAudience(
                       "。または、出力ファイル名に別のフォルダーを指定すると、設定ファイルもそこに保存されま"
                       "す。",
                       "。または、-o で別のフォルダーに出力すると、設定ファイルもそこに保存されます。",
                       ", or write the outputs to another folder with -o: the settings file is then saved "
                       "there.")
          : kept + Message("。", ".");
  return compose(
      {"この曲の設定ファイルではないファイルが設定ファイルの名前を使っているため、出力を中止しました",
       "Nothing was written: the settings file's name is taken by a file that is not this song's "
       "settings file."},
      {fileLine(path), Message("midiファイル: ", "MIDI file: ") + verbatim(songPath), advice});
}

Message settingsSpotTakenMessage(const std::string& path, const std::string& savedPath) {
  return Message(
      "この曲の設定ファイルではない " + path + " があるため、設定ファイルは譜面ファイルの隣に保存しました: " +
          savedPath + "\n次はこの設定ファイルを開いてください。",
      path + " is not this song's settings file, so the settings file was saved beside the chart: " +
          savedPath + "\nNext time, give this settings file as the input.");
}

Message settingsWrittenInCodePageMessage(const std::string& path) {
  return compose({"UTF-8 の設定ファイルを Shift_JIS (コードページ 932) で保存し直しました",
                  "The settings file was UTF-8; it was saved again in Shift_JIS (code page 932)."},
                 {fileLine(path),
                  Message("譜面と設定ファイルの文字は Shift_JIS です。テキストエディターで編集したら、"
                          "Shift_JIS で保存してください。",
                          "Charts and settings files hold their texts in Shift_JIS. After editing it in a "
                          "text editor, save it as Shift_JIS.")});
}

Message settingsLineNotInCodePageReason(std::size_t lineNumber) {
  const std::string n = std::to_string(lineNumber);
  return {n + " 行目が UTF-8 ではないか、Shift_JIS にない文字を含んでいて、読み込めません。"
              "その文字を直すか、ファイルを Shift_JIS で保存し直してください。",
          "Line " + n +
              " is not UTF-8, or holds a character Shift_JIS lacks, so it cannot be read. Correct "
              "that character, or save the file as Shift_JIS."};
}

Message allTracksOffMessage(const std::string& path) {
  return compose(
      {"出力するトラックがありません", "Every track is switched off."},
      {fileLine(path),
       Message("出力midiファイルには音がなく、譜面にはオブジェがありません。",
               "The rendering MIDI file has no sound, and the chart no objects. Switch a track on "
               "with ") +
           settingAdvice("enabled", Message::verbatim("1")) +
           Message::perAudience("にチェックを入れてください。", " でトラックを出力に入れてください。", ".")});
}

}  // namespace rendlow
