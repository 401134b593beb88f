// The seconds of a tick of a song as its MIDI file times it: its own tempo changes in time order,
// exactly as the file sets them; before the first, the MIDI default of 120 BPM.
export function songClock(midi) {
  const changes = [];
  midi.tracks.forEach((events, track) => {
    let tick = 0;
    for (const event of events) {
      tick += event.deltaTime;
      if (event.type === 'setTempo') changes.push({ tick, track, bpm: 6e7 / event.microsecondsPerBeat });
    }
  });
  changes.sort((a, b) => a.tick - b.tick || a.track - b.track);
  const division = midi.header.ticksPerBeat;
  return (tick) => {
    let seconds = 0;
    let at = 0;
    let bpm = 120;
    for (const change of changes.filter((c) => c.tick <= tick)) {
      seconds += ((change.tick - at) / division) * (60 / bpm);
      [at, bpm] = [change.tick, change.bpm];
    }
    return seconds + ((tick - at) / division) * (60 / bpm);
  };
}
