#include "cli/list_command.h"

#include "app/application.h"
#include "app/job.h"
#include "app/load_flow.h"
#include "app/memory_form.h"
#include "base/messages.h"
#include "base/messages_usage.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "slicer/track_fields.h"

namespace rendlow::cli {

namespace {

// The header names the fields' columns as --set names the fields, in either language, so a script
// can find a field by name.
std::string headerLine(Audience audience) {
  std::string line;
  for (const Message& heading : listRowHeadings()) line += (line.empty() ? "" : "\t") + heading.in(audience);
  for (const TrackField& field : trackSettingsFields()) line += "\t" + std::string(field.name);
  return line + "\n";
}

std::string rowLine(std::size_t row, const MemoryForm::Row& shown) {
  std::string line = std::to_string(row) + "\t" + shown.trackName;
  for (const TrackField& field : trackSettingsFields()) {
    line += '\t';
    line += field.kind == FieldKind::Name ? shown.settings.*field.text
                                          : std::to_string(numberOf(field, shown.settings));
  }
  return line + "\n";
}

}  // namespace

int runList(const Options& options, std::ostream& out, std::ostream& err) {
  Application app(options.verbose ? &err : nullptr);
  MemoryForm form;
  const std::string& input = options.inputs.front();
  // What a conversion would load, so the rows shown are the rows --set edits.
  const std::optional<std::string> saved = options.defaults ? std::nullopt : savedSettingsFor(input);
  if (Result<void> loaded = loadFile(app, form, saved.value_or(input)); !loaded) {
    printMessage(err, loaded.problem().message);
    return kExitFailed;
  }
  if (saved) printMessage(err, usingSavedSettingsMessage(*saved));
  out << headerLine(consoleAudience());
  const auto& rows = form.rows();
  for (std::size_t row = 0; row < rows.size(); ++row) out << rowLine(row, rows[row]);
  return kExitOk;
}

}  // namespace rendlow::cli
