// One song, one run: a second run waits for the first or stops, a lock left by a process that
// ended is taken over, and an interrupt leaves no temporary file and says what was written. The
// program runs as a process of its own, as a second author or a shell would run it.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "audio/synth/rendering.h"
#include "base/file_lock.h"
#include "base/platform.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class OneRun : public ::testing::Test {
protected:
  void SetUp() override {
    fs::copy_file(std::string(RENDLOW_SOURCE_DIR) + "/examples/example_song.mid", dir.file("song.mid"));
  }

  // Starts the program in the test's folder, its output in out.txt and err.txt.
  pid_t start(std::vector<std::string> args) const {
    const pid_t child = fork();
    if (child != 0) return child;
    if (chdir(dir.path().c_str()) != 0 || !std::freopen("out.txt", "w", stdout) ||
        !std::freopen("err.txt", "w", stderr))
      _exit(127);
    std::vector<char*> argv{const_cast<char*>(RENDLOW_CLI)};
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(RENDLOW_CLI, argv.data());
    _exit(127);
  }

  // Its exit status; -1 when a signal ended it.
  static int finish(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Waits, at most ten seconds, until `done` says so.
  static bool waitFor(const std::function<bool()>& done) {
    for (int tries = 0; tries < 2000 && !done(); ++tries) std::this_thread::sleep_for(5ms);
    return done();
  }

  std::string err() const { return readText(dir.file("err.txt")); }
  bool exists(const char* name) const { return fs::exists(dir.file(name)); }

  TempDir dir;
};

// The test holds the song's lock as another run would.
TEST_F(OneRun, ASecondRunWaitsForTheFirstOrWithNoWaitStops) {
  LockAttempt held = tryLockFile(dir.file("song.txt.lock"));
  ASSERT_TRUE(held.lock);
  const std::string busy =
      "Another run (process " + std::to_string(processId()) + ") is working on this song";
  EXPECT_EQ(finish(start({"--no-wait", "song.mid"})), 1);
  EXPECT_NE(err().find(busy + ". Nothing was written. Run again when it has finished, or without --no-wait"),
            std::string::npos)
      << err();
  EXPECT_FALSE(exists("song_out.mid"));

  // The first run's words must not be taken for the second's, however slowly it starts.
  fs::remove(dir.file("err.txt"));
  const std::string waiting = busy + "; waiting for it to finish.";
  const pid_t second = start({"song.mid"});
  ASSERT_TRUE(waitFor([&] { return err().find(waiting) != std::string::npos; })) << err();
  std::this_thread::sleep_for(200ms);
  EXPECT_FALSE(exists("song_out.mid"));
  held.lock.reset();
  EXPECT_EQ(finish(second), 0);
  EXPECT_EQ(err().find(waiting), err().rfind(waiting)) << "told once: " << err();
  EXPECT_TRUE(exists("song_out.bme") && !exists("song.txt.lock"));
}

TEST_F(OneRun, ALockLeftByAProcessThatEndedIsTakenOverAndSaid) {
  writeBytes(dir.file("song.txt.lock"), Bytes{'4', '1', '9', '4', '3', '0', '1', '\n'});
  EXPECT_EQ(finish(start({"-q", "song.mid"})), 0);
  EXPECT_EQ(err(),
            "rendlow-cli: A lock left by process 4194301, which has ended, was taken over.\n"
            "  File: song.txt.lock\n");
}

// Stopped while the sound files are written, the run ends as the shell expects of the signal,
// tells how far it got, and leaves every file whole.
TEST_F(OneRun, AnInterruptDuringTheSoundFilesLeavesNoTemporaryAndSaysWhatWasWritten) {
  if (!audio::fluidSynthInBuild()) GTEST_SKIP() << "FluidSynth is not in this build";
  const auto soundWritten = [this] {
    for (const auto& entry : fs::directory_iterator(dir.path()))
      if (entry.path().extension() == ".wav") return true;
    return false;
  };
  for (const auto& [signal, name] : {std::pair{SIGHUP, "SIGHUP"}, {SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}}) {
    SCOPED_TRACE(name);
    const pid_t run = start({"--keysounds", "song.mid"});
    ASSERT_TRUE(waitFor(soundWritten));
    kill(run, signal);
    EXPECT_EQ(finish(run), 128 + signal);
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      EXPECT_FALSE(entry.path().filename().string().ends_with("tmp")) << entry.path();
      if (entry.path().extension() == ".wav") fs::remove(entry.path());
    }
    const std::string told = err();
    EXPECT_NE(told.find(std::string("Interrupted (") + name + "): "), std::string::npos) << told;
    EXPECT_NE(told.find(" sound files were written before the run stopped; the others were not."),
              std::string::npos);
    EXPECT_TRUE(told.ends_with(std::string("rendlow-cli: Stopped by ") + name + ".\n")) << told;
    EXPECT_NE(readText(dir.file("out.txt")).find("chart: song_out.bme"), std::string::npos);
  }
}

}  // namespace
}  // namespace rendlow::test
#endif
