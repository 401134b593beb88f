#include "base/messages_audio.h"

#include <cerrno>
#include <cmath>

#include "base/format.h"
#include "base/message_parts.h"
#include "base/messages.h"

namespace rendlow {

namespace {

std::string number(int64_t value) { return std::to_string(value); }

}  // namespace

Message folderLine(const std::string& path) { return Message("フォルダー: " + path, "Folder: " + path); }

std::string secondsText(double seconds) {
  std::string text;
  appendFormatted(text, "%.3f", seconds);
  return text;
}

// --- Reading and writing sound files -----------------------------------------------------

Message audioUnreadableMessage(const std::string& path, const Message& reason) {
  return compose(Message("音声ファイルを読み込めませんでした", "Could not read a sound file"),
                 {fileLine(path), reason});
}

Message audioNotWrittenMessage(const std::string& path, const Message& reason) {
  return compose(Message("音声ファイルを書き出せませんでした", "Could not write a sound file"),
                 {fileLine(path), reason});
}

Message fileSystemReason(int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
      return Message("ファイルまたはフォルダーが見つかりません。名前と場所が正しいか確かめてください。",
                     "The file or folder does not exist. Check its name and where it is.");
    case EACCES:
    case EPERM:
      return Message("アクセスが拒否されました。ファイルを読める権限があるか確かめてください。",
                     "Access was denied. Check that you may read the file.");
    case EISDIR:
      return Message("フォルダーです。音声ファイルを選んでください。",
                     "It is a folder. Choose a sound file.");
    default:
      return cLibraryText(errorNumber);
  }
}

Message notRiffWaveReason() {
  return Message(
      "\"RIFF\" と \"WAVE\" で始まらないので、WAVファイルではありません。"
      "WAV (PCM 16/24/32ビット、または32ビット浮動小数点) で書き出し直してください。",
      "It does not start with \"RIFF\" and \"WAVE\", so it is not a WAV file. Export it again "
      "as WAV (16-, 24- or 32-bit PCM, or 32-bit float).");
}

Message chunkPastEndReason(const std::string& chunkId, int64_t declared, int64_t available) {
  return Message("\"" + chunkId + "\" チャンクの長さが " + number(declared) +
                     " バイトとありますが、ファイルには " + number(available) +
                     " バイトしか残っていません。ファイルが途中で切れています。書き出し直してください。",
                 "The \"" + chunkId + "\" chunk says it is " + number(declared) + " bytes long, but only " +
                     number(available) + " bytes follow: the file is cut short. Export it again.");
}

Message chunkMissingReason(const std::string& chunkId) {
  return Message(
      "\"" + chunkId + "\" チャンクがありません。ファイルが壊れていないか確かめ、書き出し直してください。",
      "It has no \"" + chunkId + "\" chunk. Check that the file is whole and export it again.");
}

Message emptyDataReason() {
  return Message(
      "音のデータが入っていません (\"data\" チャンクが 0 "
      "バイトです)。書き出しが途中で止まったのかもしれません。"
      "書き出し直してください。",
      "It holds no sound: its \"data\" chunk is 0 bytes long, as when the program writing it "
      "stopped before the sound. Export it again.");
}

Message formatChunkShortReason(int64_t size, int64_t needed) {
  return Message("\"fmt \" チャンクが " + number(size) + " バイトしかなく、必要な " + number(needed) +
                     " バイトに足りません。書き出し直してください。",
                 "The \"fmt \" chunk is " + number(size) + " bytes long, short of the " + number(needed) +
                     " bytes it needs. Export it again.");
}

Message unsupportedEncodingReason(int32_t formatTag, int32_t bitsPerSample) {
  return Message("形式 (フォーマットタグ " + number(formatTag) + "、" + number(bitsPerSample) +
                     " ビット) に対応していません。PCM "
                     "16/24/32ビット、または32ビット浮動小数点で書き出し直してください。",
                 "Its encoding (format tag " + number(formatTag) + ", " + number(bitsPerSample) +
                     " bits) is not supported. Export it as 16-, 24- or 32-bit PCM, or as 32-bit float.");
}

Message inconsistentFormatReason(int32_t channels, int64_t sampleRate, int32_t blockAlign) {
  return Message("チャンネル数 " + number(channels) + "、サンプリング周波数 " + number(sampleRate) +
                     " Hz、ブロック長 " + number(blockAlign) +
                     " バイトの組み合わせがあり得ません。ファイルが壊れています。書き出し直してください。",
                 "Its channel count " + number(channels) + ", sample rate " + number(sampleRate) +
                     " Hz and block size " + number(blockAlign) +
                     " bytes do not fit together: the file is damaged. Export it again.");
}

