#include "base/messages.h"

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace rendlow {

const char* const kMidiWrittenMessage = "midiファイルを出力しました";
const char* const kMidiNotWrittenMessage = "midiファイルを出力できませんでした";
const char* const kSettingsNotSavedMessage = "設定ファイルを保存できませんでした";
const char* const kChartRefusedMessage = "譜面ファイルを出力しませんでした";
const char* const kChartFailedMessage = "譜面ファイルを出力できませんでした";
const char* const kOverwriteRefusedMessage = "入力のmidiファイルを上書きしてしまうため、出力を中止しました";
const char* const kMidiUnreadableMessage = "midiファイルを読み込めないため、出力を中止しました";
const char* const kTrackTooComplexMessage = "複雑すぎるトラックがあるため、出力を中止しました";
const char* const kRetimingUnsettledMessage = "テンポ変更の位置を決めきれませんでした";
const char* const kMidiNotLoadedMessage = "midiファイルを読み込めませんでした";
const char* const kSettingsUnreadableMessage = "設定ファイルを読み込めませんでした";

namespace {

// The first line, then each further line, one per line.
std::string compose(const char* headline, std::initializer_list<std::string> lines) {
  std::string text = headline;
  for (const std::string& line : lines) text += "\n" + line;
  return text;
}

std::string fileLine(const std::string& path) { return "ファイル: " + path; }

std::string number(int64_t value) { return std::to_string(value); }

// A track as the user finds it in the file: its position from 1, and its name.
std::string trackInFile(int32_t trackNumber, const std::string& name) {
  return number(trackNumber) + " 番目のトラック「" + (name.empty() ? "(名前なし)" : name) + "」";
}

// The C library's words for the common failures are English; these are the ones a user meets.
std::string systemText(int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
      return "ファイルまたはフォルダーが見つかりません";
    case EACCES:
    case EPERM:
      return "アクセスが拒否されました";
    case EISDIR:
      return "同じ名前のフォルダーがあります";
    case ENOTDIR:
      return "途中の名前がフォルダーではありません";
    case ENOSPC:
      return "ディスクの空きが足りません";
    case EROFS:
      return "読み取り専用の場所です";
    case ENAMETOOLONG:
      return "名前が長すぎます";
    case EBUSY:
      return "ほかのプログラムが使用中です";
    default:
      return std::strerror(errorNumber);
  }
}

const char* outputKindName(OutputKind kind) {
  switch (kind) {
    case OutputKind::RenderingMidi:
      return "出力midiファイル";
    case OutputKind::Settings:
      return "設定ファイル";
    case OutputKind::Chart:
      return "譜面ファイル";
  }
  return "";
}

// The settings file and the chart take their names from other files, so the way out differs.
const char* overwriteAdvice(OutputKind kind) {
  switch (kind) {
    case OutputKind::RenderingMidi:
      return "出力ファイル名を入力のmidiファイルと違う名前にしてください。";
    case OutputKind::Settings:
      return "設定ファイルはmidiファイルの拡張子を .txt にした名前になります。"
             "midiファイルの拡張子を .mid にしてください。";
    case OutputKind::Chart:
      return "譜面ファイルは出力ファイル名の拡張子を .bme にした名前になります。"
             "出力ファイル名を変えてください。";
  }
  return "";
}

}  // namespace

// --- Whole messages ----------------------------------------------------------------------

std::string midiNotWrittenMessage(const std::string& path, const std::string& reason) {
  return compose(kMidiNotWrittenMessage, {fileLine(path), reason});
}

std::string settingsNotSavedMessage(const std::string& path, const std::string& reason) {
  return compose(kSettingsNotSavedMessage, {fileLine(path), reason});
}

std::string chartFailedMessage(const std::string& path, const std::string& reason) {
  return compose(kChartFailedMessage, {fileLine(path), reason});
}

std::string chartRefusedMessage(const std::string& path, const std::string& reason) {
  return compose(kChartRefusedMessage, {fileLine(path), reason});
}

std::string overwriteRefusedMessage(const std::string& input, OutputKind kind, const std::string& output) {
  return compose(kOverwriteRefusedMessage,
                 {"入力midiファイル: " + input, std::string(outputKindName(kind)) + ": " + output,
                  std::string("この2つは同じファイルです。何も出力していません。") + overwriteAdvice(kind)});
}

std::string midiUnreadableMessage(const std::string& path, const std::string& reason) {
  return compose(kMidiUnreadableMessage, {fileLine(path), reason, "何も出力していません。"});
}

std::string trackTooComplexMessage(const std::string& midiPath, int32_t number, const std::string& name) {
  return compose(kTrackTooComplexMessage,
                 {fileLine(midiPath), trackInFile(number, name),
                  "音の重なりが多すぎて、出力midiファイルに並べるには時間とメモリーがかかりすぎます。"
                  "何も出力していません。このトラックの分割方式をレガートにするか、出力から外してください。"
                  "ノートオフの欠けた音がないかも確かめてください。"});
}

std::string retimingUnsettledMessage(const std::string& path, bool overflow, int32_t cycles) {
  const std::string why =
      overflow ? "テンポ変更を動かすとティックが上限 (2147483647) を超えるため、動かす前の位置で"
               : rendlow::number(cycles) + " 回くり返してもテンポ変更の位置が定まらないため、最後の位置で";
  return compose(
      kRetimingUnsettledMessage,
      {fileLine(path), why + "midiファイルを出力しました。一部の音が本来と違うテンポで鳴るかもしれません。"
                             "グリッド単位や音符間隔を小さくして、もう一度出力してください。"});
}

