#include "cli/list_command.h"

#include "cli/error_output.h"
#include "cli/exit_status.h"
#include "cli/input_check.h"
#include "cli/memory_form.h"
#include "core/application.h"
#include "core/load_flow.h"
#include "core/track_line.h"

namespace rendlow::cli {

int runList(const Options& options, std::ostream& out, std::ostream& err) {
  Application app(options.verbose ? &out : nullptr);
  MemoryForm form;
  loadFile(app, form, options.inputs.front());
  if (const auto problem = loadProblem(options.inputs.front(), app)) {
    printMessage(err, *problem);
    return kExitFileFailed;
  }
  const auto& rows = form.rows();
  for (std::size_t row = 0; row < rows.size(); ++row) {
    out << row << '\t' << formatTrackFields(rows[row].trackName, rows[row].settings) << '\n';
  }
  return kExitOk;
}

}  // namespace rendlow::cli