Message libraryRefusedReason(const std::string& libraryText) {
  const std::string text = !libraryText.empty() && libraryText.back() == '.'
                               ? libraryText.substr(0, libraryText.size() - 1)
                               : libraryText;
  return Message(
      "libsndfile の説明: " + text + "。ファイルが壊れていないか確かめ、WAVで書き出し直してください。",
      "libsndfile says: " + text + ". Check that the file is whole, or export it as WAV.");
}

Message unsupportedContainerReason() {
  return Message(
      "WAV、Ogg Vorbis、FLAC のどれでもないか、その中の形式に対応していません。"
      "WAV (PCM 16/24/32ビット、または32ビット浮動小数点) で書き出し直してください。",
      "It is not WAV, Ogg Vorbis or FLAC, or its encoding inside is not supported. Export it "
      "as WAV (16-, 24- or 32-bit PCM, or 32-bit float).");
}

Message wavTooLongReason(int64_t dataBytes) {
  return Message("音声データが " + number(dataBytes) +
                     " バイトになり、WAVファイルに書ける上限 (約4 GiB) を超えます。音を短くしてください。",
                 "Its sound data would be " + number(dataBytes) +
                     " bytes, past the 4 GiB a WAV file can hold. Make the sound shorter.");
}

Message oggNotInBuildReason() {
  return Message(
      "このビルドには Ogg Vorbis の書き出し (libsndfile) が入っていません。WAVで書き出してください。",
      "This build cannot write Ogg Vorbis (it has no libsndfile). Write WAV files instead.");
}

// --- Cutting stems -----------------------------------------------------------------------

Message stemsFolderUnreadableMessage(const std::string& folder, const Message& reason) {
  return compose(Message("トラックごとの音声ファイルのフォルダーを読めませんでした",
                         "Could not read the folder of the per-track sound files"),
                 {folderLine(folder), reason,
                  Message("出力midiファイルをトラックごとに書き出した音声ファイル (tr01.wav など) を"
                          "入れたフォルダーを指定してください。音声ファイルは一つも書き出していません。",
                          "Name the folder holding the sound files rendered from the rendering MIDI file, "
                          "one per track (tr01.wav, ...). No sound file was written.")});
}

Message missingStemMessage(const std::string& folder, const std::string& stemName) {
  return compose(
      Message("トラック " + stemName + " の音声ファイルがありません",
              "The sound file of track " + stemName + " is missing"),
      {folderLine(folder),
       Message("このトラックの音は書き出していません。出力midiファイルのこのトラックを先頭 (0 ティック) から"
               "書き出し、" +
                   stemName + ".wav としてこのフォルダーに置いてください。",
               "None of its sounds were written. Render this track of the rendering MIDI file "
               "from its start (tick 0) and put it in this folder as " +
                   stemName + ".wav.")});
}

Message extraStemMessage(const std::string& path) {
  return compose(
      Message("どのトラックのものでもない音声ファイルがあります",
              "A sound file belongs to no converted track"),
      {fileLine(path), Message("使わずに飛ばしました。トラックの定義名 (tr01 など) "
                               "と同じ名前にするか、フォルダーから外してください。",
                               "It was left out. Name it after a track's definition name (tr01, ...) or "
                               "move it out of the folder.")});
}

Message stemFormatNotReadMessage(const std::string& path, const std::string& stemName) {
  return compose(
      Message("トラック " + stemName + " の音声ファイルは、読めない形式です",
              "The sound file of track " + stemName + " is in a format this program does not read"),
      {fileLine(path), Message("このトラックの音は書き出していません。WAV で書き出し直し、" + stemName +
                                   ".wav としてこのフォルダーに置いてください。",
                               "None of its sounds were written. Export it again as WAV and put it in this "
                               "folder as " +
                                   stemName + ".wav.")});
}

Message soundsWrittenMessage(int32_t count, const std::string& folder) {
  return compose(Message("音声ファイルを " + number(count) + " 個書き出しました",
                         "Wrote " + number(count) + " sound files"),
                 {folderLine(folder)});
}

// --- Rendering ---------------------------------------------------------------------------

Message fluidSynthAbsentMessage() {
  return compose(
      Message("このビルドでは FluidSynth で音声ファイルを作れません", "This build cannot render sound files with FluidSynth"),
      {Message("FluidSynth が入っていないためです。内蔵のシンセサイザーで作ってください (--synth builtin)。",
               "It was built without FluidSynth. Render them with the built-in synthesizer instead "
               "(--synth builtin).")});
}

