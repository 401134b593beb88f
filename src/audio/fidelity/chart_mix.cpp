#include "audio/fidelity/chart_mix.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "audio/synth/tempo_map.h"

namespace rendlow::audio {

namespace {

using Placement = ChartMix::Placement;

// Where each object plays, walking backwards so each knows when its id comes next.
std::vector<Placement> placements(const ChartBackground& background, const ChartSounds& sounds,
                                  int32_t blockFrames) {
  const int32_t sampleRate = sounds.shape().sampleRate;
  std::vector<Placement> placed;
  std::map<int32_t, int64_t> nextStartOfId;
  for (auto object = background.objects.rbegin(); object != background.objects.rend(); ++object) {
    const std::optional<int64_t> soundFrames = sounds.frames(object->wavId);
    if (!soundFrames) continue;
    const int64_t start = blockFrames > 0 ? blockBoundaryAtOrAfter(object->seconds * sampleRate, blockFrames)
                                          : frameAt(object->seconds, sampleRate);
    int64_t frames = *soundFrames;
    if (auto next = nextStartOfId.find(object->wavId); next != nextStartOfId.end()) {
      frames = std::min(frames, next->second - start);
    }
    nextStartOfId[object->wavId] = start;
    placed.push_back({start, std::max<int64_t>(frames, 0), object->wavId});
  }
  return placed;
}

// The frames of a placement of `sound` that fall in `block`, which starts at `blockStart`; the
// frames a sound would play before the mix's first frame are left out. A mono sound goes to
// every channel; any other has the block's channels.
void addPlacement(const Placement& placement, const AudioBuffer& sound, int64_t blockStart, AudioBuffer& block) {
  const int64_t first = std::max<int64_t>({0, -placement.start, blockStart - placement.start});
  const int64_t end = std::min(placement.frames, blockStart + block.frames() - placement.start);
  if (end <= first) return;
  const int32_t channels = block.channels;
  float* out = block.samples.data() + (placement.start + first - blockStart) * channels;
  if (sound.channels == 1) {
    const float* in = sound.samples.data() + first;
    for (int64_t frame = 0; frame < end - first; ++frame)
      for (int32_t channel = 0; channel < channels; ++channel) out[frame * channels + channel] += in[frame];
    return;
  }
  const float* in = sound.samples.data() + first * channels;
  for (int64_t i = 0; i < (end - first) * channels; ++i) out[i] += in[i];
}

// The mix a block at a time. Each sample sums the sounds that play on it in the order of the
// placements, whatever the blocks, so the mix is the same however it is read. A sound is held
// while one of its placements plays; one that could not be read again adds nothing.
class ChartMixStream : public SoundStream {
public:
  ChartMixStream(const std::vector<Placement>& placed, const ChartSounds& sounds)
      : placed_(placed), sounds_(sounds), shape_(sounds.shape()) {
    for (std::size_t i = 0; i < placed.size(); ++i) byStart_.push_back(i);
    std::stable_sort(byStart_.begin(), byStart_.end(),
                     [&](std::size_t a, std::size_t b) { return placed[a].start < placed[b].start; });
    for (const Placement& placement : placed) end_ = std::max(end_, placement.start + placement.frames);
  }

  AudioBuffer next(int64_t frames) override {
    AudioBuffer block = silentLike(shape_, std::clamp<int64_t>(end_ - at_, 0, frames));
    const int64_t blockEnd = at_ + block.frames();
    for (; started_ < byStart_.size() && placed_[byStart_[started_]].start < blockEnd; ++started_) {
      const std::size_t index = byStart_[started_];
      Result<std::shared_ptr<const AudioBuffer>> sound = sounds_.samples(placed_[index].wavId);
      if (sound)
        playing_.emplace(index, std::move(*sound));
      else if (lost_.ok())
        lost_ = sound.problem();
    }
    for (auto i = playing_.begin(); i != playing_.end();) {
      const Placement& placement = placed_[i->first];
      addPlacement(placement, *i->second, at_, block);
      i = placement.start + placement.frames <= blockEnd ? playing_.erase(i) : std::next(i);
    }
    at_ = blockEnd;
    return block;
  }

  Result<void> finish() override { return lost_; }

private:
  const std::vector<Placement>& placed_;
  const ChartSounds& sounds_;
  const AudioBuffer& shape_;
  std::vector<std::size_t> byStart_;  // the placements' indices by start
  std::size_t started_ = 0;           // how many of byStart_ have started
  // The placements playing, in their order, with their sounds.
  std::map<std::size_t, std::shared_ptr<const AudioBuffer>> playing_;
  int64_t at_ = 0;
  int64_t end_ = 0;
  Result<void> lost_;  // the first sound that could not be read again
};

}  // namespace

ChartBackground partOf(const ChartBackground& background, const std::set<std::string>& fileNames) {
  ChartBackground part;
  for (const auto& [id, file] : background.soundFiles)
    if (fileNames.count(file)) part.soundFiles.emplace(id, file);
  for (const BackgroundObject& object : background.objects)
    if (part.soundFiles.count(object.wavId)) part.objects.push_back(object);
  return part;
}

Result<std::unique_ptr<ChartMix>> ChartMix::open(const ChartBackground& background, const std::string& chartPath,
                                                 const std::string& soundFolder, int32_t sampleRate,
                                                 int32_t channels, const AudioBackend& backend, int32_t blockFrames) {
  auto sounds = std::make_unique<ChartSounds>(
      ChartSounds::read(background, chartPath, soundFolder, sampleRate, channels, backend));
  Result<std::unique_ptr<ChartMix>> mix = open(background, *sounds, blockFrames);
  if (mix) (*mix)->ownSounds_ = std::move(sounds);
  return mix;
}

Result<std::unique_ptr<ChartMix>> ChartMix::open(const ChartBackground& background, const ChartSounds& sounds,
                                                 int32_t blockFrames) {
  if (Result<void> playable = sounds.playable(background); !playable) return playable.problem();
  std::unique_ptr<ChartMix> mix(new ChartMix());
  mix->sounds_ = &sounds;
  mix->placed_ = placements(background, sounds, blockFrames);
  return mix;
}

std::unique_ptr<SoundStream> ChartMix::stream() const { return std::make_unique<ChartMixStream>(placed_, *sounds_); }

}  // namespace rendlow::audio
