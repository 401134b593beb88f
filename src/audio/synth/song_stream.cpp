#include "audio/synth/song_stream.h"

#include <algorithm>
#include <set>
#include <utility>

#include "audio/synth/shared_tracks.h"
#include "audio/synth/track_stream.h"
#include "audio/synth/work_threads.h"

namespace rendlow::audio {

namespace {

// Some of the song's tracks, played by a synthesizer of their own.
class TrackGroup {
public:
  virtual ~TrackGroup() = default;
  // The next frames of each of its tracks, into blocks[i] for its track i.
  virtual void next(int64_t frames, std::vector<AudioBuffer>& blocks) = 0;
};

class LoneTrack : public TrackGroup {
public:
  LoneTrack(std::unique_ptr<SynthSession> session, const TempoMap& tempoMap, const std::vector<ChannelMessage>& events, std::size_t index)
      : stream_(std::move(session), tempoMap, events), index_(index) {}
  void next(int64_t frames, std::vector<AudioBuffer>& blocks) override { blocks[index_] = stream_.next(frames); }

private:
  TrackStream stream_;
  std::size_t index_;
};

class TracksTogether : public TrackGroup {
public:
  TracksTogether(std::unique_ptr<SynthSession> session, const TempoMap& tempoMap, const std::vector<std::vector<ChannelMessage>>& tracks,
                 std::vector<std::size_t> indices)
      : tracks_(std::move(session), tempoMap, tracks, std::move(indices)) {}
  void next(int64_t frames, std::vector<AudioBuffer>& blocks) override { tracks_.next(frames, blocks); }

private:
  SharedTracks tracks_;
};

class TracksSideBySide : public SongStream {
public:
  TracksSideBySide(const std::vector<std::vector<ChannelMessage>>& tracks, const TempoMap& tempoMap, unsigned threads)
      : events_(tracks), tempoMap_(tempoMap), threads_(threads) {}

  // Kept here, for the groups to read as they play.
  const std::vector<std::vector<ChannelMessage>>& events() const { return events_; }
  const TempoMap& tempoMap() const { return tempoMap_; }
  void add(std::unique_ptr<TrackGroup> group) { groups_.push_back(std::move(group)); }

  bool next(int64_t frames, std::vector<AudioBuffer>& blocks, AudioBuffer& sum) override {
    // The buffers of the block before are filled again: a long song is thousands of blocks.
    blocks.resize(events_.size(), emptyRender());
    for (AudioBuffer& block : blocks) block.samples.clear();
    onThreads(groups_.size(), threads_, [&](std::size_t i) { groups_[i]->next(frames, blocks); });
    sum.samples.clear();
    sum.sampleRate = kRenderSampleRate;
    sum.channels = 2;
    for (const AudioBuffer& block : blocks) addInto(sum, block);
    return sum.frames() > 0;
  }

private:
  // Track after track, each sample of the sum as the whole tracks would add up.
  static void addInto(AudioBuffer& sum, const AudioBuffer& block) {
    if (block.samples.size() > sum.samples.size()) sum.samples.resize(block.samples.size(), 0.0f);
    for (std::size_t i = 0; i < block.samples.size(); ++i) sum.samples[i] += block.samples[i];
  }

  const std::vector<std::vector<ChannelMessage>> events_;
  const TempoMap tempoMap_;
  unsigned threads_;
  std::vector<std::unique_ptr<TrackGroup>> groups_;
};

// The tracks none of whose channels another track plays on.
std::vector<std::size_t> tracksOnChannelsOfTheirOwn(const std::vector<std::vector<ChannelMessage>>& tracks) {
  std::vector<int> players(kMidiChannels, 0);
  std::vector<std::set<int>> channels;
  for (const std::vector<ChannelMessage>& events : tracks) {
    channels.push_back(channelsOf(events));
    for (const int channel : channels.back()) ++players[static_cast<std::size_t>(channel)];
  }
  std::vector<std::size_t> own;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    if (std::all_of(channels[i].begin(), channels[i].end(), [&](int c) { return players[static_cast<std::size_t>(c)] == 1; }))
      own.push_back(i);
  }
  return own;
}

}  // namespace

Result<std::unique_ptr<SongStream>> songStreamOf(const SynthSessions& sessions,
                                                 const std::vector<std::vector<ChannelMessage>>& tracks,
                                                 const TempoMap& tempoMap, unsigned threads) {
  auto song = std::make_unique<TracksSideBySide>(tracks, tempoMap, threads);
  std::vector<std::size_t> together = tracksOnChannelsOfTheirOwn(song->events());
  if (together.size() < 2) together.clear();
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    if (std::find(together.begin(), together.end(), i) != together.end()) continue;
    Result<std::unique_ptr<SynthSession>> session = sessions.open(1);
    if (!session) return session.problem();
    song->add(std::make_unique<LoneTrack>(std::move(*session), song->tempoMap(), song->events()[i], i));
  }
  if (!together.empty()) {
    Result<std::unique_ptr<SynthSession>> session = sessions.open(static_cast<int>(together.size()));
    if (!session) return session.problem();
    song->add(std::make_unique<TracksTogether>(std::move(*session), song->tempoMap(), song->events(), std::move(together)));
  }
  return std::unique_ptr<SongStream>(std::move(song));
}

}  // namespace rendlow::audio
