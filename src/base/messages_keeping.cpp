#include "base/messages_keeping.h"

namespace rendlow {

namespace {

std::string number(int32_t value) { return std::to_string(value); }

// "1 object", "2 objects": the English count of a noun.
std::string counted(int32_t value, const std::string& noun) {
  return number(value) + " " + noun + (value == 1 ? "" : "s");
}

Message laneObjectsPart(const KeptWorkCounts& counts) {
  const std::string objects = number(counts.laneObjects);
  if (counts.leftOut == 0)
    return {"レーンのオブジェ " + objects + " 個 (新しい音に付け替え)",
            counted(counts.laneObjects, "object") + " in lanes (moved to the new sounds)"};
  return {"レーンのオブジェ " + objects + " 個 (" + number(counts.moved) + " 個を新しい音に付け替え、" +
              number(counts.leftOut) + " 個は音符がなくなったため外しました)",
          counted(counts.laneObjects, "object") + " in lanes (" + number(counts.moved) + " moved to the new sounds, " +
              number(counts.leftOut) + " left out: their notes are gone)"};
}

}  // namespace

Message chartWorkKeptMessage(const KeptWorkCounts& counts, const std::string& backup) {
  Message text = Message("譜面の作業を残しました: ", "Kept your chart work: ") + laneObjectsPart(counts) +
                 Message("、ヘッダー行 " + number(counts.headerLines) + " 行、BGA 行 " + number(counts.bgaLines) +
                             " 行。元の譜面: " + backup,
                         ", " + counted(counts.headerLines, "header line") + ", " +
                             counted(counts.bgaLines, "BGA line") + "; the chart as it was: " + backup);
  if (counts.splitNotesInBackground > 0) {
    const std::string split = number(counts.splitNotesInBackground);
    text += Message("\n新しい区切り方で別の音になった " + split +
                        " 個の音符は、レーンのオブジェが最も低い音を鳴らし、残りは BGM のままです。",
                    "\n" + split +
                        " notes that sounded with a moved object now have sounds of their own: the lane plays "
                        "the lowest, the rest stay in the background.");
  }
  return text;
}

Message freshChartKeptMessage(const std::string& backup) {
  return {"譜面を曲だけから作り直しました。元の譜面: " + backup,
          "Made the chart from the song alone; the chart as it was: " + backup};
}

Message leftOutObjectLine(int32_t measure, const std::string& channel, int32_t slot, int32_t slots) {
  const std::string place = number(slot) + "/" + number(slots);
  return {"  小節 " + number(measure) + "、チャンネル " + channel + "、位置 " + place,
          "  measure " + number(measure) + ", channel " + channel + ", at " + place};
}

Message leftOutListedMessage(const std::string& listPath) {
  return {"外したオブジェの一覧: " + listPath, "The objects left out are listed in " + listPath};
}

Message chartBackupFailedReason(const std::string& backup, const Message& reason) {
  return Message("元の譜面を " + backup + " に残せなかったため、譜面は置き換えていません: ",
                 "The chart was not replaced, as the chart it would replace could not be kept as " + backup +
                     ": ") +
         reason;
}

Message authorSoundsPushIdsPastLimitMessage(int32_t authorIds, int32_t largest, int32_t limit) {
  return {"譜面にある独自の音 " + number(authorIds) + " 個の番号を避けると、#WAV の番号が " + number(largest) +
              " まで必要で、上限の ZZ (" + number(limit) +
              ") を超えます。音をまとめる設定にするか、独自の音の番号を減らしてください。",
          "Passing over the ids of the " + number(authorIds) + " sounds of your own in the chart, the #WAV ids "
              "would run up to " + number(largest) + ", past the last one, ZZ (" + number(limit) +
              "). Slice more coarsely, or give fewer sounds of your own an id."};
}

Message otherFormatChartTakenMessage(const std::string& oldChart, const std::string& newChart, int32_t notCarried) {
  Message text{oldChart + " の作業を " + newChart + " に引き継ぎ、" + oldChart +
                   " は消しました (プレイヤーに同じ曲の譜面が二つ並ばないように)。",
               "Took the work of " + oldChart + " into " + newChart + " and removed " + oldChart +
                   ", so that a player does not list two charts of the song."};
  if (notCarried == 0) return text;
  return text + Message(" 新しい形式に置き場所のない " + number(notCarried) +
                            " 件 (BGA、地雷、見えないノート、ほかのヘッダー行など) は、元の譜面にだけ残っています。",
                        " " + number(notCarried) + " of its lines and objects (BGA, mines, invisible notes, other "
                            "header lines) " + (notCarried == 1 ? "has" : "have") +
                            " no place in the new format and " + (notCarried == 1 ? "is" : "are") +
                            " kept in the chart as it was alone.");
}

Message otherFormatChartRemovedMessage(const std::string& oldChart) {
  return {oldChart + " は消しました (プレイヤーに同じ曲の譜面が二つ並ばないように)。",
          "Removed " + oldChart + ", so that a player does not list two charts of the song."};
}

Message otherFormatChartStaysMessage(const std::string& oldChart) {
  return {oldChart + " を消せませんでした。新しい譜面と並んで、以前の音を鳴らします。",
          oldChart + " could not be removed: it stands beside the new chart and plays the earlier sounds."};
}

Message otherFormatChartBesideMessage(const std::string& otherChart, const std::string& chart) {
  return {otherChart + " が " + chart + " と並んでいて、以前の変換の音を鳴らします。要らなければ消してください。",
          otherChart + " stands beside " + chart +
              " and plays the sounds of an earlier conversion; remove it if you no longer need it."};
}

}  // namespace rendlow
