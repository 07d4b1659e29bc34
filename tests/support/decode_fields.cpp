// Runs edid-decode (with -s, the decode without its hex dump) and reads the
// fields of the base block back from its text.

#include <cstdio>
#include <regex>
#include <sstream>

#include "tests/support/corpus_fields.h"

namespace {

// 'text' between the first and the last apostrophe.
std::string Quoted(const std::string& line) {
  const std::size_t first = line.find('\'');
  return line.substr(first + 1, line.rfind('\'') - first - 1);
}

class EdidDecodeParser {
 public:
  DecodedBaseBlock Parse(const std::string& output) {
    std::istringstream lines(output);
    std::string line;
    bool inBaseBlock = false;
    while (std::getline(lines, line)) {
      if (StartsWith(line, "Block 0, Base EDID:")) {
        inBaseBlock = fields_.found = true;
      } else if (inBaseBlock && (StartsWith(line, "Checksum:") || StartsWith(line, "Block "))) {
        break;
      } else if (inBaseBlock) {
        const std::size_t indent = line.find_first_not_of(' ');
        if (indent != std::string::npos) Line(indent, line.substr(indent));
      }
    }
    return fields_;
  }

 private:
  void Line(std::size_t indent, const std::string& text) {
    std::smatch m;
    if (indent == 2) {
      section_ = text;
      if (std::regex_match(text, m,
                           Pattern(R"(EDID Structure Version & Revision: (\d+)\.(\d+))"))) {
        fields_.version = Number(m[1]);
        fields_.revision = Number(m[2]);
      }
    } else if (StartsWith(section_, "Vendor & Product Identification")) {
      Vendor(text);
    } else if (StartsWith(section_, "Basic Display Parameters")) {
      Basic(text);
    } else if (StartsWith(section_, "Established Timings I & II")) {
      AddTiming(text, fields_.established);
    } else if (StartsWith(section_, "Standard Timings")) {
      AddTiming(text, fields_.standard);
    } else if (StartsWith(section_, "Detailed Timing Descriptors")) {
      if (indent == 4) {
        Descriptor(text);
      } else {
        DescriptorDetail(text);
      }
    }
  }

  void Vendor(const std::string& text) {
    std::smatch m;
    if (StartsWith(text, "Manufacturer: ")) fields_.manufacturer = text.substr(14);
    if (StartsWith(text, "Model: ")) fields_.productCode = Number(text.substr(7));
    if (StartsWith(text, "Serial Number: ")) {
      fields_.serialNumber = static_cast<std::uint32_t>(std::stoul(text.substr(15)));
    }
    // The week is left out when it is 0, and 255 marks a model year.
    if (std::regex_match(text, m, Pattern(R"(Made in: week (\d+) of (\d+))"))) {
      fields_.week = Number(m[1]);
      fields_.year = Number(m[2]);
    } else if (std::regex_match(text, m, Pattern(R"(Made in: (\d+))"))) {
      fields_.week = 0;
      fields_.year = Number(m[1]);
    } else if (std::regex_match(text, m, Pattern(R"(Model year: (\d+))"))) {
      fields_.week = 255;
      fields_.year = Number(m[1]);
    }
  }

  void Basic(const std::string& text) {
    std::smatch m;
    if (text == "Digital display") fields_.digital = true;
    if (std::regex_match(text, m, Pattern(R"(Maximum image size: (\d+) cm x (\d+) cm)"))) {
      fields_.hSizeCm = Number(m[1]);
      fields_.vSizeCm = Number(m[2]);
    }
    if (StartsWith(text, "Gamma: ")) fields_.gamma = text.substr(7);
    if (text == "First detailed timing is the preferred timing") {
      fields_.firstTimingPreferred = true;
    }
  }

  void AddTiming(const std::string& text, std::vector<DecodedTiming>& timings) {
    static const std::regex kTiming(
        R"(^([^:]*[^: ]) *:\s+(\d+)x(\d+)(i?)\s+([0-9.]+) Hz(?:\s+(\d+):(\d+))?.*$)");
    std::smatch m;
    if (!std::regex_match(text, m, kTiming)) return;
    // A standard timing of an EDID 1.4 block may be shown twice: by the
    // CVT formula ("EDID 1.4 source") and then by GTF ("EDID 1.3 source").
    if (text.find("(EDID 1.3 source)") != std::string::npos) {
      ++fields_.secondFormulaTimings;
      return;
    }
    DecodedTiming timing{Number(m[2]), Number(m[3]), std::stod(m[5]), m[4] == "i", 0, m[1]};
    if (m[6].matched) {
      timing.aspectWidth = Number(m[6]);
      timing.aspectHeight = Number(m[7]);
    }
    timings.push_back(timing);
  }

