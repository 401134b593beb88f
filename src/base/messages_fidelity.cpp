// The catalogue's words for how faithfully a chart plays the song back, and what its figures warn of.
#include <cmath>

#include "base/format.h"
#include "base/message_parts.h"
#include "base/messages.h"
#include "base/messages_audio.h"
#include "base/messages_fields.h"

namespace rendlow {

namespace {

std::string number(int64_t value) { return std::to_string(value); }

}  // namespace

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

namespace {

// A synthesized chart silent where its song is heard: a sound first made where the track was
// faded out or turned down, and played again where it is loud. For the whole song, the table of
// tracks tells which track it is.
Message synthesizedSilenceAdvice(bool wholeSong) {
  const std::string listen =
      "そこを聴いてください。音量が下がっているところで作られた音が、大きく鳴るべきところでも"
      "使われているかもしれません。そのトラックの";
  const std::string smaller =
      wholeSong ? "を小さくすると、そこの音が別の音になります。どのトラックかはトラックごとの表で分かります。"
                : "を小さくすると、そこの音が別の音になります。";
  return Message::perAudience(
             listen, listen + " ",
             "Listen there: a sound made where the track was faded out or turned down may be "
             "played where it is loud. A smaller ") +
         settingAdvice("ccSplitWidth") + Message::perAudience("か", " か ", " or ") +
         settingAdvice("velocitySplitWidth") +
         Message::perAudience(
             smaller, " " + smaller,
             wholeSong ? " on the track silent there (the table of tracks shows which) gives those "
                         "notes sounds of their own."
                       : " on that track gives those notes sounds of their own.");
}

// A chart cut from the author's stems silent where the author's render is heard: a stem rendered
// from elsewhere, or muted.
Message authorsSilenceAdvice(bool wholeSong) {
  if (wholeSong)
    return Message(
        "そこを聴いてください。どのステムも出力midiファイルの先頭から書き出され、ミュートされていないか"
        "確かめてから、切り出し直してください。--compare-tracks で各トラックを測ると、どれか分かります。",
        "Listen there. Check that every stem was rendered from the start of the rendering MIDI file "
        "and none is muted, then cut again; --compare-tracks measures each track alone to show which.");
  return Message(
      "そのステムが出力midiファイルの先頭から書き出され、ミュートされていないか確かめてから、"
      "音声ファイルを作り直してください。",
      "Check that its stem was rendered from the start of the rendering MIDI file and is not "
      "muted, then make its sound files again.");
}

}  // namespace

Message playbackSilentMessage(const std::string& definitionName, const std::string& silentSeconds,
                              const std::string& firstSeconds, MeasuredSounds sounds) {
  const Subject what = playbackOf(definitionName);
  const Message todo = sounds == MeasuredSounds::Synthesized
                           ? synthesizedSilenceAdvice(definitionName.empty())
                           : authorsSilenceAdvice(definitionName.empty());
  return compose(Message(what.japanese + "は、比べる音が鳴っているところで合わせて " +
                             silentSeconds + " 秒無音です (最初は " + firstSeconds + " 秒)",
                         what.english + (definitionName.empty() ? " is" : " are") + " silent for " + silentSeconds +
                             " s where the reference is heard, first at " + firstSeconds + " s"),
                 {todo});
}

Message playbackLagMessage(const std::string& definitionName, const std::string& lagMilliseconds,
                           MeasuredSounds sounds) {
  const Subject what = playbackOf(definitionName);
  const Message todo =
      sounds == MeasuredSounds::Synthesized
          ? Message(
                "音も比べる音もこのプログラムが出力midiファイルから作ったもので、"
                "書き出し直すものはありません。"
                "譜面をそこで聴いてください。これだけずれると、譜面はリズムが外れて聞こえます。",
                "The sounds and the reference were both rendered here from the rendering MIDI file, so "
                "there is nothing of yours to render again. Listen to the chart there: a chart this far "
                "off sounds out of time.")
          : Message(
                "比べる音を、前に無音やカウントを入れずに曲の先頭から書き出し直して、もう一度比べてください。"
                "これだけずれると、譜面はリズムが外れて聞こえます。",
                "Render the reference again from the very start of the song, with no silence or count-in "
                "before it, and compare again: a chart this far off sounds out of time.");
  return compose(Message(what.japanese + "は比べる音から " + lagMilliseconds +
                             " ミリ秒ずれています (20 ミリ秒を超えています)",
                         what.english + (definitionName.empty() ? " lags " : " lag ") + lagMilliseconds +
                             " ms behind the reference (more than 20 ms)"),
                 {todo});
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

Message mixClipsMessage(const std::string& peakDbfs, MeasuredSounds sounds) {
  const Message todo =
      sounds == MeasuredSounds::Synthesized
          ? Message(
                "曲のトラックの音量を下げて、ピークが 0 dBFS "
                "未満になるように音声ファイルを作り直してください。",
                "Make the sounds quieter so the peak stays below 0 dBFS: lower the tracks' volume in the "
                "song, then make the sound files again.")
          : Message(
                "ステムを小さく書き出すか、曲のトラックの音量を下げて、ピークが 0 dBFS 未満になるように"
                "音声ファイルを作り直してください。",
                "Make the sounds quieter so the peak stays below 0 dBFS: render the stems quieter, or lower "
                "the tracks' volume in the song, then make the sound files again.");
  return compose(Message("譜面の音を合わせると " + peakDbfs + " dBFS になり、再生すると音が割れます",
                         "The chart's sounds together peak at " + peakDbfs + " dBFS: played, they clip"),
                 {todo});
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

Message soundFileChangedMessage(const std::string& path) {
  return compose(Message("比べているあいだに音声ファイルが変わりました", "A sound file changed while it was measured"),
                 {fileLine(path), Message("書き出しが終わってから、もう一度比べてください。",
                                          "Compare again once nothing writes to the sound files.")});
}

}  // namespace rendlow
