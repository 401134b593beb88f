#include "base/messages_audio.h"

#include <cerrno>

#include "base/format.h"
#include "base/message_parts.h"
#include "base/messages.h"

namespace rendlow {

namespace {

Message folderLine(const std::string& path) { return Message("フォルダー: " + path, "Folder: " + path); }

std::string number(int64_t value) { return std::to_string(value); }

}  // namespace

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

Message stemTooShortMessage(const std::string& path, double stemSeconds, double lastStartSeconds,
                            int32_t soundsLeftOut) {
  return compose(
      Message("トラックの音声ファイルが途中で終わっています", "A track's sound file ends too early"),
      {fileLine(path),
       Message("長さは " + secondsText(stemSeconds) + " 秒ですが、最後の音は " +
                   secondsText(lastStartSeconds) + " 秒から始まります。終わりより後の " +
                   number(soundsLeftOut) +
                   " 個の音は書き出していません。出力midiファイルのこのトラックを最後まで書き出し直してくださ"
                   "い。",
               "It is " + secondsText(stemSeconds) + " s long, but its last sound starts at " +
                   secondsText(lastStartSeconds) + " s. The " + number(soundsLeftOut) +
                   " sounds past its end were not written. Render this track of the rendering "
                   "MIDI file again, to its end.")});
}

Message soundsWrittenMessage(int32_t count, const std::string& folder) {
  return compose(Message("音声ファイルを " + number(count) + " 個書き出しました",
                         "Wrote " + number(count) + " sound files"),
                 {folderLine(folder)});
}

// --- Rendering ---------------------------------------------------------------------------

Message fluidSynthAbsentMessage() {
  return compose(
      Message("このビルドでは音声ファイルを作れません", "This build cannot render sound files"),
      {Message("FluidSynth が入っていないためです。出力midiファイルをトラックごとにほかのソフトで書き出し、"
               "その音声ファイルから切り出してください (--cut)。",
               "It was built without FluidSynth. Render the rendering MIDI file track by track "
               "with other software and cut the sounds from those files (--cut).")});
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

// --- Fidelity ----------------------------------------------------------------------------

Message chartUnreadableMessage(const std::string& path, const Message& reason) {
  return compose(Message("譜面ファイルを読み込めませんでした", "Could not read the chart"),
                 {fileLine(path), reason});
}

Message soundFileMissingMessage(const std::string& chartPath, const std::string& soundPath) {
  return compose(Message("譜面の音声ファイルがありません", "A sound file of the chart is missing"),
                 {fileLine(soundPath), Message("譜面ファイル: " + chartPath, "Chart: " + chartPath),
                  Message("音声ファイルを書き出してから、もう一度比べてください。",
                          "Write the sound files first, then compare again.")});
}

Message sampleRateMismatchMessage(const std::string& path, int32_t rate, int32_t referenceRate) {
  return compose(
      Message("音声ファイルのサンプリング周波数が比べる音と違います",
              "A sound file's sample rate differs from the reference's"),
      {fileLine(path), Message(number(rate) + " Hz ですが、比べる音は " + number(referenceRate) +
                                   " Hz です。どちらかを同じ周波数で書き出し直してください。",
                               "It is " + number(rate) + " Hz; the reference is " + number(referenceRate) +
                                   " Hz. Render one of them again at the other's rate.")});
}

Message channelCountMismatchMessage(const std::string& path, int32_t channels, int32_t referenceChannels) {
  return compose(
      Message("音声ファイルのチャンネル数が比べる音と合いません",
              "A sound file's channel count does not fit the reference's"),
      {fileLine(path),
       Message(number(channels) + " チャンネルですが、比べる音は " + number(referenceChannels) +
                   " チャンネルです。モノラルか、比べる音と同じチャンネル数で書き出し直してください。",
               "It has " + number(channels) + " channels; the reference has " + number(referenceChannels) +
                   ". Render it again in mono or with the reference's channel count.")});
}

Message silentReferenceMessage(const std::string& recordingPath) {
  if (recordingPath.empty()) {
    return compose(
        Message("シンセサイザーで鳴らした曲が無音でした", "The song rendered with the synthesizer is silent"),
        {Message("SoundFont に曲の楽器が入っているか確かめてください。",
                 "Check that the SoundFont holds the song's instruments.")});
  }
  return compose(Message("比べる録音が無音です", "The recording to compare with is silent"),
                 {fileLine(recordingPath), Message("曲全体を書き出した音声ファイルを指定してください。",
                                                   "Name your render of the whole song.")});
}

Message fidelityFiguresMessage(const FidelityFigureTexts& f) {
  return Message("対数スペクトル距離 " + f.logSpectralDistanceDb + " dB、スペクトルSNR " + f.spectralSnrDb +
                     " dB、波形SNR " + f.waveformSnrDb + " dB、最悪の50ミリ秒 " + f.worstStretchSeconds +
                     " 秒 (" + f.worstStretchSnrDb + " dB)、ミックスのピーク " + f.mixPeakDbfs +
                     " dBFS、ずれ " + f.lagMilliseconds + " ミリ秒 (" + f.lagFrames + " フレーム)",
                 "log-spectral distance " + f.logSpectralDistanceDb + " dB, spectral SNR " + f.spectralSnrDb +
                     " dB, waveform SNR " + f.waveformSnrDb + " dB, worst 50 ms at " + f.worstStretchSeconds +
                     " s (" + f.worstStretchSnrDb + " dB), mix peak " + f.mixPeakDbfs + " dBFS, lag " +
                     f.lagMilliseconds + " ms (" + f.lagFrames + " frames)");
}

Message notMeasuredMessage(const Message& why) {
  return compose(Message("音声ファイルは書き出しましたが、譜面の再現度は測れませんでした",
                         "The sound files were written, but the chart's fidelity could not be measured"),
                 {why});
}

// --- Fidelity per track, and what the figures warn of ------------------------------------

namespace {

// What a warning is about, in Japanese and English.
struct Subject {
  std::string japanese;
  std::string english;
};

Subject playbackOf(const std::string& definitionName) {
  if (definitionName.empty()) return {"譜面の再生", "The chart's playback"};
  return {"トラック " + definitionName + " の音", "Track " + definitionName + "'s sounds"};
}

}  // namespace

Message trackFidelityMessage(const std::string& trackName, const std::string& definitionName,
                             const FidelityFigureTexts& f) {
  const std::string who = definitionName + " (" + trackName + "): ";
  return Message(who + "対数スペクトル距離 " + f.logSpectralDistanceDb + " dB、スペクトルSNR " +
                     f.spectralSnrDb + " dB、最悪の50ミリ秒 " + f.worstStretchSeconds + " 秒 (" +
                     f.worstStretchSnrDb + " dB)",
                 who + "log-spectral distance " + f.logSpectralDistanceDb + " dB, spectral SNR " +
                     f.spectralSnrDb + " dB, worst 50 ms at " + f.worstStretchSeconds + " s (" +
                     f.worstStretchSnrDb + " dB)");
}

Message playbackSilentMessage(const std::string& definitionName, const std::string& silentSeconds,
                              const std::string& firstSeconds) {
  const Subject what = playbackOf(definitionName);
  const Message todo =
      definitionName.empty()
          ? Message("そこを聴いてください。どのステムも出力midiファイルの先頭から書き出され、ミュートされていないか"
                    "確かめてから、切り出し直してください。--compare-tracks で各トラックを測ると、どれか分かります。",
                    "Listen there. Check that every stem was rendered from the start of the rendering MIDI file "
                    "and none is muted, then cut again; --compare-tracks measures each track alone to show which.")
          : Message("そのステムが出力midiファイルの先頭から書き出され、ミュートされていないか確かめてから、"
                    "音声ファイルを作り直してください。",
                    "Check that its stem was rendered from the start of the rendering MIDI file and is not "
                    "muted, then make its sound files again.");
  return compose(Message(what.japanese + "は、比べる音が鳴っているところで合わせて " +
                             silentSeconds + " 秒無音です (最初は " + firstSeconds + " 秒)",
                         what.english + (definitionName.empty() ? " is" : " are") + " silent for " + silentSeconds +
                             " s where the reference is heard, first at " + firstSeconds + " s"),
                 {todo});
}

Message playbackLagMessage(const std::string& definitionName, const std::string& lagMilliseconds) {
  const Subject what = playbackOf(definitionName);
  return compose(
      Message(what.japanese + "は比べる音から " + lagMilliseconds +
                  " ミリ秒ずれています (20 ミリ秒を超えています)",
              what.english + (definitionName.empty() ? " lags " : " lag ") + lagMilliseconds +
                  " ms behind the reference (more than 20 ms)"),
      {Message("比べる音を、前に無音やカウントを入れずに曲の先頭から書き出し直して、もう一度比べてください。"
               "これだけずれると、譜面はリズムが外れて聞こえます。",
               "Render the reference again from the very start of the song, with no silence or count-in "
               "before it, and compare again: a chart this far off sounds out of time.")});
}

Message referenceShortMessage(const std::string& referencePath, const std::string& referenceSeconds,
                              const std::string& unmeasuredSeconds) {
  return compose(
      Message("比べる音が曲より短いです", "The reference is shorter than the song"),
      {fileLine(referencePath),
       Message(referenceSeconds + " 秒しかなく、譜面の再生はその後 " + unmeasuredSeconds +
                   " 秒鳴ります。そこはどの数値にも入っていません。",
               "It lasts " + referenceSeconds + " s, and the chart's playback sounds " + unmeasuredSeconds +
                   " s more, which no figure covers."),
       Message("曲の最後の音が消えるまで書き出し直して、もう一度比べてください。",
               "Render it again to the end of the song's last sound, and compare again.")});
}

Message mixClipsMessage(const std::string& peakDbfs) {
  return compose(
      Message("譜面の音を合わせると " + peakDbfs + " dBFS になり、再生すると音が割れます",
              "The chart's sounds together peak at " + peakDbfs + " dBFS: played, they clip"),
      {Message("ステムを小さく書き出すか、曲のトラックの音量を下げて、ピークが 0 dBFS 未満になるように"
               "音声ファイルを作り直してください。",
               "Make the sounds quieter so the peak stays below 0 dBFS: render the stems quieter, or lower "
               "the tracks' volume in the song, then make the sound files again.")});
}

Message trackReferenceMissingMessage(const std::string& folder, const std::string& definitionName) {
  return compose(
      Message("トラック " + definitionName + " の比べる音がありません",
              "No render of track " + definitionName + " to compare with"),
      {folderLine(folder),
       Message("元の曲のこのトラックだけを先頭から書き出し、" + definitionName +
                   ".wav としてこのフォルダーに置いてください。それまで表には載りません。",
               "Render this track of the original song alone, from its start, as " + definitionName +
                   ".wav in this folder. Until then it is left out of the table.")});
}

}  // namespace rendlow
