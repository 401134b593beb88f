#include "ui/main_form.h"

#include <utility>

#include "app/keysounds.h"
#include "app/load_flow.h"
#include "app/output_flow.h"
#include "app/run_lock.h"
#include "base/messages.h"
#include "base/messages_labels.h"
#include "ui/folder_choice.h"
#include "ui/form_ids.h"
#include "ui/message_box.h"
#include "ui/song_file_choice.h"
#include "ui/track_table.h"
#include "ui/window_text.h"

namespace rendlow::ui {

namespace {

// The messages about names outside code page 932 are made with this in the name's place: the
// catalogue's texts are bytes of that code page, which cannot hold the name. The name joins the
// message once it is UTF-16.
constexpr char kNameMark[] = "\x01";

constexpr int kOwn = -1;

SIZE outerSize(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// Moves a control; a negative width or height keeps the control's own. Its place among its
// siblings, which is its place in the Tab order, stays.
void move(const Control& control, int x, int y, int width, int height) {
  const SIZE own = outerSize(control.handle());
  SetWindowPos(control.handle(), nullptr, x, y, width < 0 ? own.cx : width, height < 0 ? own.cy : height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

MainForm::MainForm(Application& app, Shell& shell)
    : app_(app),
      shell_(shell),
      editor_(app, table_,
              {[this](const std::wstring& text) { tellNaming(textOutsideCodePageMessage(kNameMark), text); },
               [this](const Message& message) { showMessage(message, Tone::Warning); }}) {
  // The settings file keeps the song by a path from its own folder, so a project copied elsewhere
  // works on its own files.
  app_.project.relativeSettingsPaths = true;
}

MainForm::~MainForm() {
  shell_.onResize = nullptr;
  shell_.onFileDropped = nullptr;
  shell_.onMenuCommand = nullptr;
  shell_.onClose = nullptr;
}

Label& MainForm::label(const Parent& parent, int id, const Bounds& at, const char* text) {
  labels_.push_back(std::make_unique<Label>());
  labels_.back()->create(parent, id, at, text);
  return *labels_.back();
}

// The controls are made in reading order, which is the order Tab visits them in: the song frame,
// the settings group beside it, then the output row and the chart header group below.
void MainForm::build() {
  buildSongFrame();
  editor_.build(shell_.parent(), kInitialClientWidth - 285);
  editor_.onRowsChanged = [this] { unsaved_ = true; };
  buildOutputRow();
  buildChartGroup();
  enableSongControls(false);
  SetFocus(inputFile_.handle());

  shell_.onResize = [this](int width, int height) { layout(width, height); };
  shell_.onFileDropped = [this](const std::wstring& path) { load(path); };
  shell_.onMenuCommand = [this](int command) {
    if (command == ids::kMakeKeysounds) makeKeysoundsWithSynth();
    if (command == ids::kCutFromStems) cutFromStems();
    if (command == ids::kFreshChart) output(OutputChoice::MidiAndChart, true);
    if (command == ids::kAboutStems) showMessage(stemsHelpMessage(), Tone::Information);
  };
  shell_.onClose = [this] { return mayClose(); };
}

void MainForm::buildSongFrame() {
  midiGroup_.create(shell_.parent(), ids::kMidiGroup, {5, 5, 340, 320},
                    songGroupCaption().in(Audience::Window));
  const Parent midi = midiGroup_.inside();
  inputFile_.create(midi, ids::kInputFile, {80, 20, 210, 20});
  label(midi, ids::kInputLabel, {10, 25, 70, 20}, inputFileLabel().in(Audience::Window).c_str());
  browse_.create(midi, ids::kBrowseButton, {290, 20, 40, 20}, browseButtonCaption().in(Audience::Window));
  browse_.onClick = [this] { browse(); };
  table_.create(midi, ids::kTrackTable, {10, 45, 320, 260});
  addTrackColumns(table_);
  table_.onClick = [this](int row) { editor_.rowClicked(row); };
  table_.onChange = [this](int row) { editor_.rowChanged(row); };
  // Only songs and settings load from the table; the window loads whatever it is given.
  table_.onDrop = [this](const std::wstring& path) {
    if (hasSongFileExtension(path)) load(path);
  };
}

void MainForm::buildOutputRow() {
  const Parent main = shell_.parent();
  outputFile_.create(main, ids::kOutputFile, {85, 340, 250, 20});
  outputFile_.onChange = [this] { unsaved_ = true; };
  outputLabel_ =
      &label(main, ids::kOutputLabel, {15, 345, 70, 20}, outputFileLabel().in(Audience::Window).c_str());
  const struct {
    Button& button;
    int id;
    int x;
    Message text;
    OutputChoice choice;
  } buttons[] = {
      {chartOutput_, ids::kChartOutputButton, 10, chartOutputButtonCaption(), OutputChoice::MidiAndChart},
      {midiOutput_, ids::kMidiOutputButton, 125, midiOutputButtonCaption(), OutputChoice::MidiOnly},
      {saveSettings_, ids::kSaveSettingsButton, 240, saveSettingsButtonCaption(), OutputChoice::SettingsOnly},
  };
  for (const auto& entry : buttons) {
    entry.button.create(main, entry.id, {entry.x, 400, 100, 40}, entry.text.in(Audience::Window));
    entry.button.onClick = [this, choice = entry.choice] { output(choice); };
  }
}

void MainForm::buildChartGroup() {
  chartGroup_.create(shell_.parent(), ids::kChartGroup, {355, 340, 260, 105},
                     chartGroupCaption().in(Audience::Window));
  const Parent chart = chartGroup_.inside();
  const struct {
    TextBox& box;
    int id;
    int labelId;
    Message text;
  } headers[] = {
      {genre_, ids::kGenre, ids::kGenreLabel, genreLabel()},
      {title_, ids::kTitle, ids::kTitleLabel, titleLabel()},
      {artist_, ids::kArtist, ids::kArtistLabel, artistLabel()},
  };
  int y = 20;
  for (const auto& row : headers) {
    row.box.create(chart, row.id, {130, y, 120, 20});
    row.box.onChange = [this] { unsaved_ = true; };
    label(chart, row.labelId, {10, y + 5, 120, 20}, row.text.in(Audience::Window).c_str());
    y += 25;
  }
}

void MainForm::enableSongControls(bool enabled) {
  for (Button* button : {&chartOutput_, &midiOutput_, &saveSettings_}) button->enable(enabled);
  editor_.enable(enabled);
}

// The song frame, the table, its columns and the path boxes grow with the window; the side groups
// keep their size at the right edge, and the output row and buttons stay at the bottom. Every
// place is the one build() gave, moved by how much the window grew, so the first size gives back
// the first layout.
void MainForm::layout(int w, int h) {
  const int dx = w - kInitialClientWidth;
  const int dy = h - kInitialClientHeight;
  move(midiGroup_, 5, 5, 340 + dx, 320 + dy);
  move(inputFile_, 80, 20, 210 + dx, kOwn);
  move(browse_, 290 + dx, 20, kOwn, kOwn);
  move(table_, 10, 45, 320 + dx, 260 + dy);
  growTrackColumns(table_, dx);
  move(editor_.group(), 355 + dx, 5, kOwn, kOwn);
  move(chartGroup_, 355 + dx, 340 + dy, kOwn, kOwn);
  move(*outputLabel_, 15, 345 + dy, kOwn, kOwn);
  move(outputFile_, 85, 340 + dy, 250 + dx, kOwn);
  move(chartOutput_, 10, 400 + dy, kOwn, kOwn);
  move(midiOutput_, 125, 400 + dy, kOwn, kOwn);
  move(saveSettings_, 240, 400 + dy, kOwn, kOwn);
}

TextBox& MainForm::box(Box box) { return const_cast<TextBox&>(static_cast<const MainForm&>(*this).box(box)); }

const TextBox& MainForm::box(Box box) const {
  switch (box) {
    case Box::InputFile:
      return inputFile_;
    case Box::OutputFile:
      return outputFile_;
    case Box::Genre:
      return genre_;
    case Box::Title:
      return title_;
    case Box::Artist:
      break;
  }
  return artist_;
}

// The flows read a box only after output() made sure its text fits the engine, or right after
// setting it from the engine's bytes, so the empty stand-in is never what they get.
std::string MainForm::text(Box which) const { return box(which).text().value_or(std::string()); }

void MainForm::setText(Box which, std::string_view text) { box(which).setText(text); }

void MainForm::clearSelection() { editor_.clearSelection(); }

void MainForm::clearRows() { table_.clearRows(); }

void MainForm::addRow(std::string_view trackName) { table_.addRow(trackName); }

void MainForm::refreshRow(int row, const TrackSettings& settings) { editor_.refreshRow(row, settings); }

void MainForm::showMessage(const Message& message, Tone tone) {
  show(toWindowText(message.in(Audience::Window)), tone);
}

void MainForm::showStatus(const Message& status) { shell_.showStatus(toWindowText(status.in(Audience::Window))); }

bool MainForm::offerAction(const Message& message, Tone tone, const Message& action) {
  return show(toWindowText(message.in(Audience::Window)), tone, toWindowText(action.in(Audience::Window))) ==
         kExtraButtonAnswer;
}

int MainForm::show(const std::wstring& text, Tone tone, const std::wstring& action) {
  const BoxTone boxTone = tone == Tone::Error     ? BoxTone::Error
                          : tone == Tone::Warning ? BoxTone::Warning
                                                  : BoxTone::Information;
  return showMessageBox(shell_.window(), shell_.font(), {.text = text, .tone = boxTone, .extraButton = action});
}

void MainForm::tellNaming(const Message& message, const std::wstring& name) {
  std::wstring text = toWindowText(message.in(Audience::Window));
  const std::wstring mark = toWindowText(kNameMark);
  if (const std::size_t at = text.find(mark); at != std::wstring::npos) text.replace(at, mark.size(), name);
  show(text, Tone::Error);
}

std::optional<std::string> MainForm::enginePath(const std::wstring& path) {
  std::optional<std::string> bytes = toEngineText(path);
  if (!bytes) {
    tellNaming(pathOutsideCodePageMessage(kNameMark), path);
  } else if (!systemReadsAlike(*bytes, path)) {
    tellNaming(pathOutsideSystemCodePageMessage(kNameMark, GetACP()), path);
    bytes.reset();
  }
  return bytes;
}

void MainForm::browse() {
  if (const std::optional<std::wstring> path = askForSongFile(browse_.handle())) load(*path);
}

void MainForm::load(const std::wstring& path) {
  const std::optional<std::string> bytes = enginePath(path);
  if (!bytes) return;
  // A file that gives no song leaves the song shown before, and its edits, as they were.
  if (!openInWindow(app_, *this, *bytes)) return;
  shell_.enableSongCommands(true);
  enableSongControls(true);
  editor_.showFirstRow();
  unsaved_ = false;
}

bool MainForm::mayClose() {
  if (!editor_.applyChanges()) return false;
  if (!unsaved_) return true;
  const std::wstring question = toWindowText(unsavedSettingsQuestion().in(Audience::Window));
  switch (showMessageBox(shell_.window(), shell_.font(),
                         {.text = question, .tone = BoxTone::Question, .buttons = BoxButtons::YesNoCancel})) {
    case IDYES:
      output(OutputChoice::SettingsOnly);
      return !unsaved_;
    case IDNO:
      return true;
    default:
      return false;
  }
}

bool MainForm::outputTextsFit() {
  // The output writes these texts as the engine's bytes: one it cannot keep is named instead of
  // being written with stand-in characters.
  if (!enginePath(outputFile_.wideText())) return false;
  for (const TextBox* header : {&genre_, &title_, &artist_}) {
    if (header->text()) continue;
    tellNaming(textOutsideCodePageMessage(kNameMark), header->wideText());
    return false;
  }
  return true;
}

// The window must keep answering: while another run works on the song, it says so and stops.
Result<std::optional<FileLock>> MainForm::lockSong() {
  // Without a song there is no song to keep: the output itself says what is missing.
  if (app_.project.inputPath.empty()) return std::optional<FileLock>();
  Result<std::optional<FileLock>> lock =
      takeRunLock(runLockPathFor(app_.project.inputPath), LockWait::DoNotWait,
                  [this](const Message& told) { showMessage(told, Tone::Warning); });
  if (!lock) showMessage(lock.problem().message, Tone::Error);
  return lock;
}

void MainForm::output(OutputChoice choice, bool freshChart) {
  if (!outputTextsFit()) return;
  // The output writes the rows as they stand, with what the user changed in the group.
  if (!editor_.applyChanges()) return;
  const Result<std::optional<FileLock>> lock = lockSong();
  if (!lock) return;
  OutputRequest request = requestFromForm(*this, choice);
  request.freshChart = freshChart;
  // The flow shows the user everything there is to tell.
  const Result<OutputResult> result = runOutput(app_, request, this);
  if (result && result->settings && result->settings->status) unsaved_ = false;
  if (result && result->converted) showSoundCounts(table_, app_.project, *result->converted);
}

void MainForm::cutFromStems() {
  // The cut makes the output of "Midi&&BMS出力" first: its texts are checked before the user is
  // asked for a folder.
  if (!outputTextsFit()) return;
  if (!editor_.applyChanges()) return;
  const std::optional<std::wstring> folder = askForStemsFolder(shell_.window(), songFolder());
  if (!folder) return;
  const std::optional<std::string> stems = enginePath(*folder);
  if (!stems) return;
  outputWithSounds(stemsCutRequest(app_.project.inputPath, *stems));
}

void MainForm::makeKeysoundsWithSynth() {
  if (!outputTextsFit()) return;
  if (!editor_.applyChanges()) return;
  // The synthesizer's defaults: the SoundFont found where the program looks for one (beside the
  // program on Windows, which ships one there).
  outputWithSounds(KeysoundRequest{});
}

void MainForm::outputWithSounds(const KeysoundRequest& request) {
  const Result<std::optional<FileLock>> lock = lockSong();
  if (!lock) return;
  // A missing SoundFont or stems folder stops the job before the output writes a chart that would
  // stand without its sounds.
  Result<KeysoundInputs> inputs = checkKeysoundInputs(request);
  if (!inputs) {
    showMessage(inputs.problem().message, Tone::Error);
    return;
  }
  const Result<OutputResult> output = runOutput(app_, requestFromForm(*this, OutputChoice::MidiAndChart), this);
  if (output && output->converted) showSoundCounts(table_, app_.project, *output->converted);
  // Nothing more to tell when no chart was written: the output has said why.
  if (!output || !output->chart || !output->chart->status) return;
  const Result<KeysoundReport> sounds = makeKeysounds(app_.project.song, *output->converted, output->chart->path,
                                                      request, std::move(inputs).value());
  if (!sounds) {
    showMessage(sounds.problem().message, Tone::Error);
    return;
  }
  const bool heed = !sounds->measureNotices.empty() || !sounds->files.notices.empty();
  showMessage(keysoundSummary(*sounds), heed ? Tone::Warning : Tone::Information);
}

std::wstring MainForm::songFolder() const {
  const std::wstring song = inputFile_.wideText();
  const std::size_t slash = song.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : song.substr(0, slash);
}

}  // namespace rendlow::ui