  void Descriptor(const std::string& text) {
    std::smatch m;
    static const std::regex kDetailedTiming(
        R"(^DTD +\d+:\s+(\d+)x(\d+)(i?)\s+([0-9.]+) Hz.*?([0-9.]+) MHz(.*)$)");
    item_ = Item::Other;
    // Each item is one of the four blocks, in order; the revision of a
    // laptop panel's data comes as an item of its own before them.
    if (StartsWith(text, "SPWG Module Revision: ")) return;
    const std::size_t offset = 0x36 + 18 * block_++;
    if (std::regex_match(text, m, kDetailedTiming)) {
      DecodedDetailedTiming t;
      t.offset = offset;
      t.hActive = Number(m[1]);
      t.vActive = Number(m[2]);
      t.interlaced = m[3] == "i";
      t.refresh = std::stod(m[4]);
      t.pixelClock = std::stod(m[5]);
      const std::string rest = m[6];
      if (std::regex_search(rest, m, Pattern(R"((\d+) mm x (\d+) mm)"))) {
        t.hSize = Number(m[1]);
        t.vSize = Number(m[2]);
      }
      fields_.detailedTimings.push_back(t);
      item_ = Item::DetailedTiming;
      verticalRead_ = false;
    } else if (StartsWith(text, "Detailed mode: ")) {
      DecodedDetailedTiming t;
      t.offset = offset;
      t.decoded = false;
      fields_.detailedTimings.push_back(t);
    } else if (StartsWith(text, "Display Product Name: ")) {
      fields_.names.push_back({offset, Quoted(text)});
    } else if (StartsWith(text, "Display Product Serial Number: ")) {
      fields_.serials.push_back({offset, Quoted(text)});
    } else if (StartsWith(text, "Alphanumeric Data String: ")) {
      fields_.strings.push_back({offset, Quoted(text)});
    } else if (text == "Display Range Limits:") {
      fields_.rangeLimits.emplace_back();
      fields_.rangeLimits.back().offset = offset;
      item_ = Item::RangeLimits;
    } else if (text == "Standard Timing Identifications:") {
      item_ = Item::StandardTimings;
    } else if (StartsWith(text, "SPWG Descriptor #")) {
      fields_.spwgBlocks.push_back(offset);
    }
  }

  void DescriptorDetail(const std::string& text) {
    switch (item_) {
      case Item::DetailedTiming:
        TimingDetail(text, fields_.detailedTimings.back());
        break;
      case Item::RangeLimits:
        RangeDetail(text, fields_.rangeLimits.back());
        break;
      case Item::StandardTimings:
        AddTiming(text, fields_.additionalStandard);
        break;
      case Item::Other:
        break;
    }
  }

  // Front porch, sync and back porch; the blanking is their sum and both
  // borders. An interlaced timing has a second vertical line for the other
  // field, which is passed over.
  void TimingDetail(const std::string& text, DecodedDetailedTiming& t) {
    static const std::regex kPorches(
        R"(^([HV])front\s+(-?\d+) [HV]sync\s+(-?\d+) [HV]back\s+(-?\d+))"
        R"((?: [HV]pol [PN])?(?: [HV]border (\d+))?.*$)");
    std::smatch m;
    if (!std::regex_match(text, m, kPorches)) return;
    const int front = std::stoi(m[2]);
    const int sync = std::stoi(m[3]);
    const int back = std::stoi(m[4]);
    const unsigned border = m[5].matched ? Number(m[5]) : 0;
    const auto blank = static_cast<unsigned>(front + sync + back + 2 * static_cast<int>(border));
    if (m[1] == "H") {
      t.hSyncOffset = static_cast<unsigned>(front);
      t.hSyncWidth = static_cast<unsigned>(sync);
      t.hBlank = blank;
      t.hBorder = border;
    } else if (!verticalRead_) {
      t.vSyncOffset = static_cast<unsigned>(front);
      t.vSyncWidth = static_cast<unsigned>(sync);
      t.vBlank = blank;
      t.vBorder = border;
      verticalRead_ = true;
    }
  }

  static void RangeDetail(const std::string& text, DecodedRangeLimits& r) {
    static const std::regex kRanges(
        R"(^Monitor ranges \((.*)\): (\d+)-(\d+) Hz V, (\d+)-(\d+) kHz H, )"
        R"(max dotclock (\d+) MHz$)");
    std::smatch m;
    if (std::regex_match(text, m, kRanges)) {
      r.minVertical = Number(m[2]);
      r.maxVertical = Number(m[3]);
      r.minHorizontal = Number(m[4]);
      r.maxHorizontal = Number(m[5]);
      r.maxPixelClock = Number(m[6]);
    } else if (text == "GTF Secondary Curve Block:") {
      r.secondaryCurve = true;
    } else if (std::regex_match(text, m, Pattern(R"(^(Start frequency|C|M|K|J): ([0-9.]+).*$)"))) {
      const double value = std::stod(m[2]);
      const std::string label = m[1];
      (label == "Start frequency" ? r.startFrequency
       : label == "C"             ? r.c
       : label == "M"             ? r.m
       : label == "K"             ? r.k
                                  : r.j) = value;
    }
  }

  enum class Item { Other, DetailedTiming, RangeLimits, StandardTimings };
  std::string section_;
  Item item_ = Item::Other;
  std::size_t block_ = 0;
  bool verticalRead_ = false;
  DecodedBaseBlock fields_;
};

}  // namespace

DecodedBaseBlock EdidDecode(const std::filesystem::path& file) {
  const std::string command = "edid-decode -s '" + file.string() + "' 2>/dev/null";
  std::string output;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      output.append(buffer, count);
    pclose(pipe);
  }
  return EdidDecodeParser().Parse(output);
}
