#include "base/messages_cli.h"

#include "base/messages_audio.h"

namespace rendlow {

// --- Options -----------------------------------------------------------------------------

Message unknownOptionReason(const std::string& quoted) {
  return {"オプション " + quoted + " はありません", "unknown option " + quoted};
}

Message optionTakesNoValueReason(const std::string& quoted) {
  return {"オプション " + quoted + " は値を取りません", "option " + quoted + " takes no value"};
}

Message optionNeedsValueReason(const std::string& quoted) {
  return {"オプション " + quoted + " には値が必要です", "option " + quoted + " needs a value"};
}

Message inputNameEmptyReason() { return {"入力ファイル名が空です", "the input file name is empty"}; }

Message noInputReason() { return {"入力ファイルがありません", "no input file given"}; }

Message outputNameEmptyReason() { return {"出力ファイル名が空です", "the output file name is empty"}; }

Message outputNameTooLongReason() {
  return {"出力ファイル名が 511 バイトを超えます", "the output file name is longer than 511 bytes"};
}

Message headerTextTooLongReason() {
  return {"譜面のヘッダーの文字列が 511 バイトを超えます", "a chart header text is longer than 511 bytes"};
}

Message headerTextLineBreakReason() {
  return {"譜面のヘッダーの文字列に改行があります", "a chart header text holds a line break"};
}

Message outputForManyInputsReason(std::size_t inputs) {
  const std::string count = std::to_string(inputs);
  return {"-o は1つの入力ファイルの出力の名前ですが、入力ファイルが " + count + " 個あります",
          "-o names the output of one input file, and " + count + " are given"};
}

Message listWithConvertingOptionsReason() {
  return {
      "--list は何も書き出さないので、--no-chart, --settings-only, -o, --set, --genre, --title, "
      "--artist, -q や音声ファイルのオプションを取りません",
      "--list writes nothing: it takes no --no-chart, --settings-only, -o, --set, --genre, "
      "--title, --artist, -q or sound file options"};
}

Message listWithManyInputsReason() {
  return {"--list の入力ファイルは1つです", "--list takes one input file"};
}

Message cutWithKeysoundsReason() {
  return {"--cut と --keysounds は一緒に使えません", "--cut and --keysounds do not go together"};
}

Message soundOptionsWithoutSoundsReason() {
  return {"--soundfont, --ogg, --compare は --cut か --keysounds と使います",
          "--soundfont, --ogg and --compare go with --cut or --keysounds"};
}

Message soundFontWithoutKeysoundsReason() {
  return {"--soundfont は --keysounds と使います", "--soundfont goes with --keysounds"};
}

Message synthWithoutKeysoundsReason() {
  return {"--synth は --keysounds と使います", "--synth goes with --keysounds"};
}

Message synthUnknownReason(const std::string& given) {
  return {"--synth は fluidsynth か builtin です: " + given, "--synth is fluidsynth or builtin, not " + given};
}

Message compareWithoutCutReason() { return {"--compare は --cut と使います", "--compare goes with --cut"}; }

Message soundsWithoutChartReason() {
  return {"音声ファイルは譜面の名前で書き出すので、--no-chart や --settings-only とは使えません",
          "the sound files are named by the chart: --cut and --keysounds take no --no-chart or "
          "--settings-only"};
}

Message standardOutputFailedMessage() {
  return {"標準出力に書き込めません", "cannot write to standard output"};
}

Message seeHelpLine() {
  return {"\n詳しくは 'rendlow-cli --help' を見てください。",
          "\nTry 'rendlow-cli --help' for more information."};
}

// --- Edits of a track row ------------------------------------------------------------------

Message rowEditGiven(const std::string& edit) { return Message::verbatim("--set \"" + edit + "\": "); }

Message rowEditShapeReason() {
  return {"行:フィールド=値 の形で指定してください", "expected ROW:FIELD=VALUE"};
}

Message rowEditRowReason() { return {"行は 0 から数えた整数です", "the row is a whole number from 0"}; }

Message rowEditUnknownFieldReason(const std::string& field, const std::string& known) {
  return {"フィールド \"" + field + "\" はありません (" + known + ")",
          "unknown field \"" + field + "\" (fields: " + known + ")"};
}

Message definitionNameEmptyReason() { return {"定義名が空です", "the definition name is empty"}; }

Message definitionNameTooLongReason() {
  return {"定義名が 511 バイトを超えます", "the definition name is longer than 511 bytes"};
}

Message definitionNameUnsavableReason() {
  return {"定義名にタブか改行があり、設定ファイルに保存できません",
          "the definition name holds a TAB or a line break, which the settings file cannot keep"};
}

Message fieldRangeReason(const std::string& field, int32_t smallest, int32_t largest) {
  const std::string low = std::to_string(smallest);
  const std::string high = std::to_string(largest);
  return {field + " には " + low + " - " + high + " の整数を指定してください",
          field + " takes a whole number from " + low + " to " + high};
}

// --- Measuring each track ------------------------------------------------------------------

Message compareTracksWithoutCutReason() {
  return {"--compare-tracks は --cut と使います", "--compare-tracks goes with --cut"};
}

// --- What a conversion tells beyond its files -----------------------------------------------

Message renderingHeldBackLine(const std::string& renderingPath) {
  return Message(
      "midiファイルは譜面ファイルと対なので、これも出力しませんでした: " + renderingPath +
          "\n設定ファイルだけを保存しました。前に出力したmidiファイルと譜面ファイルはそのまま残っています。",
      "The rendering MIDI file goes with its chart, so it was not written either: " + renderingPath +
          "\nOnly the settings file was saved; a rendering MIDI file and a chart written before stay as they "
          "were.");
}

Message soundsWithoutChartWrittenMessage() {
  return {"譜面ファイルを出力しなかったため、音声ファイルは作りませんでした",
          "No sound files were made: the chart that names them was not written."};
}

Message outputIsFolderMessage(const std::string& path) {
  return Message("-o の名前はフォルダーです。何も出力していません: " + path +
                     "\nフォルダーの中に書き出すときは、名前の最後に / を付けてください。",
                 "Nothing was written: a folder has the name -o gives: " + path +
                     "\nTo write into that folder, end the name with a \"/\"; otherwise choose a file name.");
}

Message outputSettingsExtensionReason() {
  return {"-o は midiファイルの名前です。.txt は設定ファイルの拡張子なので使えません",
          "-o names the rendering MIDI file: \".txt\" is the settings file's extension"};
}

Message stemsNotAFolderReason(const std::string& path) {
  return Message("--cut にはステムのフォルダーを指定してください。" + path + " はフォルダーではありません",
                 "--cut takes the folder of the stems, and " + path + " is not a folder");
}

Message settingsBesideChartMessage(const std::string& path) {
  return Message("MIDIファイルのフォルダーに書き込めないため、設定ファイルは譜面ファイルの隣に保存しました: " + path +
                     "\n次はこの設定ファイルを開いてください。",
                 "The MIDI file's folder cannot be written, so the settings file was saved beside the chart: " +
                     path + "\nNext time, give this settings file as the input.");
}

Message readingProgressLine(const std::string& path) {
  return Message(path + " を読み込んでいます", "reading " + path);
}

Message convertedProgressLine(const std::string& path, std::size_t tracks) {
  const std::string count = std::to_string(tracks);
  return Message(path + " の " + count + " トラックを変換しました", "converted " + count + " tracks of " + path);
}

Message wroteProgressLine(const std::string& path) { return Message(path + " を書き出しました", "wrote " + path); }

// --- Definition names that cannot name a file -----------------------------------------------

Message definitionNameNotAFileNameReason() {
  return {"定義名は / \\ : * ? \" < > | と制御文字を含まない、ドットだけでない名前にしてください",
          "the definition name names the sound files, so it may hold none of / \\ : * ? \" < > | nor a "
          "control character, and may not be dots alone"};
}

// --- Texts of the arguments ------------------------------------------------------------------

Message textOutsideCodePageReason(const std::string& option, const std::string& described) {
  const std::string given = option + " \"" + described + "\": ";
  return {given + "譜面と設定ファイルの文字コード Shift_JIS (コードページ932) で書けない文字があります",
          given + "a character is not in Shift_JIS (code page 932), the encoding of charts and settings files"};
}

// --- Chart formats ---------------------------------------------------------------------------

Message chartFormatUnknownReason(const std::string& given) {
  return {"--format は bme か bmson です: " + given, "--format is bme or bmson, not " + given};
}

// --- What a job wrote before its sound files failed ---------------------------------------------

Message soundsFailedSummaryMessage(const std::string& written, const std::string& folder) {
  return {"書き出したファイル: " + written + "\n書き出していないファイル: " + folder +
              " の音声ファイル (途中までのものがあれば残っています)",
          "Written: " + written + "\nNot written: the sound files in " + folder +
              " (those made before the failure stand)"};
}

// --- Progress of long work ----------------------------------------------------------------------

Message renderingPhaseName() { return {"音声ファイルを作成中", "rendering sounds"}; }
Message cuttingPhaseName() { return {"音声ファイルを切り出し中", "cutting sounds"}; }
Message measuringPhaseName() { return {"再現度を測定中", "measuring"}; }

Message tracksDoneText(int32_t done, int32_t tracks) {
  const std::string figures = std::to_string(done) + "/" + std::to_string(tracks);
  return {figures + " トラック", figures + " tracks"};
}

Message secondsMeasuredText(double measured, double songSeconds) {
  const std::string figures = secondsText(measured) + "/" + secondsText(songSeconds);
  return {"曲の " + figures + " 秒", figures + " s of the song"};
}

Message timeLeftText(int64_t seconds) {
  const std::string s = std::to_string(seconds);
  return {"残り約 " + s + " 秒", "about " + s + " s left"};
}

Message soundsPhaseLine(bool cutting, int32_t tracks) {
  const std::string n = std::to_string(tracks);
  return cutting
             ? Message(n + " トラックの音声ファイルを切り出します", "cutting the sounds of " + n + " tracks")
             : Message(n + " トラックの音声ファイルを作ります", "rendering the sounds of " + n + " tracks");
}

Message measurePhaseLine(double songSeconds) {
  const std::string s = secondsText(songSeconds);
  return {"曲の " + s + " 秒で再現度を測ります", "measuring " + s + " s of the song"};
}

// --- Several songs in one command -------------------------------------------------------------

Message songOutcomeLine(const std::string& input, SongEnding ending, const std::string& written,
                        int32_t soundFiles) {
  const Message how = ending == SongEnding::Done ? Message("完了", "done")
                      : ending == SongEnding::DoneWithWarnings
                          ? Message("完了 (警告あり)", "done, with warnings")
                          : Message("失敗", "failed");
  const std::string sounds = std::to_string(soundFiles);
  const Message files = written.empty() ? Message("何も書き出していません", "nothing written")
                                        : Message("書き出したファイル: " + written, "written: " + written) +
                                              (soundFiles > 0 ? Message("、音声ファイル " + sounds + " 個",
                                                                        " and " + sounds + " sound files")
                                                              : Message());
  return Message::verbatim(input + ": ") + how + Message("。", "; ") + files;
}

}  // namespace rendlow
