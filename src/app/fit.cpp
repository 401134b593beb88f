#include "app/fit.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "app/conversion.h"
#include "app/project.h"
#include "app/slicing_cost.h"
#include "slicer/track_fields.h"

namespace rendlow {

namespace {

// Velocities and controller values lie below this, so a width of it holds them in one bucket: 0.
constexpr int32_t kDataRange = 128;
// The length width goes no further than this many quarter notes: notes apart by more do not
// sound alike in any song.
constexpr int32_t kLongestLengthWidthBeats = 8;

// The coarser values of a width, each doubled from the last, ending in 0 (everything in one
// bucket) once the whole range is one bucket. Every one is a step: the next alone may save nothing.
std::vector<int32_t> widerBuckets(int32_t width) {
  std::vector<int32_t> wider;
  if (width <= 0) return wider;
  for (int64_t w = int64_t{width} * 2; w < kDataRange; w *= 2) wider.push_back(static_cast<int32_t>(w));
  wider.push_back(0);
  return wider;
}

std::vector<int32_t> longerLengthWidths(int32_t width, int32_t division) {
  const int64_t longest = int64_t{std::max<int32_t>(division, 1)} * kLongestLengthWidthBeats;
  std::vector<int32_t> longer;
  for (int64_t w = width <= 0 ? std::max(1, division / 32) : int64_t{width} * 2; w <= longest; w *= 2)
    longer.push_back(static_cast<int32_t>(w));
  return longer;
}

std::vector<int32_t> smallerThresholds(int32_t threshold) {
  std::vector<int32_t> smaller;
  for (int32_t t = threshold / 2; threshold > 0; t /= 2) {
    smaller.push_back(t);
    if (t == 0) break;
  }
  return smaller;
}

// Each settings one lever coarser than `s`; what they save is measured, not assumed.
std::vector<TrackSettings> coarserSteps(const TrackSettings& s, int32_t division) {
  std::vector<TrackSettings> steps;
  const auto each = [&](int32_t TrackSettings::*field, const std::vector<int32_t>& values) {
    for (const int32_t value : values) {
      steps.push_back(s);
      steps.back().*field = value;
    }
  };
  if (s.wavDefinitionGap > 0) each(&TrackSettings::wavDefinitionGap, {0});
  each(&TrackSettings::velocitySplitWidth, widerBuckets(s.velocitySplitWidth));
  each(&TrackSettings::ccSplitWidth, widerBuckets(s.ccSplitWidth));
  each(&TrackSettings::lengthSplitWidth, longerLengthWidths(s.lengthSplitWidth, division));
  each(&TrackSettings::multipleThreshold, smallerThresholds(s.multipleThreshold));
  if (!s.ignoreBpm) {
    steps.push_back(s);
    steps.back().ignoreBpm = true;
  }
  for (const SplitMethod method : {SplitMethod::Single, SplitMethod::Chord, SplitMethod::Legato}) {
    if (s.splitMethod == static_cast<int32_t>(method)) continue;
    steps.push_back(s);
    steps.back().splitMethod = static_cast<int32_t>(method);
  }
  return steps;
}

struct TrackState {
  std::size_t track = 0;
  bool listed = false;
  TrackSettings settings;
  SlicingMeasure measure;
  // The cheapest step of this track and what it gives; none when no step saves an id.
  std::optional<TrackSettings> bestStep;
  SlicingMeasure bestMeasure;
  double bestCostPerId = 0;
};

int32_t gapOf(const TrackSettings& s) { return std::max(s.wavDefinitionGap, 0); }

// The chart's largest #WAV id: each track with notes takes its ids and the gap after them, from 1.
int64_t largestId(const std::vector<TrackState>& tracks) {
  int64_t next = 1;
  int64_t largest = 0;
  for (const TrackState& t : tracks) {
    if (t.measure.definitions == 0) continue;
    largest = next + t.measure.definitions - 1;
    next = largest + 1 + gapOf(t.settings);
  }
  return largest;
}

// What a step saves: its definitions and the change of its gap. The gap after the last track
// with notes counts too; it makes no difference to which step is cheapest per id.
int64_t idsOf(const TrackSettings& s, const SlicingMeasure& m) { return int64_t{m.definitions} + gapOf(s); }

class Search {
public:
  Search(const Project& project, int64_t limit) : project_(project), limit_(limit) {
    const std::vector<std::size_t> listed = project.listedTracks();
    for (const std::size_t track : convertedTracks(project.song, project.settings)) {
      TrackState state;
      state.track = track;
      state.listed = std::find(listed.begin(), listed.end(), track) != listed.end();
      state.settings = project.settings[track];
      state.measure = measure(state.settings, track);
      tracks_.push_back(state);
      findBestStep(tracks_.back());
    }
  }

