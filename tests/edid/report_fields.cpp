// Reads the fields back from the program's EDID report.

#include <regex>
#include <sstream>

#include "tests/support/corpus_fields.h"

namespace {

std::string TrimLeft(const std::string& line) {
  const std::size_t start = line.find_first_not_of(' ');
  return start == std::string::npos ? "" : line.substr(start);
}

std::string LastWord(const std::string& text) { return text.substr(text.rfind(' ') + 1); }

// "0x04d2 (1234)" gives 1234.
std::string LastInParentheses(const std::string& text) {
  const std::size_t open = text.rfind('(');
  return text.substr(open + 1, text.size() - open - 2);
}

// The text of a name, serial or string descriptor line after its heading.
std::string DescriptorText(const std::string& rest) {
  std::string text = rest;
  const std::string unpadded = " [not padded correctly]";
  if (text.size() >= unpadded.size() &&
      text.compare(text.size() - unpadded.size(), unpadded.size(), unpadded) == 0) {
    text.erase(text.size() - unpadded.size());
  }
  return text.substr(1, text.size() - 2);  // the apostrophes
}

class ReportParser {
 public:
  DecodedBaseBlock Parse(const std::string& report) {
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) Line(TrimLeft(line));
    return fields_;
  }

 private:
  void Line(const std::string& line) {
    std::smatch m;
    static const std::regex kHeading(R"(^\[0x([0-9a-f]{2})(?:-0x([0-9a-f]{2}))?\]\s+(.*)$)");
    if (std::regex_match(line, m, kHeading)) {
      Heading(std::stoul(m[1], nullptr, 16), m[3]);
      return;
    }
    if (section_ == Section::VideoInput) {
      fields_.digital = StartsWith(line, "Digital input");
      section_ = Section::None;
    } else if (section_ == Section::Established) {
      Established(line);
    } else if (section_ == Section::Block) {
      BlockLine(line);
    }
  }

  void Heading(std::size_t offset, const std::string& rest) {
    std::smatch m;
    section_ = Section::None;
    switch (offset) {
      case 0x08:
        fields_.manufacturer = rest.substr(rest.find_last_of(' ') + 1);
        return;
      case 0x0A:
        fields_.productCode = Number(LastInParentheses(rest));
        return;
      case 0x0C:
        fields_.serialNumber = static_cast<std::uint32_t>(std::stoul(LastInParentheses(rest)));
        return;
      case 0x10:
        fields_.week = Number(LastWord(rest));
        return;
      case 0x11:
        fields_.year = Number(LastWord(rest));
        return;
      case 0x12: {
        const std::string version = LastWord(rest);
        fields_.version = Number(version.substr(0, version.find('.')));
        fields_.revision = Number(version.substr(version.find('.') + 1));
        return;
      }
      case 0x14:
        section_ = Section::VideoInput;
        return;
      case 0x15:
      case 0x16:
        if (std::regex_search(rest, m, Pattern(R"((\d+) cm$)"))) {
          (offset == 0x15 ? fields_.hSizeCm : fields_.vSizeCm) = Number(m[1]);
        }
        return;
      case 0x17:
        fields_.gamma = LastWord(rest);
        return;
      case 0x23:
        section_ = Section::Established;
        return;
      default:
        break;
    }
    if (StartsWith(rest, "Standard timing: ")) {
      StandardTiming(offset, rest);
    } else if (StartsWith(rest, "Detailed timing")) {
      section_ = Section::Block;
      block_ = offset;
      timing_ = nullptr;
      if (rest == "Detailed timing:") {
        fields_.detailedTimings.emplace_back();
        fields_.detailedTimings.back().offset = offset;
        timing_ = &fields_.detailedTimings.back();
      }
    }
  }

  void Established(const std::string& line) {
    static const std::regex kEntry(R"(^\s*(\d+)x(\d+)\s+@ (\d+)(i?) Hz$)");
    std::istringstream entries(line);
    std::string entry;
    while (std::getline(entries, entry, '\t')) {
      std::smatch m;
      if (entry == "Vendor proprietary") {
        ++fields_.manufacturerTimings;
      } else if (std::regex_match(entry, m, kEntry)) {
        fields_.established.push_back(
            {Number(m[1]), Number(m[2]), static_cast<double>(Number(m[3])), m[4] == "i", 0});
      }
    }
  }

