#include "support/track_maker.h"

#include <algorithm>
#include <cmath>

namespace rendlow::test {

TrackMaker& TrackMaker::add(Pending event) {
  pending_.push_back(std::move(event));
  return *this;
}

TrackMaker& TrackMaker::noteOn(int32_t tick, int pitch, int velocity, int channel) {
  return add({tick, static_cast<uint8_t>(0x90 | channel), -1,
              {static_cast<uint8_t>(pitch), static_cast<uint8_t>(velocity)}, 0.0f});
}

TrackMaker& TrackMaker::noteOff(int32_t tick, int pitch, int channel) {
  return add({tick, static_cast<uint8_t>(0x80 | channel), -1, {static_cast<uint8_t>(pitch), 0}, 0.0f});
}

TrackMaker& TrackMaker::note(int32_t tick, int32_t length, int pitch, int velocity, int channel) {
  noteOn(tick, pitch, velocity, channel);
  return noteOff(tick + length, pitch, channel);
}

TrackMaker& TrackMaker::controlChange(int32_t tick, int controller, int value, int channel) {
  return add({tick, static_cast<uint8_t>(0xB0 | channel), -1,
              {static_cast<uint8_t>(controller), static_cast<uint8_t>(value)}, 0.0f});
}

TrackMaker& TrackMaker::programChange(int32_t tick, int program, int channel) {
  return add({tick, static_cast<uint8_t>(0xC0 | channel), -1, {static_cast<uint8_t>(program)}, 0.0f});
}

TrackMaker& TrackMaker::tempo(int32_t tick, float bpm) {
  const auto micros = static_cast<uint32_t>(std::lround(60000000.0 / bpm));
  return add({tick, 0xFF, kMetaTempo,
              {static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8), static_cast<uint8_t>(micros)},
              bpm});
}

TrackMaker& TrackMaker::meta(int32_t tick, int type, std::vector<uint8_t> payload) {
  return add({tick, 0xFF, type, std::move(payload), 0.0f});
}

TrackMaker& TrackMaker::endOfTrack(int32_t tick) { return meta(tick, kMetaEndOfTrack); }

TrackMaker& TrackMaker::useTempos(const TempoList& tempos) {
  tempos_.insert(tempos_.end(), tempos.begin(), tempos.end());
  return *this;
}

std::shared_ptr<MidiTrack> TrackMaker::build() {
  std::stable_sort(pending_.begin(), pending_.end(),
                   [](const Pending& a, const Pending& b) { return a.tick < b.tick; });
  auto track = std::make_shared<MidiTrack>();
  int32_t songEnd = 0;
  for (const Pending& p : pending_) {
    auto event = std::make_shared<MidiEvent>();
    event->track = track.get();
    event->tick = p.tick;
    event->delta = p.tick - track->currentTick;
    track->currentTick = p.tick;
    event->status = p.status;
    event->kind = classifyStatus(p.status);
    event->metaType = p.metaType;
    event->data = p.data;
    event->length = static_cast<int32_t>(p.data.size());
    if (event->startsNote()) {
      event->voice = track->activeNotes++;
      track->maxPolyphony = std::max(track->maxPolyphony, track->activeNotes);
    } else if (event->endsNote()) {
      --track->activeNotes;
    }
    if (event->kind == EventKind::ControlChange) track->controllers.insert(event->signedData(0));
    if (event->isMeta(kMetaTempo)) {
      auto tempo = std::make_shared<Tempo>();
      tempo->event = event;
      tempo->bpm = p.bpm;
      tempo->tick = p.tick;
      tempo->shiftedTick = p.tick;
      tempo->index = static_cast<int32_t>(tempos_.size());
      tempos_.push_back(tempo);
      event->tempo = tempo;
    } else {
      event->tempo = tempoAt(tempos_, p.tick);
    }
    track->addEvent(event, songEnd);
  }
  track->hasContent = true;
  pending_.clear();
  return track;
}

}  // namespace rendlow::test