Message soundFontMissingMessage(const std::string& path) {
  return compose(Message("SoundFont が見つかりません", "The SoundFont does not exist"),
                 {fileLine(path),
                  Message("名前と場所が正しいか確かめてください。音声ファイルは一つも書き出していません。",
                          "Check its name and folder. No sound file was written.")});
}

Message noSoundFontFoundMessage(const std::vector<std::string>& searched) {
  std::string list;
  for (const std::string& path : searched) list += "\n  " + path;
  return compose(
      Message("SoundFont が見つかりません", "No SoundFont was found"),
      {Message("次のどれもありません:" + list, "None of these exists:" + list),
       Message("SoundFont (.sf2) を指定するか、fluid-soundfont-gm "
               "を入れてください。音声ファイルは一つも書き出していません。",
               "Name a SoundFont (.sf2) or install fluid-soundfont-gm. No sound file was written.")});
}

Message soundFontUnreadableMessage(const std::string& path) {
  return compose(
      Message("SoundFont を読み込めませんでした", "Could not load the SoundFont"),
      {fileLine(path),
       Message("FluidSynth が読めない形式か、壊れています。ほかの SoundFont (.sf2) を指定してください。",
               "FluidSynth cannot read it, or it is damaged. Name another SoundFont (.sf2).")});
}

Message fluidSynthNotInstalledMessage() {
  return compose(
      Message("音声ファイルを作れませんでした", "Could not render the sound files"),
      {Message("FluidSynth のライブラリー (libfluidsynth3) が見つかりません。インストールしてください。",
               "The FluidSynth library (libfluidsynth3) is not installed. Install it.")});
}

Message synthesizerNotStartedMessage() {
  return compose(
      Message("シンセサイザーを始められませんでした", "Could not start the synthesizer"),
      {Message("FluidSynth が準備に失敗しました。メモリーが足りないかもしれません。ほかのプログラムを閉じて、"
               "もう一度試してください。",
               "FluidSynth failed to set itself up, perhaps for lack of memory. Close other "
               "programs and try again.")});
}

// --- Silent sounds and stems that do not fit ---------------------------------------------

Message silentSoundsMessage(const std::string& stemName, int32_t silent, int32_t total) {
  return compose(
      Message("トラック " + stemName + " の音 " + number(total) + " 個のうち " + number(silent) + " 個が無音です",
              number(silent) + " of the " + number(total) + " sounds of track " + stemName + " are silent"),
      {Message("曲の中でベロシティーか音量 (ボリューム、エクスプレッション) が 0 の音符か、16ビットに届かないほど"
               "小さい音です。それぞれの長さの無音として書き出しました。聞こえるようにするには、曲の中で音量を"
               "上げてください。",
               "Their notes have velocity or volume (volume, expression) 0 in the song, or are too soft to "
               "reach 16 bits. Each was written as silence of its length; to hear them, raise them in the "
               "song.")});
}

Message stemDoesNotFitMessage(const std::string& path, const std::vector<Message>& findings) {
  Message wrong("おかしな点: ", "What looks wrong: ");
  for (std::size_t i = 0; i < findings.size(); ++i) {
    if (i > 0) wrong += Message("、", "; ");
    wrong += findings[i];
  }
  return compose(
      Message("トラックの音声ファイルが出力midiファイルと合いません",
              "A track's sound file does not fit the rendering MIDI file"),
      {fileLine(path), wrong,
       Message("このトラックの音は書き出していません。最後に書き出した出力midiファイルのこのトラックを先頭 "
               "(0 ティック) から最後まで書き出し直し、もう一度切り出してください。",
               "None of its sounds were written. Render this track of the rendering MIDI file written last "
               "again, from its start (tick 0) to its end, and cut again.")});
}

Message stemSilentReason() { return Message("無音です", "silent"); }

Message stemStartsOffReason(int64_t lagMilliseconds) {
  const std::string ms = number(lagMilliseconds < 0 ? -lagMilliseconds : lagMilliseconds);
  if (lagMilliseconds < 0) return Message(ms + " ミリ秒早く始まります", "starts " + ms + " ms early");
  return Message(ms + " ミリ秒遅れて始まります", "starts " + ms + " ms late");
}

Message stemEndsEarlyReason(double secondsShort) {
  std::string japanese;
  std::string english;
  if (secondsShort < 1) {
    const std::string ms = number(std::llround(secondsShort * 1000));
    japanese = ms + " ミリ秒";
    english = ms + " ms";
  } else {
    appendFormatted(japanese, "%.1f 秒", secondsShort);
    appendFormatted(english, "%.1f s", secondsShort);
  }
  return Message("トラックより " + japanese + "早く終わります", "ends " + english + " before the track");
}