  void StandardTiming(std::size_t offset, const std::string& rest) {
    static const std::regex kTiming(R"(^Standard timing: +(\d+)x *(\d+) @ +(\d+) Hz, .*$)");
    std::smatch m;
    if (!std::regex_match(rest, m, kTiming)) return;  // not used
    const DecodedTiming timing{Number(m[1]), Number(m[2]), static_cast<double>(Number(m[3])), false,
                               offset};
    (offset < 0x36 ? fields_.standard : fields_.additionalStandard).push_back(timing);
  }

  void BlockLine(const std::string& line) {
    std::smatch m;
    if (timing_ != nullptr) {
      TimingLine(line);
    } else if (StartsWith(line, "Monitor name: ")) {
      fields_.names.push_back({block_, DescriptorText(line.substr(14))});
    } else if (StartsWith(line, "Monitor serial number: ")) {
      fields_.serials.push_back({block_, DescriptorText(line.substr(23))});
    } else if (StartsWith(line, "ASCII string: ")) {
      fields_.strings.push_back({block_, DescriptorText(line.substr(14))});
    } else if (line == "Monitor range limits:") {
      fields_.rangeLimits.emplace_back();
      fields_.rangeLimits.back().offset = block_;
    } else if (!fields_.rangeLimits.empty() && fields_.rangeLimits.back().offset == block_) {
      RangeLine(line, fields_.rangeLimits.back());
    }
  }

  void TimingLine(const std::string& line) {
    DecodedDetailedTiming& t = *timing_;
    std::smatch m;
    static const std::regex kPair(R"(^(.*): +(\d+)    (.*): +(\d+)$)");
    if (std::regex_match(line, m, Pattern(R"(^Pixel clock:  ([0-9.]+) MHz$)"))) {
      t.pixelClock = std::stod(m[1]);
    } else if (std::regex_match(line, m, kPair)) {
      const unsigned first = Number(m[2]);
      const unsigned second = Number(m[4]);
      const std::string label = m[1];
      const struct {
        const char* label;
        unsigned* first;
        unsigned* second;
      } kPairs[] = {
          {"H active", &t.hActive, &t.hBlank},
          {"V active", &t.vActive, &t.vBlank},
          {"Hsync offset", &t.hSyncOffset, &t.hSyncWidth},
          {"Vsync offset", &t.vSyncOffset, &t.vSyncWidth},
          {"H size (mm)", &t.hSize, &t.hBorder},
          {"V size (mm)", &t.vSize, &t.vBorder},
      };
      for (const auto& pair : kPairs) {
        if (label == pair.label) {
          *pair.first = first;
          *pair.second = second;
        }
      }
    } else if (line == "Interlaced") {
      t.interlaced = true;
    }
  }

  static void RangeLine(const std::string& line, DecodedRangeLimits& r) {
    std::smatch m;
    static const std::regex kValue(R"(^(.*?): +(\d+)(?: k?Hz| MHz)?$)");
    if (line == "Remaining bytes used for GTF support and specify a secondary GTF curve:") {
      r.secondaryCurve = true;
    }
    if (!std::regex_match(line, m, kValue)) return;
    const std::string label = m[1];
    const unsigned value = Number(m[2]);
    if (label == "Minimum vertical rate") r.minVertical = value;
    if (label == "Maximum vertical rate") r.maxVertical = value;
    if (label == "Minimum horizontal rate") r.minHorizontal = value;
    if (label == "Maximum horizontal rate") r.maxHorizontal = value;
    if (label == "Maximum pixel clock") r.maxPixelClock = value;
    // The curve as edid-decode shows it: the start frequency in kHz, C and
    // J in percent, from the doubled bytes.
    if (label == "Start frequency (hfrequency/2)") r.startFrequency = 2.0 * value;
    if (label == "C*2") r.c = value / 2.0;
    if (label == "M (LSB)") r.m = value;
    if (label == "K") r.k = value;
    if (label == "J*2") r.j = value / 2.0;
  }

  enum class Section { None, VideoInput, Established, Block };
  Section section_ = Section::None;
  std::size_t block_ = 0;
  DecodedDetailedTiming* timing_ = nullptr;
  DecodedBaseBlock fields_;
};

}  // namespace

DecodedBaseBlock ParseEdidReport(const std::string& report) { return ReportParser().Parse(report); }
