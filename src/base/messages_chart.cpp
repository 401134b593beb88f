#include "base/messages.h"
#include "base/messages_fields.h"

namespace rendlow {

namespace {

std::string wavIdHead(int64_t largest, int64_t limit) {
  return "#WAV の番号が " + std::to_string(largest) + " まで必要で、上限の ZZ (" + std::to_string(limit) +
         ") を " + std::to_string(largest - limit) + " 超えます。";
}

std::string wavIdHeadEnglish(int64_t largest, int64_t limit) {
  return "The #WAV ids would run up to " + std::to_string(largest) + ", " + std::to_string(largest - limit) +
         " past the last one, ZZ (" + std::to_string(limit) + ").";
}

}  // namespace

Message wavIdBreach(int64_t largest, int64_t limit) {
  const std::string head = wavIdHead(largest, limit);
  const std::string shared = "を小さくすると、同じ音として番号を共有する音が増えます。";
  const std::string unused = "を小さくすると、トラックの間の使わない番号が減ります。";
  return Message::perAudience(head, head,
                              wavIdHeadEnglish(largest, limit) +
                                  " More sounds share an id with wider velocity and controller buckets (") +
         settingAdvice("velocitySplitWidth") + Message::perAudience("・", " と ", ", ") +
         settingAdvice("ccSplitWidth") +
         Message::perAudience("を大きくする、", " を大きくする、", "), with tempos ignored (") +
         settingAdvice("ignoreBpm", Message::verbatim("1")) +
         Message::perAudience("をオンにする、", " にする、", "), or with a smaller multiple threshold (") +
         settingAdvice("multipleThreshold") +
         Message::perAudience(shared, " " + shared, "). A smaller gap between tracks (") +
         settingAdvice("wavDefinitionGap") +
         Message::perAudience(unused, " " + unused, ") leaves fewer ids unused.");
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

// --- Fitting a .bme chart into its #WAV ids ------------------------------------------------

namespace {

std::string decibels(double db) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", db);
  return text;
}

// The caption of the box that sets `field` in the settings group.
std::string windowCaption(const std::string& field) { return fieldTexts(field).caption.in(Audience::Window); }

std::string arrow(int64_t before, int64_t after) { return std::to_string(before) + " → " + std::to_string(after); }

// "行 2 (Lead) Velocity分割間隔 16 → 64、BPM無視 0 → 1" as the window names rows and boxes, one row after
// another.
std::string windowChanges(const std::vector<FittedField>& fields) {
  std::string text;
  int row = -1;
  for (const FittedField& f : fields) {
    if (f.row != row) {
      text += (text.empty() ? "" : "。") + std::string("行 ") + std::to_string(f.row + 1) + " (" + f.trackName + ") ";
      row = f.row;
    } else {
      text += "、";
    }
    text += windowCaption(f.name) + " " + arrow(f.before, f.after);
  }
  return text;
}

// "--set 1:velocitySplitWidth=64 --set 1:ignoreBpm=1", as the command line takes them.
std::string setOptions(const std::vector<FittedField>& fields) {
  std::string text;
  for (const FittedField& f : fields) {
    if (!text.empty()) text += ' ';
    text += "--set " + std::to_string(f.row) + ":" + f.name + "=" + std::to_string(f.after);
  }
  return text;
}

}  // namespace

Message wavIdBreach(int64_t largest, int64_t limit, const std::vector<FittedField>& fitted, int64_t fittedLargest) {
  const std::string head = wavIdHead(largest, limit);
  const std::string n = std::to_string(fittedLargest);
  return Message::perAudience(
      head + "次のように設定すると、同じ音として番号を共有する音が増え、#WAV の番号は " + n +
          " までで収まります: " + windowChanges(fitted) + "。",
      head + "--fit を付けると、次の設定で番号が " + n + " までに収まる細かさで書き出します: " +
          setOptions(fitted) + "。bmson (--format bmson) なら番号の上限はありません。",
      wavIdHeadEnglish(largest, limit) + " With --fit the chart is made as finely as fits: " + setOptions(fitted) +
          ", which needs ids up to " + n + ". A bmson chart (--format bmson) has no such limit.");
}

Message wavIdBreachUnfittable(int64_t largest, int64_t limit, int64_t coarsest) {
  const std::string head = wavIdHead(largest, limit);
  const std::string c = std::to_string(coarsest);
  return Message::perAudience(
      head + "最も粗く分割しても番号が " + c + " まで必要です。出力名を .bmson にして、bmson で書き出してください。",
      head + "最も粗く分割しても番号が " + c + " まで必要です。--format bmson で書き出してください。",
      wavIdHeadEnglish(largest, limit) + " Even the coarsest slicing needs ids up to " + c +
          ". Write the chart as bmson (--format bmson).");
}

Message fitImpossibleMessage(int64_t largest, int64_t coarsest, int64_t limit) {
  const std::string head = "#WAV の番号が " + std::to_string(largest) + " まで必要で、最も粗く分割しても " +
                           std::to_string(coarsest) + " まで必要です。上限の ZZ (" + std::to_string(limit) +
                           ") に収まらないため、何も書き出しませんでした。";
  return Message::perAudience(
      head + "出力ファイル名の拡張子を .bmson にして、bmson で書き出してください。",
      "--fit: " + head + "--format bmson で書き出してください。",
      "--fit: the #WAV ids would run up to " + std::to_string(largest) + ", and even the coarsest slicing needs " +
          std::to_string(coarsest) + ", past the last one, ZZ (" + std::to_string(limit) +
          "). Nothing was written. Write the chart as bmson (--format bmson).");
}

Message fitDoneLine(int64_t before, int64_t after, int64_t limit, double strayBefore, double strayAfter) {
  const std::string stray = decibels(strayBefore) + " → " + decibels(strayAfter) + " dB";
  const std::string japanese = "#WAV の番号を " + arrow(before, after) + " にして上限の ZZ (" +
                               std::to_string(limit) + ") に収めました。音と元の音符の差は 1 音符あたり平均 " +
                               stray + " です。変えた設定は設定ファイルに保存します:";
  return Message::perAudience(
      japanese, "--fit: " + japanese,
      "--fit: the #WAV ids now run up to " + std::to_string(after) + " instead of " + std::to_string(before) +
          ", within ZZ (" + std::to_string(limit) + "); the sounds stray from their notes by " + stray +
          " a note on average. The settings changed, saved in the settings file:");
}

Message fitRowLine(const std::vector<FittedField>& fields, int32_t idsBefore, int32_t idsAfter) {
  if (fields.empty()) return {};
  // The window names each setting by its box's caption, the command line as --set names it.
  std::string captions;
  std::string names;
  for (const FittedField& f : fields) {
    captions += (captions.empty() ? "" : "、") + windowCaption(f.name) + " " + arrow(f.before, f.after);
    names += (names.empty() ? "" : ", ") + f.name + " " + arrow(f.before, f.after);
  }
  const FittedField& first = fields.front();
  const std::string row = std::to_string(first.row) + " " + first.trackName + ": ";
  const std::string ids = arrow(idsBefore, idsAfter);
  return Message::perAudience("  行 " + row + captions + "、番号 " + ids, "  行 " + row + names + "、番号 " + ids,
                              "  row " + row + names + "; ids " + ids);
}

// --- The desktop program: fitting a refused chart ------------------------------------------

Message fitActionCaption() { return {"収まるように調整", "Fit the ids"}; }

}  // namespace rendlow
