#include "audio/synth/fluid_song_stream.h"

#include <algorithm>
#include <utility>

#include "audio/synth/fluid_track_stream.h"
#include "audio/synth/work_threads.h"

namespace rendlow::audio {

namespace {

class TracksSideBySide : public SongStream {
public:
  TracksSideBySide(std::vector<SynthSession> sessions, const std::vector<std::vector<ChannelMessage>>& tracks,
                   const TempoMap& tempoMap, unsigned threads)
      : events_(tracks), tempoMap_(tempoMap), threads_(threads) {
    for (std::size_t i = 0; i < events_.size(); ++i) tracks_.emplace_back(std::move(sessions[i]), tempoMap_, events_[i]);
  }

  bool next(int64_t frames, std::vector<AudioBuffer>& blocks, AudioBuffer& sum) override {
    blocks.resize(tracks_.size());
    onThreads(tracks_.size(), threads_, [&](std::size_t i) { blocks[i] = tracks_[i].next(frames); });
    sum = emptyRender();
    for (const AudioBuffer& block : blocks) addInto(sum, block);
    return sum.frames() > 0;
  }

private:
  // Track after track, each sample of the sum as the whole tracks would add up.
  static void addInto(AudioBuffer& sum, const AudioBuffer& block) {
    if (block.samples.size() > sum.samples.size()) sum.samples.resize(block.samples.size(), 0.0f);
    for (std::size_t i = 0; i < block.samples.size(); ++i) sum.samples[i] += block.samples[i];
  }

  // Kept here, for the tracks' streams to read as they play.
  const std::vector<std::vector<ChannelMessage>> events_;
  const TempoMap tempoMap_;
  unsigned threads_;
  std::vector<TrackStream> tracks_;
};

}  // namespace

std::unique_ptr<SongStream> songStreamOf(std::vector<SynthSession> sessions,
                                         const std::vector<std::vector<ChannelMessage>>& tracks,
                                         const TempoMap& tempoMap, unsigned threads) {
  return std::make_unique<TracksSideBySide>(std::move(sessions), tracks, tempoMap, threads);
}

}  // namespace rendlow::audio
