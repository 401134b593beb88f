#include "base/messages_usage.h"

#include <algorithm>
#include <array>

namespace rendlow {

namespace {

struct OptionEntry {
  std::string_view option;
  std::string_view japanese;
  std::string_view english;
};

constexpr std::array kOptionHelp = {
    OptionEntry{"--help", "このヘルプを表示して終わる", "print this help and exit"},
    OptionEntry{"--version", "名前とバージョンを表示して終わる", "print the name and version and exit"},
    OptionEntry{"--list",
                "INPUT の変換で使うトラック行を表示する: フィールド名の見出し行の後に、1行ずつタブ区切りで",
                "print the track rows a conversion of INPUT would use: a header line naming the fields, then "
                "one TAB-separated line per row"},
    OptionEntry{"--no-chart", "出力midiファイルと設定ファイルを書き出し、譜面ファイルは書き出さない",
                "write the rendering MIDI file and the settings file, not the chart"},
    OptionEntry{"--settings-only", "変換せずに設定ファイルだけを書き出す",
                "write only the settings file, without converting"},
    OptionEntry{"--genre", "譜面の #GENRE (既定値: 読み込んだ設定ファイルのもの)",
                "the chart's #GENRE (default: the loaded settings file's)"},
    OptionEntry{"--title", "譜面の #TITLE (既定値: 読み込んだ設定ファイルのもの)",
                "the chart's #TITLE (default: the loaded settings file's)"},
    OptionEntry{"--artist", "譜面の #ARTIST (既定値: 読み込んだ設定ファイルのもの)",
                "the chart's #ARTIST (default: the loaded settings file's)"},
    OptionEntry{
        "--output",
        "書き出す出力midiファイル (既定値: INPUT の名前 + _out.mid)。/ で終われば書き出すフォルダー、"
        ".bmson で終われば bmson の譜面で、出力midiファイル (.mid) はその隣",
        "the rendering MIDI file to write (default: INPUT's name + _out.mid); ending in /, the folder "
        "to write it into; ending in .bmson, a bmson chart, its rendering file beside it (.mid)"},
    OptionEntry{
        "--format",
        "譜面の形式: .bme (音は 1295 まで) か、その上限のない bmson (既定値: 出力名か保存した設定が"
        "指すもの)",
        "the chart's format: .bme (up to 1295 sounds), or bmson, without that limit (default: the one "
        "the output name or the saved settings ask for)"},
    OptionEntry{"--fit",
                ".bme の譜面に ZZ (1295) を超える #WAV 番号が要るとき、収まる細かさで分割する: 変えた設定を"
                "表示して設定ファイルに保存する",
                "when a .bme chart would need more #WAV ids than ZZ (1295), slice as finely as fits: "
                "print what changed and save it in the settings file"},
    OptionEntry{"--fresh-chart", "譜面を曲だけから作る (前の譜面に加えた作業は取り込まず、.bak として残す)",
                "make the chart from the song alone, without your work on the one it replaces (kept as .bak)"},
    OptionEntry{"--set", "出力の前にトラック行 (0 から数える) のフィールドを1つ設定する",
                "set one field of a track row (from 0) before the output"},
    OptionEntry{"--defaults", "INPUT の隣に保存した設定ファイルではなく、既定の設定から始める",
                "start from the default settings, not from the settings file saved beside INPUT"},
    OptionEntry{"--cut", "自分で書き出した各トラックの音 (STEMS/tr01.wav など) から音声ファイルを切り出す",
                "cut the sound files out of your renders of each track, STEMS/tr01.wav ..."},
    OptionEntry{"--keysounds", "シンセサイザーで音声ファイルを作り、譜面の再現度を測る",
                "render the sound files with the synthesizer, and measure the chart"},
    OptionEntry{"--soundfont", "--keysounds の SoundFont (既定値: インストールされた General MIDI のもの)",
                "the SoundFont for --keysounds (default: a General MIDI one installed)"},
    OptionEntry{"--synth",
                "--keysounds のシンセサイザー: fluidsynth (ビルドにあれば既定値) か、Rendlow 内蔵の builtin",
                "the synthesizer for --keysounds: fluidsynth (the default where the build has it) or "
                "builtin, Rendlow's own"},
    OptionEntry{"--ogg", "音声ファイルを WAV ではなく Ogg Vorbis (.ogg) で書き出す",
                "write the sound files as Ogg Vorbis (.ogg) instead of WAV"},
    OptionEntry{"--compare", "--cut とともに: 自分で書き出した曲全体と譜面を比べる",
                "with --cut: measure the chart against your render of the whole song"},
    OptionEntry{
        "--compare-tracks",
        "--cut とともに: 各トラックを、自分で書き出した曲のそのトラック (FOLDER/tr01.wav など) と比べる",
        "with --cut: measure each track against your render of it in the song, FOLDER/tr01.wav ..."},
    OptionEntry{
        "--verbose",
        "読み込み・変換・書き出しの経過を標準エラーに表示する (読み込みの行はmidi読み込み処理のもので、"
        "その綴りのまま)。2つ指定するとすべてのイベントも",
        "print what is being read, converted and written on standard error (the reading's lines are the "
        "MIDI reader's own, spelled as it spells them); twice, every event too"},
    OptionEntry{"--quiet", "トラックの表も書き出したファイルの一覧も表示しない",
                "print no table of the tracks and no list of the files written"},
    OptionEntry{"--no-wait", "別の実行がこの曲を処理中なら、終わるのを待たずに止める (終了ステータス 1)",
                "when another run is working on the song, stop (exit status 1) instead of waiting for it"},
    OptionEntry{"--clean",
                "--cut か --keysounds とともに: 譜面の音と同じ名前で譜面が使わない音声ファイルを削除する",
                "with --cut or --keysounds: remove the sound files named as the chart's sounds that it "
                "does not use"},
};

Message wordsOf(std::string_view japanese, std::string_view english) {
  return Message(std::string(japanese), std::string(english));
}

}  // namespace

// --- --help ----------------------------------------------------------------------------------

Message usageOpening() {
  return {
      "使用法: rendlow-cli [オプション] INPUT...\n"
      "  または:  rendlow-cli --list [--defaults] [--verbose] INPUT\n"
      "\n"
      "INPUT は Standard MIDI File か、それを指す設定ファイル (.txt) です。INPUT "
      "を1つずつ読み込み、設定を変え\n"
      "(--set)、デスクトップ版の「Midi&BMS出力」ボタンと同じように変換して、出力midiファイル (-o "
      "で指定しなければ\n"
      "INPUT の名前 + _out.mid)、midiファイルの隣の設定ファイル (INPUT の名前 + "
      ".txt)、出力midiファイルの隣の譜面ファイル\n"
      "(その名前 + .bme) を書き出します。--no-chart は「Midi出力」、--settings-only "
      "は「設定保存」と同じです。\n"
      "midiファイルの隣の設定ファイルがそのmidiファイルを指していればそれも読み込むので、2回目は1回目の設定で"
      "変換します。\n"
      "最後に、変換したトラックごとに音符の数、譜面のオブジェの数、違う音の数 "
      "(切り出す音声ファイルの数)、定義の数と #WAV\n"
      "の番号を表にし、書き出したファイルを示します。\n"
      "\n"
      "オプション:\n",
      "Usage: rendlow-cli [options] INPUT...\n"
      "  or:  rendlow-cli --list [--defaults] [--verbose] INPUT\n"
      "\n"
      "INPUT is a Standard MIDI File, or a settings file (.txt) that names one. Each INPUT in turn is\n"
      "loaded, edited (--set) and converted as the desktop program's \"Midi&BMS出力\" button does: the\n"
      "rendering MIDI file (INPUT's name + _out.mid unless -o names it), the settings file beside the\n"
      "MIDI file (INPUT's name + .txt) and the chart beside the rendering file (its name + .bme).\n"
      "--no-chart does what \"Midi出力\" does, and --settings-only what \"設定保存\" does. When the\n"
      "settings file beside a MIDI file names that file, it is loaded too, so a second run keeps the\n"
      "setup of the first. Then a table shows, per converted track, its notes, its chart objects, its\n"
      "distinct sounds (the sound files to cut), its definitions and its #WAV ids, followed by the\n"
      "files written.\n"
      "\n"
      "Options:\n"};
}

Message optionHelp(std::string_view option) {
  const auto found = std::find_if(kOptionHelp.begin(), kOptionHelp.end(),
                                  [option](const OptionEntry& entry) { return entry.option == option; });
  if (found == kOptionHelp.end()) return {};
  return wordsOf(found->japanese, found->english);
}

Message fieldsHeading() {
  return {
      "\n"
      "--set ROW:FIELD=VALUE のフィールド (ROW は --list と同じく 0 から数える行、VALUE は 0 "
      "以上の整数か、definitionName\n"
      "では名前です。指定しないフィールドは値を変えません):\n",
      "\nFields of --set ROW:FIELD=VALUE (ROW counts from 0, as --list shows; VALUE is a whole number from "
      "0,\n"
      "or the name for definitionName; fields not named keep their value):\n"};
}

Message soundFilesSection() {
  return {
      "\n"
      "音声ファイル: --cut STEMS "
      "は自分で書き出した音から切り出します。出力midiファイルの各トラックを先頭から、\n"
      "トラックごとに定義名の名前 (tr01.wav など) で1つのファイルにして STEMS に書き出してください。\n"
      "--keysounds は代わりに FluidSynth で作ります。どちらも譜面が指すすべての音を譜面の隣に書き出します。\n"
      "--keysounds は譜面の再生を、曲をそのまま鳴らしたものと比べ、各トラックだけでもそのトラックをそのまま\n"
      "鳴らしたものと比べます。--cut が比べるのは自分で書き出したものとだけです: 曲全体は --compare "
      "MIX.wav、\n"
      "各トラックは --compare-tracks FOLDER があるとき。トラックは悪い順に示します。再現度の行 "
      "(--keysounds、\n"
      "または --cut と --compare) は次を示します: 対数スペクトル距離 "
      "(dB、小さいほど近い。同じ曲の実行どうしで\n"
      "比べてください。トラックが丸ごと欠けても小さく動くだけのことがあります)、位相を見ないスペクトルの SNR "
      "と\n"
      "波形の SNR (dB、大きいほど近い)、最悪の 50 ms とその時刻、ミックスのピーク (0 dBFS "
      "を超えると譜面の音が\n"
      "割れます)、再生の遅れ。細かく分割すると (ベロシティやコントローラーを見ない 0 の代わりに小さな幅:\n"
      "--set ROW:velocitySplitWidth=16 など) 数値は近づきますが、音声ファイルが増えます。\n",
      "\n"
      "Sound files: --cut STEMS cuts them out of your own renders: render each track of the rendering MIDI\n"
      "file from its start, one file per track named by its definition name (tr01.wav, ...), into STEMS.\n"
      "--keysounds renders them with FluidSynth instead. Either way every sound the chart names is written\n"
      "beside the chart. --keysounds measures the chart's playback against the song rendered directly, and\n"
      "each track alone against that track rendered directly; --cut measures only against your renders:\n"
      "the whole song with --compare MIX.wav, each track with --compare-tracks FOLDER. Tracks come worst\n"
      "first. The fidelity line (--keysounds, or --cut with --compare) gives: the log-spectral distance\n"
      "(dB, lower is closer; compare runs of one song, as a whole track missing may move it little), the\n"
      "SNR of the spectra, which ignores phase, and of the waveform (dB, higher is closer), the worst 50 ms\n"
      "and when it is, the mix's peak (above 0 dBFS the chart clips), and how far the playback lags. Finer\n"
      "splits (a small velocity or controller width in place of 0, which ignores them: --set\n"
      "ROW:velocitySplitWidth=16 ...) bring the figures closer at the cost of more sound files.\n"};
}

Message exitStatusSection() {
  return {
      "\n"
      "終了ステータス:\n"
      "  0  指定したものをすべて書き出しました。\n"
      "  1  拒否または失敗: その理由と、書き出したファイルと書き出していないファイルを\n"
      "     標準エラーに示します。拒否したときは設定ファイルのほかは何も書き出していません。形式の上限 (ZZ "
      "までの番号、\n"
      "     999 までの小節、64 MiB の行) を超える譜面は、対になる出力midiファイルとともに書き出しません。\n"
      "     設定ファイルは保存するので、変えた設定は残ります。ZZ を超える .bme には --fit "
      "が選ぶ設定を示します。\n"
      "     --fit は、最も粗く分割しても ZZ を超える曲を拒否します。\n"
      "     出力全体を拒否するのは、2つの出力ファイルが同じファイルになるか、どれかが INPUT の\n"
      "     midiファイルそのものになるとき (リンクも大文字・小文字の違いも同じファイルと見ます)、\n"
      "     "
      "出力がフォルダー、デバイス、読み取り専用のファイルのとき、変換する2つのトラックの定義名が同じとき、\n"
      "     "
      "トラックが複雑すぎて並べられないとき、設定ファイルの名前をこの曲の設定ファイルではないファイルが\n"
      "     使っているとき、読み込む設定ファイルの行が読めないときです。\n"
      "  2  コマンドの誤り: ないオプション、範囲外の値、INPUT にない行。\n"
      "  3  書き出しましたが、標準エラーに読むべきことがあります: 壊れたmidiファイル、音符のない曲、\n"
      "     位置の定まらなかったテンポ変更、譜面の隣に保存した設定ファイル、\n"
      "     "
      "ない・読めない・余った・短すぎる・この出力midiファイルから作っていないステム、曲の中で無音の音、\n"
      "     測れなかった再現度、曲が鳴っているのに無音の再生、20 ms を超える遅れ、元より長い再生、音割れ、\n"
      "     すべてのトラックを出力から外したこと、譜面が使わない音声ファイル。\n"
      "  130  SIGINT (Ctrl+C) で中断しました (SIGHUP なら 129、SIGTERM なら 143)。それまでに書き出したファイルは\n"
      "     そのまま残り、一時ファイルは残りません。何を書き出したかを標準エラーに示します。\n",
      "\n"
      "Exit status:\n"
      "  0  everything asked was written.\n"
      "  1  refused or failed: standard error says why and which files were and were not written; a\n"
      "     refusal writes nothing, the settings file aside. A chart past a limit of its format (ids up to "
      "ZZ,\n"
      "     measures up to 999, 64 MiB of lines) is refused with its rendering MIDI file: the two stay a\n"
      "     pair, and the settings file is saved so your edits are kept; a .bme past ZZ names the settings\n"
      "     --fit would choose. --fit refuses a song that passes ZZ even sliced as coarsely as it goes.\n"
      "     The whole output is refused when\n"
      "     two of its files would be one file or one of them INPUT's MIDI file itself (by identity: links\n"
      "     and letter case count), when an output is a folder, a device or a read-only file, when two\n"
      "     converted tracks share a definition name, when a track is too complex to lay out, when the\n"
      "     settings file's name is taken by a file that is not this song's settings file, or when a row\n"
      "     of the settings file to load does not read whole.\n"
      "  2  a mistake in the command: an unknown option, a value out of range, a row INPUT does not have.\n"
      "  3  written, with something to read on standard error: a damaged MIDI file, a song without\n"
      "     notes, a re-timing that did not settle, the settings file saved beside the chart, stems\n"
      "     missing, unreadable, left over, too short or not made from this rendering file, sounds\n"
      "     silent in the song, a fidelity that could not be measured, or a playback silent where the\n"
      "     song sounds, lagging past 20 ms, longer than its reference or clipping; every track switched\n"
      "     off; sound files the chart does not use.\n"
      "  130  stopped by SIGINT (Ctrl+C); 129 by SIGHUP, 143 by SIGTERM. The files written before stand\n"
      "     whole, no temporary file is left, and standard error says what was written.\n"};
}

// --- Names the command cannot use ----------------------------------------------------------

Message outputNameDashReason() {
  return {
      "-o - は使えません: 変換のファイルは標準出力には書き出せず、\"-\" "
      "という名前のファイルになってしまいます。"
      "出力midiファイルの名前を指定してください",
      "-o - cannot be used: a conversion's files cannot go to standard output, and would be files named "
      "\"-\"; name the rendering MIDI file"};
}

Message inputNameUnsavableReason(const std::string& name) {
  return Message(
             "入力ファイル名にタブか改行が含まれています。設定ファイルはその名前を保存できないので、"
             "名前を変えてください: ",
             "the input file name holds a TAB or a line break, which the settings file cannot keep; "
             "rename the file: ") +
         Message::verbatim(name);
}

Message outputNameUnsavableReason() {
  return {"出力ファイル名にタブか改行が含まれています。設定ファイルはその名前を保存できません",
          "the output file name holds a TAB or a line break, which the settings file cannot keep"};
}

Message renderingFileAsInputHint(const std::string& path) {
  return Message(path +
                     " は変換が書き出した出力midiファイルのようです (名前が _out.mid で終わっています)。"
                     "曲の元のmidiファイルを指定してください。",
                 path +
                     " looks like a rendering MIDI file a conversion wrote (its name ends in _out.mid); "
                     "give the song's own MIDI file.");
}

// --- The tables ------------------------------------------------------------------------------

std::vector<Message> trackTableHeadings() {
  return {{"トラック", "track"}, {"定義名", "definition"}, {"音符", "notes"}, {"オブジェ", "objects"},
          {"音", "sounds"},      {"定義", "definitions"},  {"#WAV", "#WAV"}};
}

Message unnamedTrackCell() { return {"(名前なし)", "(no name)"}; }

std::vector<Message> fidelityTableHeadings() {
  return {{"トラック", "track"},
          {"定義名", "definition"},
          {"距離 dB", "distance dB"},
          {"スペクトルSNR dB", "spectral SNR dB"},
          {"最悪の50ms dB", "worst 50 ms dB"},
          {"秒", "at s"}};
}

Message idCountCell(int64_t count) {
  const std::string n = std::to_string(count);
  return {n + " 個", n + " ids"};
}

Message writtenFileLabel(OutputKind kind) {
  switch (kind) {
    case OutputKind::RenderingMidi:
      return {"出力midiファイル", "rendering MIDI file"};
    case OutputKind::Settings:
      return {"設定ファイル", "settings file"};
    case OutputKind::Chart:
      return {"譜面ファイル", "chart"};
  }
  return {};
}

std::vector<Message> listRowHeadings() { return {{"行", "row"}, {"トラック", "track"}}; }

}  // namespace rendlow
