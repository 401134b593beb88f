#include "base/messages_labels.h"

namespace rendlow {

// --- The song frame ------------------------------------------------------------------------

Message songGroupCaption() { return {"Midiファイル情報", "MIDI file"}; }
Message inputFileLabel() { return {"入力ファイル", "Input file"}; }
Message browseButtonCaption() { return {"...", "..."}; }
Message trackNameColumn() { return {"出力・トラック名", "Out / track"}; }

Message trackNameColumnTip() {
  return {"出力 (チェックしたトラックだけを書き出します)・トラック名",
          "Output (only the checked tracks are written) / track name"};
}

Message soundCountColumn() { return {"音数", "Sounds"}; }

Message soundCountColumnTip() {
  return {"音数 (出力で切り出した音の数。#WAV定義の上限を超えたトラックを探せます)",
          "Sounds (how many sounds the output cut; finds the tracks past the #WAV limit)"};
}

std::vector<Message> splitMethodNames() {
  return {{"単音", "Single"}, {"和音", "Chord"}, {"レガート", "Legato"}};
}

Message flagMark(bool on) { return on ? Message("■", "■") : Message("□", "□"); }

// --- The settings group ----------------------------------------------------------------------

Message updateButtonCaption() { return {"更新", "Update"}; }

// --- The output row and the chart header group ----------------------------------------------

Message outputFileLabel() { return {"出力ファイル", "Output file"}; }
Message chartOutputButtonCaption() { return {"Midi&&BMS出力", "MIDI && BMS"}; }
Message midiOutputButtonCaption() { return {"Midi出力", "MIDI only"}; }
Message saveSettingsButtonCaption() { return {"設定保存", "Save settings"}; }
Message chartGroupCaption() { return {"BMS情報", "BMS header"}; }
Message genreLabel() { return {"GENRE", "GENRE"}; }
Message titleLabel() { return {"TITLE", "TITLE"}; }
Message artistLabel() { return {"ARTIST", "ARTIST"}; }

// --- The menu ----------------------------------------------------------------------------------

Message soundMenuCaption() { return {"音声(&A)", "&Audio"}; }
Message makeKeysoundsMenuItem() { return {"キー音を作成(&K)", "Make the &keysounds"}; }
Message cutFromStemsMenuItem() { return {"ステムから切り出し(&C)...", "&Cut from stems..."}; }
Message freshChartMenuItem() {
  return {"譜面を曲だけから作り直す(&F)", "Make the chart a&fresh from the song"};
}
Message aboutStemsMenuItem() { return {"ステムについて(&H)", "&How to render stems"}; }

// --- The dialogs -------------------------------------------------------------------------------

Message songFileDialogTitle() { return {"音声ファイルの選択", "Choose a song"}; }
Message songFileFilterName() { return {"Midi file {*.mid;*.txt}", "MIDI or settings file {*.mid;*.txt}"}; }
Message stemsFolderDialogTitle() { return {"ステムのフォルダーの選択", "Choose the stems folder"}; }

}  // namespace rendlow
