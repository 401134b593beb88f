// The merge of an author's chart on arbitrary text: a chart an editor, a script or a damaged disk
// left must neither crash the program nor lose count of its objects. The first byte chooses the
// format written and whether the text is first read as a chart of the other format; the rest is
// the old chart, merged into the example song's new one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "app/job.h"
#include "app/memory_form.h"
#include "bms/bmson_merge.h"
#include "bms/chart_merge.h"
#include "bms/chart_translation.h"
#include "fuzz_support/scratch_file.h"

namespace {

using namespace rendlow;

// The example song converted once, with the default rows.
struct ExampleConversion {
  Application app;
  Converted converted;
  std::vector<std::string> soundNames;

  ExampleConversion() {
    MemoryForm form;
    JobRequest request;
    // A copy in the scratch folder: the job saves its settings file beside the song it converts.
    std::ifstream example(RENDLOW_EXAMPLE_SONG, std::ios::binary);
    const std::vector<uint8_t> song((std::istreambuf_iterator<char>(example)), std::istreambuf_iterator<char>());
    request.input = fuzz::writeScratchFile("example.mid", song.data(), song.size());
    request.useSavedSettings = false;
    const Result<JobReport> job = runJob(app, form, request);
    if (!job || !job->output) std::abort();
    converted = job->output->converted.value();
    for (const TrackSettings& row : app.project.settings) soundNames.push_back(row.definitionName);
  }
};

// Every object of the program's sounds found in a lane is told: moved, or left out.
void checkCounts(const ChartWorkKept& kept) {
  if (kept.moved + static_cast<int32_t>(kept.leftOut.size()) != kept.laneObjects) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const ExampleConversion example;
  if (size < 1) return 0;
  const bool bmson = data[0] & 1;
  const bool otherFormat = data[0] & 2;
  std::string old(reinterpret_cast<const char*>(data + 1), size - 1);
  const MeasureGrid& grid = example.converted.measures;
  if (otherFormat)
    old = bmson ? bmsonFromBmsChart(old, grid, example.soundNames).text
                : bmsChartFromBmson(old, grid, example.soundNames).text;
  const Song& song = example.app.project.song;
  const ChartHeader header;
  if (bmson) {
    checkCounts(mergeBmsonChart(old, example.converted.chart, song, grid, header, example.soundNames).kept);
    return 0;
  }
  const Result<MergedChart> merged =
      mergeBmsChart(old, example.converted.chart, song, grid, header, example.soundNames);
  if (merged) checkCounts(merged->kept);
  return 0;
}
