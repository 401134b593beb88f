#include "base/messages.h"

namespace rendlow {

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

}  // namespace rendlow
