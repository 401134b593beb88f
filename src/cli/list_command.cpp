#include "cli/list_command.h"

#include "app/application.h"
#include "app/load_flow.h"
#include "app/memory_form.h"
#include "app/track_line.h"
#include "cli/error_output.h"
#include "cli/exit_status.h"

namespace rendlow::cli {

int runList(const Options& options, std::ostream& out, std::ostream& err) {
  Application app(options.verbose ? &err : nullptr);
  MemoryForm form;
  if (Result<void> loaded = loadFile(app, form, options.inputs.front()); !loaded) {
    printMessage(err, loaded.problem().message);
    return kExitFailed;
  }
  const auto& rows = form.rows();
  for (std::size_t row = 0; row < rows.size(); ++row) {
    out << row << '\t' << formatTrackFields(rows[row].trackName, rows[row].settings) << '\n';
  }
  return kExitOk;
}

}  // namespace rendlow::cli
