#include "audio/fidelity/fidelity_warnings.h"

#include <cmath>

#include "base/format.h"
#include "base/messages_audio.h"

namespace rendlow::audio {

namespace {

std::string fixed(const char* format, double value) {
  std::string text;
  appendFormatted(text, format, value);
  return text;
}

}  // namespace

Notices fidelityWarnings(const FidelityFigures& figures, const std::string& definitionName,
                         const std::string& referencePath) {
  // Only a measure against the author's render has a reference path; its sounds are cut from the
  // author's stems. Without one, the synthesizer made both.
  const MeasuredSounds sounds =
      referencePath.empty() ? MeasuredSounds::Synthesized : MeasuredSounds::AuthorsRenders;
  Notices warnings;
  if (figures.silentSeconds > 0) {
    warnings.push_back(warningNotice(playbackSilentMessage(definitionName, secondsText(figures.silentSeconds),
                                                           secondsText(figures.firstSilentSeconds), sounds)));
  }
  const double lagSeconds = static_cast<double>(figures.lagFrames) / figures.sampleRate;
  if (std::fabs(lagSeconds) > kLagWarningSeconds)
    warnings.push_back(
        warningNotice(playbackLagMessage(definitionName, fixed("%+.2f", 1000 * lagSeconds), sounds)));
  if (!referencePath.empty() && figures.unmeasuredSeconds > kShortReferenceSeconds) {
    warnings.push_back(warningNotice(referenceShortMessage(referencePath, secondsText(figures.referenceSeconds),
                                                           secondsText(figures.unmeasuredSeconds))));
  }
  if (definitionName.empty() && figures.mixPeakDbfs > 0)
    warnings.push_back(warningNotice(mixClipsMessage(fixed("%+.1f", figures.mixPeakDbfs), sounds)));
  return warnings;
}

}  // namespace rendlow::audio
