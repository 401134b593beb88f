#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/result.h"

namespace rendlow::audio {

// The audio files of a folder of stems, matched to the tracks by name: "tr01" claims "tr01.wav"
// (or another extension the backend reads; letter case aside, as on Windows). A stem with no
// such file but one of its name with another extension is there, in a format not read.
struct StemFiles {
  std::map<std::string, std::string> pathOfStem;  // only the stems found
  std::vector<std::string> missingStems;          // with no file of their name at all
  // Stems whose only file of their name ("tr01.w64") is of a format the backend does not read.
  std::map<std::string, std::string> unreadStems;
  std::vector<std::string> extraFiles;  // paths of audio files no stem claims
};

// `ignoredNames` (lower case) are audio files that are not stems: the sound files the run
// writes, should the chart's folder be the stems folder too. The problem is the whole message.
Result<StemFiles> findStems(const std::string& folder, const std::vector<std::string>& stemNames,
                            const std::vector<std::string>& extensions,
                            const std::set<std::string>& ignoredNames);

}  // namespace rendlow::audio
