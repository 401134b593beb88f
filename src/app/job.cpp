#include "app/job.h"

#include "app/application.h"
#include "app/fit_flow.h"
#include "app/form.h"
#include "app/load_flow.h"
#include "app/paths.h"
#include "app/settings_file.h"
#include "base/file_input.h"
#include "base/messages.h"
#include "base/text.h"
#include "bms/chart_format.h"

namespace rendlow {

namespace {

// Each edit starts from the row's settings as they stand, so it changes its one field only.
Result<void> applyEdits(Application& app, const std::vector<RowEdit>& edits) {
  for (const RowEdit& edit : edits) {
    const std::size_t rows = app.project.listedTracks().size();
    if (static_cast<std::size_t>(edit.row) >= rows) return Problem{noSuchRowMessage(edit.row, rows)};
    TrackSettings record = app.rowSettings(edit.row);
    applyRowEdit(edit, record);
    app.applyRowSettings(edit.row, record);
  }
  return {};
}

// A text given instead of the loaded one, cut as the form's box would cut it.
std::string givenOr(const std::optional<std::string>& given, const std::string& loaded) {
  return given ? boundedText(*given) : loaded;
}

// The output name given, or the one proposed for the song, asking for the chart format given,
// else the one the given name asks for, else the one the load's output name (a settings file's,
// or the proposal) asks for.
std::string outputName(const Project& project, const std::string& loadedName, const JobRequest& request) {
  const std::string name = givenOr(request.outputPath, outputNameFor(boundedText(project.inputPath)));
  const ChartFormat asked = chartFormatOf(request.outputPath ? name : loadedName);
  return withChartFormat(name, request.chartFormat.value_or(asked));
}

OutputRequest outputRequest(const Application& app, const Form& form, const JobRequest& request) {
  const Project& project = app.project;
  const ChartHeader& loaded = project.chartHeader;
  return {outputName(project, form.text(Box::OutputFile), request),
          {givenOr(request.genre, loaded.genre), givenOr(request.title, loaded.title),
           givenOr(request.artist, loaded.artist)},
          request.output,
          request.freshChart};
}

// The fit a request asks for, applied: only a song whose .bme chart passes ZZ is changed.
Result<FitResult> fitIfAsked(Application& app, const JobRequest& request, const OutputRequest& output) {
  if (!request.fit || !app.hasSong() || output.choice != OutputChoice::MidiAndChart ||
      chartFormatOf(output.renderingPath) != ChartFormat::Bme)
    return FitResult{};
  return fitRowsIntoIds(app);
}

// The inputs of the sounds a request asks for; none when it asks for none, or for no chart to
// name them.
Result<std::optional<KeysoundInputs>> keysoundInputs(const JobRequest& request, const OutputRequest& output) {
  if (!request.keysounds || output.choice != OutputChoice::MidiAndChart)
    return std::optional<KeysoundInputs>();
  Result<KeysoundInputs> inputs = checkKeysoundInputs(*request.keysounds);
  if (!inputs) return inputs.problem();
  return std::optional(std::move(inputs).value());
}

// The sounds of a chart that was written.
std::optional<Result<KeysoundReport>> soundsOf(const Application& app, const JobRequest& request,
                                               const Result<OutputResult>& output,
                                               std::optional<KeysoundInputs> inputs) {
  if (!inputs || !output || !output->ok() || !output->chart) return std::nullopt;
  return makeKeysounds(app.project.song, *output->converted, output->chart->path, *request.keysounds,
                       std::move(*inputs));
}

}  // namespace

std::optional<std::string> savedSettingsFor(const std::string& input) {
  if (isSettingsFilePath(input)) return std::nullopt;
  const std::string path = settingsPathFor(input);
  const Result<SettingsFileContents> settings = loadSettings(path);
  if (!settings) return fileExists(path) ? std::optional(path) : std::nullopt;
  if (!namesSameFile(settings->inputPath, input)) return std::nullopt;
  return path;
}

Result<JobReport> runJob(Application& app, Form& form, const JobRequest& request) {
  std::optional<std::string> savedSettings;
  if (request.useSavedSettings) savedSettings = savedSettingsFor(request.input);
  if (Result<void> loaded = loadFile(app, form, savedSettings.value_or(request.input)); !loaded)
    return loaded.problem();
  if (Result<void> edited = applyEdits(app, request.edits); !edited) return edited.problem();
  const OutputRequest output = outputRequest(app, form, request);
  Result<FitResult> fit = fitIfAsked(app, request, output);
  if (!fit) return fit.problem();
  std::optional<FitResult> changed;
  if (!fit->changes.empty()) changed = std::move(fit).value();
  Result<std::optional<KeysoundInputs>> inputs = keysoundInputs(request, output);
  if (!inputs) return inputs.problem();
  JobReport report{std::move(savedSettings), runOutput(app, output), std::move(changed), std::nullopt};
  report.keysounds = soundsOf(app, request, report.output, std::move(*inputs));
  return report;
}

}  // namespace rendlow