std::string midiNotLoadedMessage(const std::string& path, const std::string& reason,
                                 const std::string& namedBy) {
  if (namedBy.empty()) return compose(kMidiNotLoadedMessage, {fileLine(path), reason});
  return compose(kMidiNotLoadedMessage,
                 {fileLine(path), "このファイルを指す設定ファイル: " + namedBy, reason});
}

std::string settingsUnreadableMessage(const std::string& path, const std::string& reason) {
  return compose(kSettingsUnreadableMessage, {fileLine(path), reason});
}

// --- Reasons -----------------------------------------------------------------------------

std::string writeReason(int errorNumber) {
  return systemText(errorNumber) +
         "。保存先のフォルダーがあって書き込めるか、"
         "ファイルがほかのプログラムで開かれていないか確かめてください。";
}

std::string readReason(int errorNumber) {
  return systemText(errorNumber) + "。ファイルがあるか、名前が正しいか確かめてください。";
}

std::string noFileNameReason() {
  return "ファイル名がありません。midiファイルを読み込み、出力ファイル名を入れてください。";
}

std::string folderReason() { return "フォルダーです。ファイルを選んでください。"; }

std::string notMidiReason() {
  return "\"MThd\" で始まらないので、midiファイルではありません。midiファイルを選んでください。";
}

std::string deltaTooLargeReason(int32_t trackNumber, const std::string& trackName, int64_t delta,
                                int64_t limit) {
  return trackInFile(trackNumber, trackName) + "に " + number(delta) +
         " ティックの間隔があり、midiファイルに書ける最大 " + number(limit) +
         " を超えます。曲の中の長い空白を詰めてから出力してください。";
}

std::string renderingTooLongReason(int32_t trackNumber, const std::string& trackName, int64_t ticks,
                                   int64_t limit) {
  return trackInFile(trackNumber, trackName) + "の出力が " + number(ticks) +
         " ティックになり、midiファイルで数えられる最大 " + number(limit) +
         " を超えます。音符間隔やグリッド単位を小さくするか、曲を分けて出力してください。";
}

std::string headerCutShortReason() {
  return "ヘッダーが途中で切れています。ファイルが壊れていないか確かめてください。";
}

std::string divisionReason(int32_t division) {
  return "分解能 (division) が " + number(division) +
         " です。4分音符あたりのティック数 (1 以上) で書き出したmidiファイルを選んでください。";
}

std::string noMidiNamedReason() {
  return "midiファイルを指す \"i\" の行がありません。"
         "midiファイルを読み込み直して、設定を保存し直してください。";
}

std::string settingsLineTooLongReason(const std::string& what, std::size_t length, std::size_t limit) {
  return what + "の行が " + number(static_cast<int64_t>(length)) +
         " バイトになり、設定ファイルの1行の上限 (" + number(static_cast<int64_t>(limit)) +
         " バイト) を超えます。短くしてください。";
}

std::string settingsLineOfPath(bool input) { return input ? "入力ファイルのパス" : "出力ファイルのパス"; }

std::string settingsLineOfRow(int row, const std::string& trackName) {
  return number(row + 1) + " 行目のトラック「" + trackName + "」の設定";
}

std::string wavIdBreach(int64_t largest, int64_t limit) {
  return "#WAV の番号が " + number(largest) + " まで必要で、上限の ZZ (" + number(limit) + ") を " +
         number(largest - limit) +
         " 超えます。Vel分割幅・CC分割幅を大きくする、BPM無視をオンにする、多重閾値を小さくすると、"
         "同じ音として番号を共有する音が増えます。"
         "#WAV定義間隔を小さくすると、トラックの間の使わない番号が減ります。";
}

std::string bpmIdBreach(int64_t largest, int64_t limit) {
  return "#BPM の番号が " + number(largest) + " まで必要で、上限の ZZ (" + number(limit) + ") を " +
         number(largest - limit) + " 超えます。テンポ変更を減らしてください。";
}

std::string measureBreach(int64_t last, int64_t limit, bool atLeast) {
  const std::string bound = atLeast ? "少なくとも " : "";
  return "小節番号が " + bound + number(last) + " まで必要で、上限の " + number(limit) + " を " + bound +
         number(last - limit) +
         " 超えます。音を共有しても短くなりません。曲を短くするか、いくつかに分けてください。";
}

std::string lineSlotsBreach(int32_t measure, int channel, int64_t limit) {
  return "小節 " + number(measure) + " のチャンネル " + (channel < 10 ? "0" : "") + number(channel) +
         " の行が、1行の上限 (" + number(limit) +
         " 区画) を超える細かさになります。音の位置をクオンタイズするか、拍子と分解能を見直してください。";
}

std::string chartSizeBreach(int32_t measure, int64_t limitMiB) {
  return "小節 " + number(measure) + " までで、譜面が上限 (" + number(limitMiB) +
         " MiB) を超える大きさになります。音の位置をクオンタイズするか、曲をいくつかに分けてください。";
}

}  // namespace rendlow
