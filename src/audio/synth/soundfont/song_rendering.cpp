#include "audio/synth/soundfont/song_rendering.h"

#include <algorithm>

#include "audio/synth/soundfont/sound_font_reader.h"
#include "audio/synth/soundfont/synthesizer.h"

namespace rendlow::audio::soundfont {

namespace {

constexpr int64_t kRingOutFrames = 10 * kRenderSampleRate;
constexpr int64_t kRingOutStep = 1024;

// Renders until `out` holds `frame` frames.
void renderTo(Synthesizer& synthesizer, int64_t frame, AudioBuffer& out) {
  if (out.frames() >= frame) return;
  const std::size_t first = out.samples.size();
  out.samples.resize(static_cast<std::size_t>(2 * frame), 0.0f);
  synthesizer.render(frame - static_cast<int64_t>(first / 2), out.samples.data() + first);
}

AudioBuffer renderTrack(std::shared_ptr<const SoundFont> font, const std::vector<ChannelMessage>& events,
                        const TempoMap& tempoMap) {
  Synthesizer synthesizer(std::move(font), kRenderSampleRate);
  AudioBuffer out{kRenderSampleRate, 2, {}};
  for (const ChannelMessage& event : events) {
    renderTo(synthesizer, renderFrameOf(tempoMap, event.tick, Synthesizer::kBlockFrames), out);
    synthesizer.apply(event.status, event.data1, event.data2);
  }
  const int64_t lastEvent = out.frames();
  while (synthesizer.sounding() && out.frames() < lastEvent + kRingOutFrames) {
    renderTo(synthesizer, out.frames() + kRingOutStep, out);
  }
  return out;
}

}  // namespace

AudioBuffer renderSongWith(std::shared_ptr<const SoundFont> font,
                           const std::vector<std::vector<ChannelMessage>>& tracks, const TempoMap& tempoMap) {
  AudioBuffer mix{kRenderSampleRate, 2, {}};
  for (const auto& events : tracks) {
    const AudioBuffer track = renderTrack(font, events, tempoMap);
    if (track.samples.size() > mix.samples.size()) mix.samples.resize(track.samples.size(), 0.0f);
    std::transform(track.samples.begin(), track.samples.end(), mix.samples.begin(), mix.samples.begin(),
                   [](float a, float b) { return a + b; });
  }
  return mix;
}

Result<AudioBuffer> renderSongWith(const std::string& path,
                                   const std::vector<std::vector<ChannelMessage>>& tracks,
                                   const TempoMap& tempoMap) {
  auto font = loadSoundFont(path);
  if (!font) return Problem{font.problem()};
  return renderSongWith(std::make_shared<const SoundFont>(std::move(*font)), tracks, tempoMap);
}

}  // namespace rendlow::audio::soundfont
