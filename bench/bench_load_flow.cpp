// How the load flow grows with the number of tracks: a song of many short tracks (the file format
// allows 32767) and a settings file with thousands of "tr" lines that all name the same track name,
// so every record applies to every unnamed track. Prints the time of the whole load for four sizes;
// the ratio of the last two times shows whether the flow grows linearly (about 2) or worse.
// (Finding each row's track by walking the track list once per row made the largest load take
// about ten seconds.)

#include <chrono>
#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/form.h"
#include "app/load_flow.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace {

constexpr int kRecords = 20000;

// A form that keeps nothing: only the flow's own work is timed.
class DiscardingForm : public rendlow::Form {
public:
  std::string text(rendlow::Box) const override { return "song.mid"; }
  void setText(rendlow::Box, std::string_view) override {}
  void clearSelection() override {}
  void clearRows() override {}
  void addRow(std::string_view) override {}
  void refreshRow(int, const rendlow::TrackSettings&) override {}
  void showMessage(const rendlow::Message&, rendlow::Tone) override {}
  bool offerAction(const rendlow::Message&, rendlow::Tone, const rendlow::Message&) override { return false; }
  void showStatus(const rendlow::Message&) override {}
};

struct Run {
  std::size_t rows = 0;
  double seconds = 0;
};

Run timeLoad(int tracks) {
  rendlow::test::TempDir dir;
  rendlow::test::MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).endOfTrack(0);
  for (int t = 1; t < tracks; ++t) song.track().noteOn(1, 0, 60, 100).noteOff(2, 0, 60).endOfTrack(2);
  song.write(dir.file("song.mid"));

  std::string settings = "i\t" + dir.file("song.mid") + "\n";
  for (int r = 0; r < kRecords; ++r) settings += "tr\t\n";
  rendlow::test::writeBytes(dir.file("song.txt"), rendlow::test::Bytes(settings.begin(), settings.end()));

  rendlow::Application app;
  DiscardingForm form;
  const auto start = std::chrono::steady_clock::now();
  if (!rendlow::loadFile(app, form, dir.file("song.txt"))) std::fprintf(stderr, "the load failed\n");
  const auto stop = std::chrono::steady_clock::now();
  return {app.project.listedTracks().size(), std::chrono::duration<double>(stop - start).count()};
}

}  // namespace

int main() {
  std::printf("%8s %8s %10s\n", "tracks", "rows", "seconds");
  double previous = 0;
  double last = 0;
  for (int tracks : {4096, 8192, 16384, 32767}) {
    const Run run = timeLoad(tracks);
    std::printf("%8d %8zu %10.4f\n", tracks, run.rows, run.seconds);
    previous = last;
    last = run.seconds;
  }
  std::printf("ratio of the last two sizes: %.2f\n", previous > 0 ? last / previous : 0.0);
  return 0;
}
