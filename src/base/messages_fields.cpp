#include "base/messages_fields.h"

#include <algorithm>
#include <array>

namespace rendlow {

namespace {

struct Words {
  std::string_view japanese;
  std::string_view english;

  Message message() const { return Message(std::string(japanese), std::string(english)); }
};

// The Japanese captions and columns are the window's own, which authors know the settings by.
struct FieldEntry {
  std::string_view name;
  Words caption;
  Words column;
  Words help;
};

constexpr std::array kFieldTexts = {
    FieldEntry{"definitionName",
               {"定義名", "Definition name"},
               {"定義名", "Name"},
               {"トラックの音声ファイルの名前のもと (名前_01.wav など)",
                "base name of the track's sound files (NAME_01.wav, ...)"}},
    FieldEntry{
        "velocitySplitWidth",
        {"Velocity分割間隔", "Velocity split width"},
        {"Vel分割幅", "Vel. width"},
        {"ベロシティがこの幅の同じ区間に入る音符を1つの音にする。0: ベロシティを見ない",
         "notes whose velocities fall in one bucket of this width are one sound; 0: velocity ignored"}},
    FieldEntry{"ccSplitWidth",
               {"CC分割間隔", "Controller split width"},
               {"CC分割幅", "CC width"},
               {"コントローラーの値をこの幅の区間で比べる。0: コントローラーを見ない",
                "controller values in buckets of this width; 0: controllers ignored"}},
    FieldEntry{"noteInterval",
               {"音符間隔", "Note interval"},
               {"音符間隔", "Interval"},
               {"出力midiファイルで各音の前に置く無音のティック数",
                "ticks of silence before each sound in the rendering MIDI file"}},
    FieldEntry{"gridUnit",
               {"配置グリッド間隔", "Placement grid"},
               {"グリッド単位", "Grid"},
               {"ティック。出力midiファイルで音の始まりをこのグリッドに合わせる。0: グリッドなし",
                "ticks; sounds start on this grid in the rendering MIDI file; 0: no grid"}},
    FieldEntry{"multipleThreshold",
               {"多重定義間隔（閾値）", "Multiple definition threshold"},
               {"多重閾値", "Multiple"},
               {"ティック。前の音にこれより近いくり返しには別の #WAV 番号を付ける",
                "ticks; a repeat this close to the last one gets its own #WAV id"}},
    FieldEntry{"ccInterval",
               {"CC判定間隔", "Controller sampling interval"},
               {"CC判定間隔", "CC interval"},
               {"ティック。音符の中でコントローラーを比べる間隔。0: 音符の始まりだけ",
                "ticks between controller samples along a note; 0: its start only"}},
    FieldEntry{"splitMethod",
               {"分割タイプ", "Split method"},
               {"分割方式", "Split"},
               {"0 音符ごと、1 同時に始まる音符 (和音)、2 重なる音符 (レガート)",
                "0 each note, 1 notes starting together (chords), 2 overlapping notes (legato)"}},
    FieldEntry{"ignoreBpm",
               {"BPM無視", "Ignore BPM"},
               {"BPM無視", "No BPM"},
               {"1: テンポの違う音符も1つの音にできる", "1: notes under different tempos can be one sound"}},
    FieldEntry{"wavDefinitionGap",
               {"#WAV定義の間隔", "#WAV definition gap"},
               {"#WAV定義間隔", "#WAV gap"},
               {"トラックの #WAV 番号の後に空けておく番号の数", "#WAV ids left free after the track's own"}},
    FieldEntry{"enabled",
               {"出力", "Output"},
               {"出力", "Out"},
               {"0: トラックを出力midiファイルと譜面から外す",
                "0 leaves the track out of the rendering MIDI file and the chart"}},
    FieldEntry{"lengthSplitWidth",
               {"長さ分割間隔", "Length split width"},
               {"長さ分割幅", "Length width"},
               {"ティック。長さがこの幅の同じ区間に入る音符を、最初の音符の長さの1つの音にする。"
                "0: 長さをそのまま比べる",
                "ticks; notes whose lengths fall in one bucket of this width are one sound, as long as the "
                "first; 0: lengths compared exactly"}},
};

const FieldEntry* findEntry(std::string_view field) {
  const auto found = std::find_if(kFieldTexts.begin(), kFieldTexts.end(),
                                  [field](const FieldEntry& entry) { return entry.name == field; });
  return found == kFieldTexts.end() ? nullptr : &*found;
}

}  // namespace

FieldTexts fieldTexts(std::string_view field) {
  const FieldEntry* entry = findEntry(field);
  if (!entry) return {};
  return {entry->caption.message(), entry->column.message(), entry->help.message()};
}

std::vector<std::string_view> cataloguedFields() {
  std::vector<std::string_view> names;
  for (const FieldEntry& entry : kFieldTexts) names.push_back(entry.name);
  return names;
}

Message fieldHelpLine(std::string_view field, const Message& byDefault) {
  return fieldTexts(field).help + Message("。既定値 ", "; default ") + byDefault;
}

Message perRowNameDefault() { return {"tr と 1 から数えた行番号", "tr and the row from 1"}; }

Message anyValue() { return Message::verbatim("…"); }

Message settingAdvice(std::string_view field, const Message& value) {
  const Message option = commandLineAdvice(field, value);
  const std::string caption = fieldTexts(field).caption.in(Audience::Window);
  return Message::perAudience("「" + caption + "」", option.in(Audience::JapaneseConsole),
                              option.in(Audience::EnglishConsole));
}

Message commandLineAdvice(std::string_view field, const Message& value) {
  const std::string assigned = ":" + std::string(field) + "=";
  return Message::perAudience("", "--set 行" + assigned + value.in(Audience::JapaneseConsole),
                              "--set ROW" + assigned + value.in(Audience::EnglishConsole));
}

namespace {

Message faultOf(const RefusedField& refused) {
  const std::string given = "\"" + refused.given + "\"";
  switch (refused.fault) {
    case FieldFault::Missing:
      return {" がありません (行がその前で終わっています)", " is missing (the line ends before it)"};
    case FieldFault::Empty:
      return {" が空です", " is empty"};
    case FieldFault::NotWholeNumber:
      return {" の " + given + " は整数ではありません", " holds " + given + ", which is not a whole number"};
    case FieldFault::OutOfRange: {
      const std::string smallest = std::to_string(refused.smallest);
      const std::string largest = std::to_string(refused.largest);
      return {" の " + given + " は範囲 (" + smallest + " から " + largest + " まで) の外です",
              " holds " + given + ", outside its range (" + smallest + " to " + largest + ")"};
    }
  }
  return {};
}

}  // namespace

Message settingsFieldRefusedReason(std::size_t lineNumber, const RefusedField& refused) {
  const std::string n = std::to_string(lineNumber);
  const std::string field(refused.field);
  return Message(n + " 行目を読み込めません: トラック設定 " + field,
                 "Line " + n + " cannot be read: the track setting " + field) +
         faultOf(refused) +
         Message(
             "。設定が知らないうちに変わらないよう、このファイルは読み込んでいません。"
             "その行を直すか、行を消してそのトラックを既定値から始めてください。",
             ". The file was not loaded, so that no setting changes unseen. Correct the line, or "
             "delete it to start that track from the defaults.");
}

}  // namespace rendlow
