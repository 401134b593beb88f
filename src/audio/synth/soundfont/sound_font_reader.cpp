#include "audio/synth/soundfont/sound_font_reader.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "base/messages_audio.h"
#include "base/platform.h"

namespace rendlow::audio::soundfont {

namespace {

uint16_t word(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }
uint32_t doubleWord(const uint8_t* at) { return word(at) | static_cast<uint32_t>(word(at + 2)) << 16; }
std::string fourCc(const uint8_t* at) { return std::string(reinterpret_cast<const char*>(at), 4); }

// A name field of the file: up to `size` bytes, ending at the first NUL.
std::string fixedName(const uint8_t* at, std::size_t size) {
  std::size_t length = 0;
  while (length < size && at[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(at), length);
}

// The body of each chunk found in a run of chunks, by its id (the first of an id counts).
struct Chunk {
  std::string id;
  std::span<const uint8_t> body;
};

Result<std::vector<Chunk>> chunksIn(std::span<const uint8_t> bytes) {
  std::vector<Chunk> chunks;
  std::size_t at = 0;
  while (bytes.size() - at >= 8) {
    const std::string id = fourCc(bytes.data() + at);
    const uint32_t size = doubleWord(bytes.data() + at + 4);
    const std::size_t available = bytes.size() - at - 8;
    if (size > available) return Problem{chunkPastEndReason(id, size, static_cast<int64_t>(available))};
    chunks.push_back({id, bytes.subspan(at + 8, size)});
    at += 8 + size + (size & 1);
    if (at > bytes.size()) break;
  }
  return chunks;
}

std::optional<std::span<const uint8_t>> find(const std::vector<Chunk>& chunks, const std::string& id) {
  for (const Chunk& chunk : chunks) {
    if (chunk.id == id) return chunk.body;
  }
  return std::nullopt;
}

// The chunks of the LIST chunk of form `form`.
Result<std::vector<Chunk>> listOf(const std::vector<Chunk>& chunks, const std::string& form) {
  for (const Chunk& chunk : chunks) {
    if (chunk.id == "LIST" && chunk.body.size() >= 4 && fourCc(chunk.body.data()) == form) {
      return chunksIn(chunk.body.subspan(4));
    }
  }
  return Problem{chunkMissingReason(form)};
}

// A table chunk of the preset data: its records, each `recordSize` bytes, the last a terminal one.
struct Table {
  std::string id;
  std::span<const uint8_t> body;
  std::size_t recordSize = 0;

  std::size_t count() const { return body.size() / recordSize; }
  const uint8_t* record(std::size_t index) const { return body.data() + index * recordSize; }
};

Result<Table> tableOf(const std::vector<Chunk>& chunks, const std::string& id, std::size_t recordSize) {
  const auto body = find(chunks, id);
  if (!body) return Problem{chunkMissingReason(id)};
  if (body->size() % recordSize != 0 || body->empty()) {
    return Problem{
        soundFontRecordsCutReason(id, static_cast<int64_t>(body->size()), static_cast<int64_t>(recordSize))};
  }
  return Table{id, *body, recordSize};
}

Problem indexProblem(const Table& table, std::size_t index, std::size_t count) {
  return Problem{soundFontIndexReason(table.id, static_cast<int64_t>(index), static_cast<int64_t>(count))};
}

// Checks that the first-entry indices a table's records hold (the 16-bit word at `offset` of each)
// never run backwards and stay within `count` entries of the table they index.
Result<void> checkRuns(const Table& table, std::size_t offset, std::size_t count) {
  std::size_t previous = 0;
  for (std::size_t i = 0; i < table.count(); ++i) {
    const std::size_t first = word(table.record(i) + offset);
    if (first < previous || first > count) return indexProblem(table, first, count);
    previous = first;
  }
  return {};
}

// The preset or instrument tables: headers, bags, modulators, generators.
struct ZoneTables {
  Table headers;
  Table bags;
  Table modulators;
  Table generators;
  std::size_t headerBagOffset = 0;
  std::size_t targetCount = 0;  // instruments for presets, samples for instruments
  Generator targetGenerator = kInstrument;
};

Result<void> checkZoneTables(const ZoneTables& tables) {
  if (auto bags = checkRuns(tables.headers, tables.headerBagOffset, tables.bags.count() - 1); !bags)
    return bags;
  if (auto gens = checkRuns(tables.bags, 0, tables.generators.count() - 1); !gens) return gens;
  return checkRuns(tables.bags, 2, tables.modulators.count() - 1);
}

// The generators of one zone, up to the one that names what it plays (those after it count for
// nothing), and its modulators.
Result<Zone> zoneAt(const ZoneTables& tables, std::size_t bag) {
  Zone zone;
  const std::size_t firstGenerator = word(tables.bags.record(bag));
  const std::size_t endGenerator = word(tables.bags.record(bag + 1));
  for (std::size_t g = firstGenerator; g < endGenerator && zone.target < 0; ++g) {
    const uint8_t* record = tables.generators.record(g);
    const uint16_t type = word(record);
    if (type >= kGeneratorCount) continue;
    const auto amount = static_cast<int16_t>(word(record + 2));
    if (type == kKeyRange) zone.keys = {record[2], record[3]};
    if (type == kVelocityRange) zone.velocities = {record[2], record[3]};
    if (type == tables.targetGenerator) {
      if (static_cast<uint16_t>(amount) >= tables.targetCount) {
        return indexProblem(tables.generators, static_cast<uint16_t>(amount), tables.targetCount);
      }
      zone.target = static_cast<uint16_t>(amount);
    }
    zone.amounts[type] = amount;
    zone.set.set(type);
  }
  const std::size_t endModulator = word(tables.bags.record(bag + 1) + 2);
  for (std::size_t m = word(tables.bags.record(bag) + 2); m < endModulator; ++m) {
    const uint8_t* record = tables.modulators.record(m);
    zone.modulators.push_back({word(record), word(record + 2), static_cast<int16_t>(word(record + 4)),
                               word(record + 6), word(record + 8)});
  }
  return zone;
}

// The zones of header `index`: a first zone that plays nothing is the global one; any other such
// zone is left out.
Result<void> readZones(const ZoneTables& tables, std::size_t index, ZoneList& list) {
  const std::size_t firstBag = word(tables.headers.record(index) + tables.headerBagOffset);
  const std::size_t endBag = word(tables.headers.record(index + 1) + tables.headerBagOffset);
  for (std::size_t bag = firstBag; bag < endBag; ++bag) {
    auto zone = zoneAt(tables, bag);
    if (!zone) return Problem{zone.problem()};
    if (zone->target >= 0) {
      list.zones.push_back(std::move(*zone));
    } else if (bag == firstBag) {
      list.global = std::move(*zone);
    }
  }
  return {};
}

Result<ZoneTables> zoneTables(const std::vector<Chunk>& chunks, const char* prefix, std::size_t headerSize,
                              std::size_t targetCount) {
  const std::string p(prefix);
  const bool presets = p == "p";
  auto headers = tableOf(chunks, presets ? "phdr" : "inst", headerSize);
  auto bags = headers ? tableOf(chunks, p + "bag", 4) : Result<Table>(headers.problem());
  auto modulators = bags ? tableOf(chunks, p + "mod", 10) : Result<Table>(bags.problem());
  auto generators = modulators ? tableOf(chunks, p + "gen", 4) : Result<Table>(modulators.problem());
  if (!generators) return Problem{generators.problem()};
  ZoneTables tables{*headers,
                    *bags,
                    *modulators,
                    *generators,
                    presets ? 24u : 20u,
                    targetCount,
                    presets ? kInstrument : kSampleId};
  if (auto checked = checkZoneTables(tables); !checked) return Problem{checked.problem()};
  return tables;
}

Result<std::vector<SampleHeader>> readSampleHeaders(const Table& table, std::size_t points) {
  std::vector<SampleHeader> samples;
  for (std::size_t i = 0; i + 1 < table.count(); ++i) {
    const uint8_t* record = table.record(i);
    SampleHeader sample{fixedName(record, 20),
                        doubleWord(record + 20),
                        doubleWord(record + 24),
                        doubleWord(record + 28),
                        doubleWord(record + 32),
                        doubleWord(record + 36),
                        record[40],
                        static_cast<int8_t>(record[41]),
                        word(record + 44)};
    const bool inData = sample.start <= sample.end && sample.end <= points;
    if ((!inData || sample.sampleRate == 0) && !(sample.type & kRomSample)) {
      return Problem{soundFontSampleReason(sample.name)};
    }
    samples.push_back(std::move(sample));
  }
  return samples;
}

// The 16-bit points, and the low bytes of 24-bit ones where the file has a matching sm24 chunk (one
// of another size is passed over, as the format asks).
void readPoints(const std::vector<Chunk>& sampleData, SoundFont& font) {
  const auto points = find(sampleData, "smpl");
  if (!points) return;
  font.points.resize(points->size() / 2);
  for (std::size_t i = 0; i < font.points.size(); ++i) {
    font.points[i] = static_cast<int16_t>(word(points->data() + 2 * i));
  }
  const auto lowBytes = find(sampleData, "sm24");
  const std::size_t expected = font.points.size() + (font.points.size() & 1);
  if (lowBytes && lowBytes->size() == expected) {
    font.lowBytes.assign(lowBytes->begin(),
                         lowBytes->begin() + static_cast<std::ptrdiff_t>(font.points.size()));
  }
}

Result<void> readPresetData(const std::vector<Chunk>& presetData, SoundFont& font) {
  auto sampleTable = tableOf(presetData, "shdr", 46);
  if (!sampleTable) return Problem{sampleTable.problem()};
  auto samples = readSampleHeaders(*sampleTable, font.points.size());
  if (!samples) return Problem{samples.problem()};
  font.samples = std::move(*samples);

  auto instruments = zoneTables(presetData, "i", 22, font.samples.size());
  if (!instruments) return Problem{instruments.problem()};
  for (std::size_t i = 0; i + 1 < instruments->headers.count(); ++i) {
    Instrument instrument;
    instrument.name = fixedName(instruments->headers.record(i), 20);
    if (auto zones = readZones(*instruments, i, instrument); !zones) return zones;
    font.instruments.push_back(std::move(instrument));
  }

  auto presets = zoneTables(presetData, "p", 38, font.instruments.size());
  if (!presets) return Problem{presets.problem()};
  for (std::size_t i = 0; i + 1 < presets->headers.count(); ++i) {
    const uint8_t* record = presets->headers.record(i);
    Preset preset;
    preset.name = fixedName(record, 20);
    preset.program = word(record + 20);
    preset.bank = word(record + 22);
    if (auto zones = readZones(*presets, i, preset); !zones) return zones;
    font.presets.push_back(std::move(preset));
  }
  return {};
}

Result<SoundFont> readBody(std::span<const uint8_t> bytes) {
  if (bytes.size() < 12 || fourCc(bytes.data()) != "RIFF" || fourCc(bytes.data() + 8) != "sfbk") {
    return Problem{notSoundFontReason()};
  }
  const uint32_t declared = doubleWord(bytes.data() + 4);
  if (declared < 4 || declared > bytes.size() - 8) {
    return Problem{chunkPastEndReason("RIFF", declared, static_cast<int64_t>(bytes.size() - 8))};
  }
  auto top = chunksIn(bytes.subspan(12, declared - 4));
  if (!top) return Problem{top.problem()};
  auto sampleData = listOf(*top, "sdta");
  if (!sampleData) return Problem{sampleData.problem()};
  auto presetData = listOf(*top, "pdta");
  if (!presetData) return Problem{presetData.problem()};
  SoundFont font;
  readPoints(*sampleData, font);
  if (auto read = readPresetData(*presetData, font); !read) return Problem{read.problem()};
  return font;
}

}  // namespace

Result<SoundFont> readSoundFont(std::span<const uint8_t> bytes, const std::string& path) {
  auto font = readBody(bytes);
  if (!font) return Problem{soundFontNotReadMessage(path, font.problem().message)};
  return font;
}

Result<SoundFont> loadSoundFont(const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openFile(path, "rb"), &std::fclose);
  if (!file) return Problem{soundFontNotReadMessage(path, fileSystemReason(errno))};
  std::vector<uint8_t> bytes;
  uint8_t block[65536];
  std::size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file.get())) > 0)
    bytes.insert(bytes.end(), block, block + got);
  if (std::ferror(file.get())) return Problem{soundFontNotReadMessage(path, fileSystemReason(EIO))};
  return readSoundFont(bytes, path);
}

}  // namespace rendlow::audio::soundfont
