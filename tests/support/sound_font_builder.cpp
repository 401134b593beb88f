#include "support/sound_font_builder.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace rendlow::test {

namespace {

constexpr uint32_t kGapPoints = 46;

// `value` little-endian in `size` bytes.
void put(std::vector<uint8_t>& out, uint32_t value, int size = 2) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> 8 * i));
}

void putName(std::vector<uint8_t>& out, const std::string& name) {
  for (std::size_t i = 0; i < 20; ++i) out.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
}

std::vector<uint8_t> chunk(const std::string& id, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out(id.begin(), id.end());
  put(out, static_cast<uint32_t>(body.size()), 4);
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() & 1) out.push_back(0);
  return out;
}

std::vector<uint8_t> list(const std::string& form, const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> body(form.begin(), form.end());
  for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return chunk("LIST", body);
}

// The header, bag, modulator and generator chunks of presets or instruments.
struct ZoneChunks {
  std::vector<uint8_t> headers, bags, modulators, generators;
};

ZoneChunks zoneChunks(const std::vector<FontHeader>& headers, bool presets) {
  ZoneChunks out;
  uint16_t bag = 0, generator = 0, modulator = 0;
  auto putHeader = [&](const FontHeader& header) {
    putName(out.headers, header.name);
    if (presets) put(out.headers, header.program | header.bank << 16, 4);
    put(out.headers, bag);
    if (presets) out.headers.insert(out.headers.end(), 12, 0);  // library, genre, morphology
  };
  for (const FontHeader& header : headers) {
    putHeader(header);
    for (const FontZone& zone : header.zones) {
      put(out.bags, generator | modulator << 16, 4);  // the zone's first generator and modulator
      for (const FontGenerator& g : zone.generators)
        put(out.generators, g.type | uint32_t{g.amount} << 16, 4);
      for (const FontModulator& m : zone.modulators) {
        for (uint16_t field :
             {m.source, m.destination, static_cast<uint16_t>(m.amount), m.amountSource, m.transform}) {
          put(out.modulators, field);
        }
      }
      generator = static_cast<uint16_t>(generator + zone.generators.size());
      modulator = static_cast<uint16_t>(modulator + zone.modulators.size());
      ++bag;
    }
  }
  putHeader(FontHeader{presets ? "EOP" : "EOI", 0, 0, {}});
  put(out.bags, generator | modulator << 16, 4);
  out.modulators.insert(out.modulators.end(), 10, 0);
  out.generators.insert(out.generators.end(), 4, 0);
  return out;
}

}  // namespace

FontGenerator rangeGenerator(uint16_t type, uint8_t low, uint8_t high) {
  return {type, static_cast<uint16_t>(low | high << 8)};
}

std::vector<uint8_t> SoundFontBuilder::bytes() const {
  std::vector<uint8_t> points, headers;
  uint32_t at = 0;
  for (const FontSample& sample : samples) {
    for (int16_t point : sample.points) put(points, static_cast<uint16_t>(point));
    points.insert(points.end(), 2 * kGapPoints, 0);
    const auto size = static_cast<uint32_t>(sample.points.size());
    putName(headers, sample.name);
    for (uint32_t value : {at, at + size, at + sample.loopStart, at + sample.loopEnd, sample.sampleRate}) {
      put(headers, value, 4);
    }
    headers.push_back(sample.originalKey);
    headers.push_back(static_cast<uint8_t>(sample.pitchCorrection));
    put(headers, 1 << 16, 4);  // no linked sample, a mono one
    at += size + kGapPoints;
  }
  putName(headers, "EOS");
  headers.insert(headers.end(), 26, 0);

  std::vector<std::vector<uint8_t>> sampleChunks{chunk("smpl", points)};
  if (!lowBytes.empty()) sampleChunks.push_back(chunk("sm24", lowBytes));
  const ZoneChunks p = zoneChunks(presets, true);
  const ZoneChunks i = zoneChunks(instruments, false);
  std::vector<uint8_t> body{'s', 'f', 'b', 'k'};
  for (const auto& part :
       {list("INFO", {chunk("ifil", {2, 0, 1, 0}), chunk("INAM", {'t', 'e', 's', 't', 0, 0})}),
        list("sdta", sampleChunks),
        list("pdta", {chunk("phdr", p.headers), chunk("pbag", p.bags), chunk("pmod", p.modulators),
                      chunk("pgen", p.generators), chunk("inst", i.headers), chunk("ibag", i.bags),
                      chunk("imod", i.modulators), chunk("igen", i.generators), chunk("shdr", headers)})}) {
    body.insert(body.end(), part.begin(), part.end());
  }
  return chunk("RIFF", body);
}

std::size_t SoundFontBuilder::chunkAt(const std::vector<uint8_t>& bytes, const std::string& id) {
  for (std::size_t at = 0; at + 4 <= bytes.size(); ++at) {
    if (std::equal(id.begin(), id.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at))) return at;
  }
  throw std::logic_error("no chunk " + id);
}

std::vector<int16_t> sinePoints(int period, int cycles, double level) {
  std::vector<int16_t> points;
  for (int i = 0; i < period * cycles; ++i) {
    points.push_back(
        static_cast<int16_t>(std::lround(32767 * level * std::sin(2 * std::numbers::pi * i / period))));
  }
  return points;
}

}  // namespace rendlow::test
