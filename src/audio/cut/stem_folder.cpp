#include "audio/cut/stem_folder.h"

#include <algorithm>

#include "base/file_input.h"
#include "base/messages_audio.h"
#include "base/path_names.h"
#include "base/text.h"

namespace rendlow::audio {

namespace {

bool hasExtensionOf(const std::string& lowerName, const std::vector<std::string>& extensions) {
  return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& extension) {
    return lowerName.size() > extension.size() && lowerName.ends_with(extension);
  });
}

// The first extension in the backend's order wins when a stem has several files; the others
// are extra.
const std::string* claimedFile(const std::string& stemName, const std::vector<std::string>& names,
                               const std::vector<std::string>& extensions) {
  for (const std::string& extension : extensions) {
    const std::string wanted = caseFolded(stemName) + extension;
    for (const std::string& name : names) {
      if (caseFolded(name) == wanted) return &name;
    }
  }
  return nullptr;
}

// A file named after the stem with an extension of its own: the stem in some format.
const std::string* fileOfStemName(const std::string& stemName, const std::vector<std::string>& names) {
  const std::string prefix = caseFolded(stemName) + ".";
  for (const std::string& name : names) {
    const std::string lower = caseFolded(name);
    if (lower.size() > prefix.size() && lower.starts_with(prefix) &&
        lower.find('.', prefix.size()) == std::string::npos)
      return &name;
  }
  return nullptr;
}

}  // namespace

Result<StemFiles> findStems(const std::string& folder, const std::vector<std::string>& stemNames,
                            const std::vector<std::string>& extensions,
                            const std::set<std::string>& ignoredNames) {
  Result<std::vector<std::string>> names = fileNamesIn(folder, fileSystemReason);
  if (!names) return Problem{stemsFolderUnreadableMessage(folder, names.problem().message)};
  StemFiles stems;
  std::set<std::string> claimed;
  for (const std::string& stemName : stemNames) {
    const std::string* name = claimedFile(stemName, *names, extensions);
    if (!name) {
      if (const std::string* other = fileOfStemName(stemName, *names))
        stems.unreadStems[stemName] = pathIn(folder, *other);
      else
        stems.missingStems.push_back(stemName);
      continue;
    }
    stems.pathOfStem[stemName] = pathIn(folder, *name);
    claimed.insert(*name);
  }
  for (const std::string& name : *names) {
    const std::string lower = caseFolded(name);
    if (hasExtensionOf(lower, extensions) && !claimed.count(name) && !ignoredNames.count(lower)) {
      stems.extraFiles.push_back(pathIn(folder, name));
    }
  }
  return stems;
}

}  // namespace rendlow::audio