Message stemNotOfThisRenderingReason(int32_t soundsNotLouder, int32_t soundsChecked) {
  return Message("ほかの出力midiファイルから書き出したものでは? (無音のあとの音 " + number(soundsChecked) +
                     " 個のうち " + number(soundsNotLouder) + " 個が、始まりでも前より大きくなりません)",
                 "made from another rendering file? (" + number(soundsNotLouder) + " of its " +
                     number(soundsChecked) + " sounds after silence are no louder at their start than before it)");
}

Message mixedSampleRatesMessage(const std::string& folder,
                                const std::vector<std::pair<std::string, int32_t>>& rates) {
  std::string list;
  for (const auto& [name, rate] : rates) list += "\n  " + name + ": " + number(rate) + " Hz";
  return compose(
      Message("トラックの音声ファイルのサンプリング周波数がそろっていません",
              "The tracks' sound files are not all at one sample rate"),
      {folderLine(folder), Message::verbatim(list.substr(1)),
       Message("そのまま切り出しましたが、周波数の混じった譜面はプレイヤーに変換の手間をかけさせます。"
               "すべて同じ周波数で書き出し直してください。",
               "They were cut all the same, but a chart of mixed rates makes the player resample. Render "
               "them all at one rate.")});
}

// --- Sound files the chart does not use ---------------------------------------------------

namespace {

std::string listed(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) list += "\n" + path;
  return list;
}

}  // namespace

Message staleSoundFilesMessage(const std::vector<std::string>& paths) {
  const std::string count = std::to_string(paths.size());
  return Message::perAudience(
      "譜面が使わない音声ファイルが " + count +
          " 個あります。前の設定の音か、.ogg と同じ名前の .wav で、プレイヤーは .ogg "
          "の代わりにそれを鳴らします。"
          "不要なら削除してください:" +
          listed(paths),
      "譜面が使わない音声ファイルが " + count +
          " 個あります。前の設定の音か、.ogg と同じ名前の .wav で、プレイヤーは .ogg "
          "の代わりにそれを鳴らします。"
          "--clean で削除します:" +
          listed(paths),
      count +
          " sound files in the chart's folder are named as its sounds but not used by it: sounds of an "
          "earlier setup, or a .wav beside an .ogg of its name, which players open instead. --clean "
          "removes them:" +
          listed(paths));
}

Message staleSoundFilesRemovedMessage(const std::vector<std::string>& paths) {
  const std::string count = std::to_string(paths.size());
  return Message("譜面が使わない音声ファイルを " + count + " 個削除しました:" + listed(paths),
                 "Removed " + count + " sound files the chart does not use:" + listed(paths));
}

// --- Reading a SoundFont for the built-in synthesizer -------------------------------------

Message soundFontNotReadMessage(const std::string& path, const Message& reason) {
  return compose(Message("SoundFont を読み込めませんでした", "Could not load the SoundFont"),
                 {fileLine(path), reason});
}

Message notSoundFontReason() {
  return Message(
      "\"RIFF\" と \"sfbk\" で始まらないので、SoundFont 2 (.sf2) ではありません。ほかの SoundFont を指定してください。",
      "It does not start with \"RIFF\" and \"sfbk\", so it is not a SoundFont 2 (.sf2). Name another SoundFont.");
}

Message soundFontRecordsCutReason(const std::string& chunkId, int64_t size, int64_t recordSize) {
  return Message("\"" + chunkId + "\" チャンクの長さ " + number(size) + " バイトが、1件 " + number(recordSize) +
                     " バイトの表として割り切れません。ファイルが壊れています。",
                 "The \"" + chunkId + "\" chunk is " + number(size) + " bytes long, not a whole number of its " +
                     number(recordSize) + "-byte records: the file is damaged.");
}

Message soundFontIndexReason(const std::string& chunkId, int64_t index, int64_t count) {
  return Message("\"" + chunkId + "\" チャンクが " + number(count) + " 件の表の " + number(index) +
                     " 番を指しているか、順番が逆になっています。ファイルが壊れています。",
                 "The \"" + chunkId + "\" chunk names entry " + number(index) + " of a table of " + number(count) +
                     ", or its entries run backwards: the file is damaged.");
}

Message soundFontSampleReason(const std::string& sampleName) {
  return Message("サンプル \"" + sampleName + "\" の位置が波形データの外にあるか、サンプリングレートが 0 です。"
                     "ファイルが壊れています。",
                 "Sample \"" + sampleName + "\" lies outside the sample data, or its rate is zero: the file is damaged.");
}

}  // namespace rendlow
