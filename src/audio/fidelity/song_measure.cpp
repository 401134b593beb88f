#include "audio/fidelity/song_measure.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <memory>
#include <utility>

#include "audio/fidelity/stream_comparison.h"
#include "audio/synth/work_threads.h"
#include "base/platform.h"

namespace rendlow::audio {

namespace {

// The playbacks of one pass: each track's, then the song's, last; null where there is none.
std::vector<const ChartMix*> allPlaybacks(const std::vector<const ChartMix*>& tracks, const ChartMix* song) {
  std::vector<const ChartMix*> all = tracks;
  all.push_back(song);
  return all;
}

// The reference of comparison i: track i's block, or the sum past the tracks.
const AudioBuffer& referenceOf(std::size_t i, const std::vector<AudioBuffer>& blocks, const AudioBuffer& sum) {
  return i < blocks.size() ? blocks[i] : sum;
}

// The song's blocks, each rendered on a thread of its own while the one before it is compared:
// the synthesizer renders the song on one core, and the comparisons have the others meanwhile.
class RenderedAhead {
public:
  explicit RenderedAhead(SongStream& song) : song_(song) { renderNext(); }
  ~RenderedAhead() {
    if (rendering_.valid()) rendering_.wait();
  }
  // Each track's next block and their sum (see SongStream::next); false at the song's end.
  bool next(std::vector<AudioBuffer>& blocks, AudioBuffer& sum) {
    if (!rendering_.get()) return false;
    std::swap(blocks, blocks_);
    std::swap(sum, sum_);
    renderNext();
    return true;
  }

private:
  void renderNext() {
    rendering_ = std::async(std::launch::async, [this] { return song_.next(kSongBlockFrames, blocks_, sum_); });
  }

  SongStream& song_;
  std::vector<AudioBuffer> blocks_;
  AudioBuffer sum_;
  std::future<bool> rendering_;
};

// The searches share one transform, made only when there is a playback to search. The problem is
// the first playback's whose read failed.
Result<std::vector<int64_t>> findLags(SongStream& song, const std::vector<const ChartMix*>& playbacks) {
  if (std::none_of(playbacks.begin(), playbacks.end(), [](const ChartMix* mix) { return mix; }))
    return std::vector<int64_t>(playbacks.size(), 0);
  const Fft transform = lagSearchTransform(kRenderSampleRate);
  std::vector<std::unique_ptr<LagSearch>> searches;
  for (const ChartMix* mix : playbacks)
    searches.push_back(mix ? std::make_unique<LagSearch>(mix->stream(), kRenderSampleRate, transform)
                           : nullptr);
  auto searching = [&] {
    return std::any_of(searches.begin(), searches.end(), [](const auto& s) { return s && !s->done(); });
  };
  RenderedAhead ahead(song);
  std::vector<AudioBuffer> blocks;
  for (AudioBuffer sum; searching() && ahead.next(blocks, sum);) {
    onThreads(searches.size(), renderThreads(), [&](std::size_t i) {
      if (searches[i]) searches[i]->addReference(referenceOf(i, blocks, sum));
    });
  }
  std::vector<int64_t> lags;
  for (const auto& search : searches) {
    const Result<int64_t> lag = search ? search->lag() : Result<int64_t>(0);
    if (!lag) return lag.problem();
    lags.push_back(*lag);
  }
  return lags;
}

}  // namespace

Result<SongMeasures> measureAgainstSong(const SongOpener& open, const std::vector<const ChartMix*>& trackPlaybacks,
                                        const ChartMix* songPlayback) {
  const std::vector<const ChartMix*> playbacks = allPlaybacks(trackPlaybacks, songPlayback);
  Result<std::unique_ptr<SongStream>> lagSong = open();
  if (!lagSong) return lagSong.problem();
  const Result<std::vector<int64_t>> lags = findLags(**lagSong, playbacks);
  if (!lags) return lags.problem();
  returnFreedMemory();
  // Opened while the first still holds the SoundFont, the second shares it instead of reading it.
  Result<std::unique_ptr<SongStream>> song = open();
  lagSong->reset();
  returnFreedMemory();
  if (!song) return song.problem();
  std::vector<std::unique_ptr<PlaybackComparison>> comparisons;
  for (std::size_t i = 0; i < playbacks.size(); ++i) {
    comparisons.push_back(playbacks[i] ? std::make_unique<PlaybackComparison>(
                                             (*lags)[i], playbacks[i]->stream(), kRenderSampleRate, 2)
                                       : nullptr);
  }
  std::vector<LevelWatch> levels(playbacks.size());
  RenderedAhead ahead(**song);
  std::vector<AudioBuffer> blocks;
  for (AudioBuffer sum; ahead.next(blocks, sum);) {
    onThreads(playbacks.size(), renderThreads(), [&](std::size_t i) {
      const AudioBuffer& reference = referenceOf(i, blocks, sum);
      levels[i].add(reference);
      if (comparisons[i]) comparisons[i]->addReference(reference);
    });
  }
  SongMeasures measures;
  for (std::size_t i = 0; i < playbacks.size(); ++i) {
    std::optional<FidelityFigures> figures;
    if (comparisons[i]) {
      Result<FidelityFigures> finished = comparisons[i]->finish();
      if (!finished) return finished.problem();
      figures = *finished;
    }
    const bool silent = std::isinf(levels[i].peakDbfs());
    if (i < trackPlaybacks.size()) {
      measures.tracks.push_back(figures);
      measures.trackSilent.push_back(silent);
    } else {
      measures.song = figures;
      measures.songSilent = silent;
    }
  }
  return measures;
}

}  // namespace rendlow::audio
