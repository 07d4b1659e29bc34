// Every real monitor of the corpus whose EDID names a usable, progressive
// preferred timing gets its native resolution from one default run, on an
// adapter that lists what a driver of today lists for it, starting from
// 1024x768 as after imaging. Where a DisplayID extension names a larger
// preferred timing, that is the native one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "display/displayid_timings.h"
#include "display/edid_modes.h"
#include "tests/support/corpus_files.h"
#include "tests/support/display_machine.h"
#include "tests/support/program_run.h"

namespace {

struct Timing {
  DWORD width;
  DWORD height;
  DWORD rate;
};

// Read here from the bytes, apart from the program's own reading: a block
// counts when its first detailed timing is a preferred, progressive timing
// with sizes and totals above 0.
std::optional<Timing> BaseBlockTiming(const std::vector<unsigned char>& edid) {
  if (edid.size() < 128 || edid[0x12] != 1 || edid[0x13] > 4) return std::nullopt;
  if ((edid[0x18] & 0x02) == 0 && edid[0x13] != 4) return std::nullopt;
  const unsigned char* t = edid.data() + 0x36;
  const DWORD clock = t[0] | t[1] << 8;
  const DWORD width = t[2] | (t[4] & 0xF0) << 4;
  const DWORD height = t[5] | (t[7] & 0xF0) << 4;
  const DWORD horizontalTotal = width + (t[3] | (t[4] & 0x0F) << 8);
  const DWORD verticalTotal = height + (t[6] | (t[7] & 0x0F) << 8);
  if (clock == 0 || (t[17] & 0x80) != 0 || width == 0 || height == 0) return std::nullopt;
  const double rate = clock * 10000.0 / horizontalTotal / verticalTotal;
  return Timing{width, height, static_cast<DWORD>(std::lround(rate))};
}

// The largest DisplayID preferred timing (of equal size the fastest) that
// is larger than the base block's, as the program reads them; otherwise
// the base block's.
std::optional<Timing> NativeTiming(const std::vector<unsigned char>& edid) {
  const std::optional<Timing> base = BaseBlockTiming(edid);
  const auto area = [](const Timing& t) { return std::uint64_t{t.width} * t.height; };
  std::optional<Timing> larger;
  TObjectList timings;
  ReadDisplayIdPreferredTimings(edid, timings);
  for (int i = 0; i < timings.Count(); ++i) {
    const auto& mode = static_cast<const TMode&>(*timings.Items(i));
    const Timing timing{mode.Width, mode.Height, mode.Frequency};
    if (base && area(timing) <= area(*base)) continue;
    if (!larger || area(timing) > area(*larger) ||
        (area(timing) == area(*larger) && timing.rate > larger->rate)) {
      larger = timing;
    }
  }
  return larger ? larger : base;
}

// The preferred timing, the EDID's established and standard timings at
// their rates, and the common resolutions at 60 Hz, all at 32 bits.
Json DriverModes(const std::vector<unsigned char>& edid, const Timing& native) {
  std::vector<Timing> timings = {native};
  TObjectList presets;
  BuildPresets(edid, presets);
  for (int i = 0; i < presets.Count(); ++i) {
    const auto& preset = static_cast<const TMode&>(*presets.Items(i));
    timings.push_back({preset.Width, preset.Height, preset.Frequency});
  }
  const Timing common[] = {{640, 480, 60},   {800, 600, 60},   {1024, 768, 60},
                           {1280, 720, 60},  {1280, 800, 60},  {1280, 1024, 60},
                           {1366, 768, 60},  {1440, 900, 60},  {1600, 900, 60},
                           {1680, 1050, 60}, {1920, 1080, 60}, {1920, 1200, 60},
                           {2560, 1440, 60}, {3840, 2160, 60}};
  timings.insert(timings.end(), std::begin(common), std::end(common));

  Json modes = Json::array();
  std::set<std::tuple<DWORD, DWORD, DWORD>> listed;
  for (const Timing& timing : timings) {
    if (!listed.insert({timing.width, timing.height, timing.rate}).second) continue;
    modes.push_back(std::to_string(timing.width) + "x" + std::to_string(timing.height) + "x32@" +
                    std::to_string(timing.rate));
  }
  return modes;
}

// One default -d run of the monitor on an adapter that lists what a driver
// lists for it.
ProgramRun RunOnItsDriver(const std::vector<unsigned char>& edid, const Timing& native) {
  Json machine = TestDisplayMachine();
  machine["registry"][std::string(kTestModelKey) + "\\5&1\\Device Parameters"]["EDID"] =
      HexData(edid);
  machine["adapters"][0]["modes"] = DriverModes(edid, native);
  return RunProgram(machine, "-d", false);
}

TEST(NativeModeCorpus, EveryMonitorWithAPreferredTimingGetsItsNativeResolution) {
  int counted = 0;
  int set = 0;
  for (const std::filesystem::path& file : CorpusFiles()) {
    const std::vector<unsigned char> edid = CorpusValue(file);
    const std::optional<Timing> native = NativeTiming(edid);
    if (!native) continue;
    ++counted;
    const ProgramRun run = RunOnItsDriver(edid, *native);
    const std::string current = run.machine["adapters"][0]["current"];
    const std::string nativeResolution =
        std::to_string(native->width) + "x" + std::to_string(native->height) + "x32@";
    if (current.compare(0, nativeResolution.size(), nativeResolution) == 0) {
      ++set;
    } else {
      ADD_FAILURE() << file.filename().string() << ": " << current << ", not "
                    << nativeResolution << native->rate;
    }
  }
  std::cout << "native resolution set on " << set << " of " << counted << " corpus monitors\n";
  EXPECT_GT(counted, 0);
}

// The 8K, 6K and 5K monitors, whose base blocks name 3840x2160: their
// DisplayID lines follow the preferred timing's, and the choice aims at the
// largest.
TEST(NativeModeCorpus, DisplayIdMonitorsShowTheirTimingsAndGetTheLargest) {
  const struct {
    const char* file;
    const char* displayIdLines;
    const char* optimal;
  } cases[] = {
      {"edid-0080.bin",
       "      DisplayID preferred timing: 7680x4320, 0 bpp @ 30 Hz\r\n"
       "      DisplayID preferred timing: 7680x4320, 0 bpp @ 24 Hz\r\n",
       "  Optimal: [preferred mode: 7680x4320,32 bpp @ 30 Hz] 7680x4320,32 bpp @ 30 Hz\r\n"},
      {"edid-0195.bin",
       "      DisplayID preferred timing: 6016x3384, 0 bpp @ 60 Hz\r\n"
       "      DisplayID preferred timing: 6016x3384, 0 bpp @ 60 Hz\r\n",
       "  Optimal: [preferred mode: 6016x3384,32 bpp @ 60 Hz] 6016x3384,32 bpp @ 60 Hz\r\n"},
      {"edid-0015.bin", "      DisplayID preferred timing: 5120x2880, 0 bpp @ 60 Hz\r\n",
       "  Optimal: [preferred mode: 5120x2880,32 bpp @ 60 Hz] 5120x2880,32 bpp @ 60 Hz\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<unsigned char> edid =
        CorpusValue(std::string(KESTRAVE_CORPUS_DIR) + "/" + c.file);
    const ProgramRun run = RunOnItsDriver(edid, *NativeTiming(edid));
    EXPECT_NE(run.log.find(std::string("      Preferred timing: 3840x2160, 0 bpp @ 60 Hz\r\n") +
                           c.displayIdLines + "\r\n"),
              std::string::npos);
    EXPECT_NE(run.PassLog().find(c.optimal), std::string::npos) << run.PassLog();
  }
}

}  // namespace
