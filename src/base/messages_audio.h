#pragma once

// The catalogue's texts about sound files, stems, the synthesizer and the fidelity measure: what
// happened, to which file, why, and what to do. Whole messages end in "...Message"; the reasons
// they carry end in "...Reason".

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/message.h"

namespace rendlow {

// Seconds as the messages show them, to the millisecond: "1.250".
std::string secondsText(double seconds);

// --- Reading and writing sound files -----------------------------------------------------
Message audioUnreadableMessage(const std::string& path, const Message& reason);
Message audioNotWrittenMessage(const std::string& path, const Message& reason);

Message fileSystemReason(int errorNumber);
Message notRiffWaveReason();
Message chunkPastEndReason(const std::string& chunkId, int64_t declared, int64_t available);
Message chunkMissingReason(const std::string& chunkId);
// A "data" chunk of 0 bytes: a file with no sound in it, as a writer stopped before its samples
// leaves it.
Message emptyDataReason();
Message formatChunkShortReason(int64_t size, int64_t needed);
Message unsupportedEncodingReason(int32_t formatTag, int32_t bitsPerSample);
Message inconsistentFormatReason(int32_t channels, int64_t sampleRate, int32_t blockAlign);
Message libraryRefusedReason(const std::string& libraryText);
Message unsupportedContainerReason();
Message wavTooLongReason(int64_t dataBytes);
Message oggNotInBuildReason();

// --- Cutting stems -----------------------------------------------------------------------
Message stemsFolderUnreadableMessage(const std::string& folder, const Message& reason);
Message missingStemMessage(const std::string& folder, const std::string& stemName);
Message extraStemMessage(const std::string& path);
// The only file named after track `stemName` is in a format not read.
Message stemFormatNotReadMessage(const std::string& path, const std::string& stemName);
Message soundsWrittenMessage(int32_t count, const std::string& folder);

// --- Rendering ---------------------------------------------------------------------------
Message fluidSynthAbsentMessage();
// The SoundFont the author named is not there; or none of the usual places holds one.
Message soundFontMissingMessage(const std::string& path);
Message noSoundFontFoundMessage(const std::vector<std::string>& searched);
Message soundFontUnreadableMessage(const std::string& path);
Message synthesizerNotStartedMessage();
Message fluidSynthNotInstalledMessage();

// --- Fidelity ----------------------------------------------------------------------------
// The figures of one measure as the fidelity line shows them, each already formatted.
struct FidelityFigureTexts {
  std::string logSpectralDistanceDb;
  std::string spectralSnrDb;
  std::string waveformSnrDb;
  std::string worstStretchSeconds;
  std::string worstStretchSnrDb;
  std::string mixPeakDbfs;
  std::string lagMilliseconds;
  std::string lagFrames;
};
Message fidelityFiguresMessage(const FidelityFigureTexts& figures);
Message chartUnreadableMessage(const std::string& path, const Message& reason);
Message soundFileMissingMessage(const std::string& chartPath, const std::string& soundPath);
Message sampleRateMismatchMessage(const std::string& path, int32_t rate, int32_t referenceRate);
Message channelCountMismatchMessage(const std::string& path, int32_t channels, int32_t referenceChannels);
// The song to measure against holds no sound: the author's recording at `recordingPath`, or,
// when that is empty, the song as the synthesizer rendered it.
Message silentReferenceMessage(const std::string& recordingPath);
// What a keysound run tells when its sound files stand but `why` kept it from measuring them.
Message notMeasuredMessage(const Message& why);
// A chart's sound file that could not be read again, or came back another length, while it played.
Message soundFileChangedMessage(const std::string& path);


// --- Silent sounds and stems that do not fit ---------------------------------------------
// `silent` of the `total` sounds of track `stemName` came out silent.
Message silentSoundsMessage(const std::string& stemName, int32_t silent, int32_t total);
// A stem not rendered from this rendering file: what looks wrong with it, one reason each.
Message stemDoesNotFitMessage(const std::string& path, const std::vector<Message>& findings);
Message stemSilentReason();
// Positive: late; negative: early.
Message stemStartsOffReason(int64_t lagMilliseconds);
Message stemEndsEarlyReason(double secondsShort);
Message stemNotOfThisRenderingReason(int32_t soundsNotLouder, int32_t soundsChecked);
// The stems of one folder at several rates: each stem's file name and rate.
Message mixedSampleRatesMessage(const std::string& folder,
                                const std::vector<std::pair<std::string, int32_t>>& rates);

// --- Fidelity per track, and what the figures warn of ------------------------------------
// One track's figures on one line, for the desktop program's summary.
Message trackFidelityMessage(const std::string& trackName, const std::string& definitionName,
                             const FidelityFigureTexts& figures);
// Who made what a measure compares: the chart's sounds and the reference both rendered by the
// synthesizer here (--keysounds), or cut from the author's stems and measured against the
// author's render. What to do about a warning differs: the author renders again only what the
// author rendered.
enum class MeasuredSounds { Synthesized, AuthorsRenders };

// In the warnings below, `definitionName` names the converted track they are about; empty, they
// are about the whole song. The figures come formatted.
Message playbackSilentMessage(const std::string& definitionName, const std::string& silentSeconds,
                              const std::string& firstSeconds, MeasuredSounds sounds);
Message playbackLagMessage(const std::string& definitionName, const std::string& lagMilliseconds,
                           MeasuredSounds sounds);
// `referencePath`, the render measured against, ends before the chart's playback does.
Message referenceShortMessage(const std::string& referencePath, const std::string& referenceSeconds,
                              const std::string& unmeasuredSeconds);
Message mixClipsMessage(const std::string& peakDbfs, MeasuredSounds sounds);
// The folder of the author's renders of each track has none for this track.
Message trackReferenceMissingMessage(const std::string& folder, const std::string& definitionName);

// --- Sound files the chart does not use ---------------------------------------------------
// Files named as the chart's sounds that it does not use (`paths`), left where they are.
Message staleSoundFilesMessage(const std::vector<std::string>& paths);
// The same files, removed as --clean asks.
Message staleSoundFilesRemovedMessage(const std::vector<std::string>& paths);

// --- Reading a SoundFont for the built-in synthesizer -------------------------------------
// The SoundFont at `path` could not be read, for `reason` (fileSystemReason, chunkPastEndReason,
// chunkMissingReason or one of those below).
Message soundFontNotReadMessage(const std::string& path, const Message& reason);
Message notSoundFontReason();
// A table chunk whose size is not a whole number of its records.
Message soundFontRecordsCutReason(const std::string& chunkId, int64_t size, int64_t recordSize);
// A record of chunk `chunkId` names entry `index` of a table of `count`, or its entries run backwards.
Message soundFontIndexReason(const std::string& chunkId, int64_t index, int64_t count);
// A sample header whose points lie outside the sample data, or whose rate is zero.
Message soundFontSampleReason(const std::string& sampleName);

}  // namespace rendlow