  FitResult run() {
    FitResult result;
    result.largestIdBefore = largestId(tracks_);
    result.meanMismatchDbBefore = meanMismatch();
    const std::vector<TrackState> before = tracks_;
    while (largestId(tracks_) > limit_) {
      TrackState* cheapest = nullptr;
      for (TrackState& t : tracks_) {
        if (t.bestStep && (!cheapest || t.bestCostPerId < cheapest->bestCostPerId)) cheapest = &t;
      }
      if (!cheapest) break;
      cheapest->settings = *cheapest->bestStep;
      cheapest->measure = cheapest->bestMeasure;
      findBestStep(*cheapest);
    }
    if (largestId(tracks_) <= limit_) giveBackSteps(before);
    result.largestId = largestId(tracks_);
    result.fits = result.largestId <= limit_;
    result.meanMismatchDb = meanMismatch();
    for (std::size_t i = 0; i < tracks_.size(); ++i) {
      if (tracks_[i].settings == before[i].settings) continue;
      result.changes.push_back({rowOf(tracks_[i].track), tracks_[i].track, before[i].settings,
                                tracks_[i].settings, before[i].measure.definitions,
                                tracks_[i].measure.definitions});
    }
    return result;
  }

private:
  SlicingMeasure measure(const TrackSettings& settings, std::size_t track) const {
    return measureSlicing(project_.song.tracks[track], settings, project_.song.tempos);
  }

  // The step of the track that costs least per id saved. A step that strays less and saves ids
  // too costs below 0 and comes first.
  void findBestStep(TrackState& t) const {
    t.bestStep.reset();
    if (!t.listed) return;
    for (const TrackSettings& step : coarserSteps(t.settings, project_.song.header.division)) {
      const SlicingMeasure m = measure(step, t.track);
      const int64_t saved = idsOf(t.settings, t.measure) - idsOf(step, m);
      if (saved <= 0) continue;
      const double cost = (m.mismatchDb - t.measure.mismatchDb) / static_cast<double>(saved);
      if (t.bestStep && cost >= t.bestCostPerId) continue;
      t.bestStep = step;
      t.bestMeasure = m;
      t.bestCostPerId = cost;
    }
  }

  // Whole steps overshoot: the last one may save far more ids than were missing. Each field the
  // search changed goes back to its value before, one at a time, the one that strays least first,
  // as long as the chart still fits and strays no further (a gap given back costs nothing).
  void giveBackSteps(const std::vector<TrackState>& before) {
    for (;;) {
      std::optional<std::pair<std::size_t, TrackState>> best;
      double bestGain = 0;
      for (std::size_t i = 0; i < tracks_.size(); ++i) {
        for (const TrackField& field : trackSettingsFields()) {
          if (field.kind == FieldKind::Name) continue;
          const int32_t was = numberOf(field, before[i].settings);
          if (numberOf(field, tracks_[i].settings) == was) continue;
          TrackState back = tracks_[i];
          setNumber(field, back.settings, was);
          back.measure = measure(back.settings, back.track);
          std::swap(tracks_[i], back);
          const bool fits = largestId(tracks_) <= limit_;
          std::swap(tracks_[i], back);
          const double gain = tracks_[i].measure.mismatchDb - back.measure.mismatchDb;
          if (!fits || gain < 0 || (best && gain <= bestGain)) continue;
          best.emplace(i, back);
          bestGain = gain;
        }
      }
      if (!best) return;
      tracks_[best->first] = best->second;
    }
  }

  double meanMismatch() const {
    double db = 0;
    std::size_t notes = 0;
    for (const TrackState& t : tracks_) db += t.measure.mismatchDb, notes += t.measure.notes;
    return notes == 0 ? 0.0 : db / static_cast<double>(notes);
  }

  int rowOf(std::size_t track) const {
    const std::vector<std::size_t> listed = project_.listedTracks();
    return static_cast<int>(std::find(listed.begin(), listed.end(), track) - listed.begin());
  }

  const Project& project_;
  int64_t limit_;
  std::vector<TrackState> tracks_;
};

}  // namespace

FitResult fitChartIds(const Project& project, int64_t limit) { return Search(project, limit).run(); }

void applyFit(Project& project, const FitResult& fit) {
  for (const FitChange& change : fit.changes) project.settings[change.track] = change.after;
}

}  // namespace rendlow
