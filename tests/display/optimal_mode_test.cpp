#include "display/optimal_mode.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "process/process_state.h"
#include "tests/support/log_capture.h"
#include "tests/support/mode_values.h"

namespace {

// Sets the process-wide -p state for one test and puts it back afterwards.
class PresetsOnlyScope {
 public:
  explicit PresetsOnlyScope(bool value) : saved_(PresetsOnly) { PresetsOnly = value; }
  ~PresetsOnlyScope() { PresetsOnly = saved_; }
  PresetsOnlyScope(const PresetsOnlyScope&) = delete;
  PresetsOnlyScope& operator=(const PresetsOnlyScope&) = delete;

 private:
  bool saved_;
};

constexpr bool kPresets = true;     // without -p
constexpr bool kAdapter = false;    // with -p
constexpr ModeValues kCurrent{1024, 768, 32, 75};
// A 2560x1440 panel that prefers 60 Hz, with the rates its adapter lists.
const std::vector<ModeValues> k165HzPanelModes = {
    {2560, 1440, 32, 59}, {2560, 1440, 32, 60}, {2560, 1440, 32, 144}, {2560, 1440, 32, 165}};

struct ChoiceCase {
  const char* name;
  bool presetsOnly;
  ModeValues current;
  std::optional<ModeValues> preferred;
  std::vector<ModeValues> presets;
  std::vector<ModeValues> adapterModes;
  bool optimisedBefore;
  ModeValues chosen;
  const char* log;
};

const ChoiceCase kChoiceCases[] = {
    {"preferred resolution at the preset's frequency", kPresets, kCurrent,
     ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 60}},
     {{1280, 1024, 32, 60}, {1024, 768, 32, 75}}, false, {1280, 1024, 32, 60},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1280x1024,32 bpp @ 60 Hz\n"},
    {"fastest acceptable preset of the current resolution", kPresets, kCurrent, std::nullopt,
     {{1024, 768, 0, 70}, {1024, 768, 0, 85}, {1024, 768, 0, 85}},
     {{1024, 768, 32, 85}, {1024, 768, 32, 70}}, false, {1024, 768, 32, 85},
     "1024x 768,32 bpp @ 85 Hz\n"},
    {"no candidates keep the current mode", kPresets, kCurrent, std::nullopt, {},
     {{1024, 768, 32, 85}}, false, kCurrent, "1024x 768,32 bpp @ 75 Hz\n"},
    {"other resolutions are never better", kPresets, kCurrent, std::nullopt,
     {{1280, 1024, 0, 85}, {800, 600, 0, 100}}, {{1280, 1024, 32, 85}, {800, 600, 32, 100}},
     false, kCurrent, "1024x 768,32 bpp @ 75 Hz\n"},
    // Were either depth-0 mode taken, the 16-bit mode would follow it.
    {"-p: the current frequency and frequency 0 are not better", kAdapter, kCurrent,
     std::nullopt, {}, {{1024, 768, 0, 75}, {1024, 768, 0, 0}, {1024, 768, 16, 85}}, false,
     kCurrent, "1024x 768,32 bpp @ 75 Hz\n"},
    {"the preferred resolution wins over a faster mode seen before", kPresets, kCurrent,
     ModeValues{1280, 1024, 0, 60}, {{1024, 768, 0, 85}, {1280, 1024, 0, 60}},
     {{1024, 768, 32, 85}, {1280, 1024, 32, 60}}, false, {1280, 1024, 32, 60},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1280x1024,32 bpp @ 60 Hz\n"},
    {"the first entry within 1 Hz of the preferred timing, not the fastest", kPresets, kCurrent,
     ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 75}, {1280, 1024, 0, 61}, {1280, 1024, 0, 59}},
     {{1280, 1024, 32, 75}, {1280, 1024, 32, 61}, {1280, 1024, 32, 59}}, false,
     {1280, 1024, 32, 61},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1280x1024,32 bpp @ 61 Hz\n"},
    {"a preferred frequency of 0 takes the first entry of its resolution", kPresets, kCurrent,
     ModeValues{1280, 1024, 0, 0}, {{1024, 768, 0, 85}, {1280, 1024, 0, 75}, {1280, 1024, 0, 60}},
     {{1024, 768, 32, 85}, {1280, 1024, 32, 60}, {1280, 1024, 32, 75}}, false,
     {1280, 1024, 32, 75},
     "[preferred mode: 1280x1024,32 bpp @  0 Hz] 1280x1024,32 bpp @ 75 Hz\n"},
    {"a faster preset is taken at the adapter's entry of the current depth", kPresets,
     kCurrent, std::nullopt, {{1024, 768, 0, 100}, {1024, 768, 0, 85}},
     {{1024, 768, 16, 100}, {1024, 768, 32, 86}}, false, {1024, 768, 32, 86},
     "1024x 768,32 bpp @ 86 Hz\n"},
    {"a preset the adapter lists at the default rate 0 is never faster", kPresets, kCurrent,
     std::nullopt, {{1024, 768, 0, 85}}, {{1024, 768, 32, 0}}, false, kCurrent,
     "1024x 768,32 bpp @ 75 Hz\n"},
    {"the preferred timing at the first entry listed at the current depth within 1 Hz",
     kPresets, kCurrent, ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 60}},
     {{1280, 1024, 16, 60}, {1280, 1024, 32, 59}, {1280, 1024, 32, 60}}, false,
     {1280, 1024, 32, 59},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1280x1024,32 bpp @ 59 Hz\n"},
    {"the preferred timing listed only at another depth is passed over", kPresets, kCurrent,
     ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 60}, {1024, 768, 0, 85}},
     {{1280, 1024, 16, 60}, {1024, 768, 32, 85}}, false, {1024, 768, 32, 85},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1024x 768,32 bpp @ 85 Hz\n"},
    {"an entry at the default rate 1 stands for the preferred timing", kPresets, kCurrent,
     ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 60}}, {{1280, 1024, 32, 1}}, false,
     {1280, 1024, 32, 1},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1280x1024,32 bpp @  1 Hz\n"},
    {"a preferred mode the adapter does not list is passed over", kPresets, kCurrent,
     ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 60}, {1024, 768, 0, 85}},
     {{1024, 768, 32, 85}}, false, {1024, 768, 32, 85},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1024x 768,32 bpp @ 85 Hz\n"},
    // Was the current resolution: a preferred timing no preset names now
    // stands for itself.
    {"presets with the preferred resolution only at another frequency", kPresets, kCurrent,
     ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 75}, {1024, 768, 0, 85}},
     {{1024, 768, 32, 85}, {1280, 1024, 32, 75}, {1280, 1024, 32, 60}}, false,
     {1280, 1024, 32, 60},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1280x1024,32 bpp @ 60 Hz\n"},
    {"a preferred timing no preset names: the adapter's first entry at the current depth",
     kPresets, kCurrent, ModeValues{2560, 1440, 0, 60}, {{1024, 768, 0, 85}},
     {{1024, 768, 32, 85}, {2560, 1440, 16, 60}, {2560, 1440, 32, 75}, {2560, 1440, 32, 59},
      {2560, 1440, 32, 60}},
     false, {2560, 1440, 32, 59},
     "[preferred mode: 2560x1440,32 bpp @ 60 Hz] 2560x1440,32 bpp @ 59 Hz\n"},
    {"optimised before: the current resolution only", kPresets, kCurrent,
     ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 60}, {1024, 768, 0, 85}},
     {{1280, 1024, 32, 60}, {1024, 768, 32, 85}}, true, {1024, 768, 32, 85},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1024x 768,32 bpp @ 85 Hz\n"},
    // Was the first entry within 1 Hz of the preferred timing, 61 Hz.
    {"-p: the preferred resolution at the fastest rate the adapter lists at the current depth",
     kAdapter, kCurrent, ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 75}},
     {{1024, 768, 32, 85}, {1280, 1024, 32, 75}, {1280, 1024, 16, 60}, {1280, 1024, 32, 61},
      {1280, 1024, 32, 60}},
     false, {1280, 1024, 32, 75},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1280x1024,32 bpp @ 75 Hz\n"},
    {"-p: a 165 Hz panel that prefers 60 Hz gets 165 Hz", kAdapter, kCurrent,
     ModeValues{2560, 1440, 0, 60}, {},
     k165HzPanelModes,
     false, {2560, 1440, 32, 165},
     "[preferred mode: 2560x1440,32 bpp @ 60 Hz] 2560x1440,32 bpp @165 Hz\n"},
    {"without -p the same panel keeps its preferred timing", kPresets, kCurrent,
     ModeValues{2560, 1440, 0, 60}, {},
     k165HzPanelModes,
     false, {2560, 1440, 32, 59},
     "[preferred mode: 2560x1440,32 bpp @ 60 Hz] 2560x1440,32 bpp @ 59 Hz\n"},
    {"-p: faster entries of the native resolution at another depth are never taken", kAdapter,
     kCurrent, ModeValues{2560, 1440, 0, 60},
     {}, {{2560, 1440, 32, 60}, {2560, 1440, 16, 240}, {2560, 1440, 0, 200}}, false,
     {2560, 1440, 32, 60},
     "[preferred mode: 2560x1440,32 bpp @ 60 Hz] 2560x1440,32 bpp @ 60 Hz\n"},
    {"-p: a preferred rate of 0 gets the fastest rate of its resolution", kAdapter, kCurrent,
     ModeValues{2560, 1440, 0, 0}, {},
     {{1024, 768, 32, 85}, {2560, 1440, 32, 60}, {2560, 1440, 32, 144}, {2560, 1440, 32, 120}},
     false, {2560, 1440, 32, 144},
     "[preferred mode: 2560x1440,32 bpp @  0 Hz] 2560x1440,32 bpp @144 Hz\n"},
    {"-p: adapter modes need no preset, at the adapter's frequency", kAdapter, kCurrent,
     std::nullopt, {}, {{1024, 768, 32, 84}}, false, {1024, 768, 32, 84},
     "1024x 768,32 bpp @ 84 Hz\n"},
    {"-p: the preferred resolution at another depth is never matched", kAdapter, kCurrent,
     ModeValues{1280, 1024, 0, 60}, {{1280, 1024, 0, 60}},
     {{1280, 1024, 16, 60}, {1024, 768, 32, 85}}, false, {1024, 768, 32, 85},
     "[preferred mode: 1280x1024,32 bpp @ 60 Hz] 1024x 768,32 bpp @ 85 Hz\n"},
    {"-p: modes of another depth are never chosen", kAdapter, {1024, 768, 16, 60}, std::nullopt,
     {}, {{1024, 768, 32, 100}, {1024, 768, 16, 75}, {1024, 768, 32, 120}}, false,
     {1024, 768, 16, 75}, "1024x 768,16 bpp @ 75 Hz\n"},
    {"-p: once a depth-0 mode is best, any depth follows, and the result has the current depth",
     kAdapter, kCurrent, std::nullopt, {}, {{1024, 768, 0, 80}, {1024, 768, 16, 85}}, false,
     {1024, 768, 32, 85}, "1024x 768,32 bpp @ 85 Hz\n"},
};

TEST(OptimalModeTest, ChoosesAsTheRulesSay) {
  for (const ChoiceCase& c : kChoiceCases) {
    SCOPED_TRACE(c.name);
    PresetsOnlyScope presetsOnly(c.presetsOnly);
    const std::unique_ptr<TMode> current = NewMode(c.current);
    const std::unique_ptr<TMode> preferred = c.preferred ? NewMode(*c.preferred) : nullptr;
    TObjectList presets;
    AddModes(presets, c.presets);
    TObjectList adapterModes;
    AddModes(adapterModes, c.adapterModes);

    LogCapture log;
    const std::unique_ptr<TMode> chosen =
        ChooseOptimalMode(current.get(), &adapterModes, preferred.get(), &presets,
                          c.optimisedBefore);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(ValuesOf(*chosen), c.chosen);
    EXPECT_EQ(log.Text(), c.log);

    // The choice works on modes of its own.
    EXPECT_EQ(ValuesOf(*current), c.current);
    if (c.preferred) {
      EXPECT_EQ(ValuesOf(*preferred), *c.preferred);
    }
    EXPECT_EQ(ValuesOf(presets), c.presets);
    EXPECT_EQ(ValuesOf(adapterModes), c.adapterModes);
  }
}

TEST(OptimalModeTest, PassesOverCandidatesThatAreNotModes) {
  for (bool presetsOnlyValue : {true, false}) {
    PresetsOnlyScope presetsOnly(presetsOnlyValue);
    TObjectList presets;
    presets.Add(std::make_unique<TObject>());
    AddModes(presets, {{1024, 768, 0, 85}});
    TObjectList adapterModes;
    adapterModes.Add(std::make_unique<TObject>());
    AddModes(adapterModes, {{1024, 768, 32, 85}});
    LogCapture log;
    const std::unique_ptr<TMode> chosen =
        ChooseOptimalMode(NewMode(kCurrent).get(), &adapterModes, nullptr, &presets, false);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(ValuesOf(*chosen), (ModeValues{1024, 768, 32, 85}));
  }
}

TEST(OptimalModeTest, ChoosesNothingAndWritesNothingWithoutItsInputs) {
  const std::unique_ptr<TMode> current = NewMode(kCurrent);
  const std::unique_ptr<TMode> preferred = NewMode({1280, 1024, 0, 60});
  TObjectList modes;
  AddModes(modes, {{1280, 1024, 32, 60}});
  for (bool presetsOnlyValue : {true, false}) {
    PresetsOnlyScope presetsOnly(presetsOnlyValue);
    LogCapture log;
    EXPECT_EQ(ChooseOptimalMode(nullptr, &modes, preferred.get(), &modes, false), nullptr);
    EXPECT_EQ(ChooseOptimalMode(current.get(), nullptr, preferred.get(), &modes, false), nullptr);
    EXPECT_EQ(ChooseOptimalMode(current.get(), &modes, preferred.get(), nullptr, false), nullptr);
    EXPECT_EQ(log.Text(), "");
  }
}

constexpr int kBaseTiming = -1;
constexpr int kNoTarget = -2;
constexpr ModeValues k4K{3840, 2160, 0, 60};
constexpr ModeValues k5K{5120, 2880, 0, 60};
constexpr ModeValues k8K{7680, 4320, 0, 30};

struct TargetCase {
  const char* name;
  std::optional<ModeValues> preferred;
  std::vector<ModeValues> displayId;
  std::vector<ModeValues> adapterModes;  // all listed at the current depth, 32
  int target;  // an index into displayId, or kBaseTiming or kNoTarget
};

const TargetCase kTargetCases[] = {
    {"a larger DisplayID timing the adapter lists", k4K, {k5K},
     {{3840, 2160, 32, 60}, {5120, 2880, 32, 60}}, 0},
    {"one the adapter does not list keeps the base block's", k4K, {k5K},
     {{3840, 2160, 32, 60}}, kBaseTiming},
    {"one listed only at another depth", k4K, {k5K}, {{5120, 2880, 16, 60}}, kBaseTiming},
    {"one listed only at another rate", k4K, {k5K}, {{5120, 2880, 32, 58}}, kBaseTiming},
    {"a smaller one, though faster", k5K, {{3840, 2160, 0, 144}}, {{3840, 2160, 32, 144}},
     kBaseTiming},
    {"one of the base block's size", k5K, {{5120, 2880, 0, 75}}, {{5120, 2880, 32, 75}},
     kBaseTiming},
    {"without a base block timing, any listed one", std::nullopt, {{1920, 1080, 0, 60}},
     {{1920, 1080, 32, 60}}, 0},
    {"of several the largest, though slower", k4K, {k5K, k8K, {6016, 3384, 0, 60}},
     {{5120, 2880, 32, 60}, {7680, 4320, 32, 30}, {6016, 3384, 32, 60}}, 1},
    {"of equal size the fastest, then the first", k4K,
     {{7680, 4320, 0, 24}, k8K, k8K}, {{7680, 4320, 32, 24}, {7680, 4320, 32, 30}}, 1},
    {"a larger one not listed gives way to a listed one", k4K, {k8K, k5K},
     {{5120, 2880, 32, 60}}, 1},
    {"neither", std::nullopt, {}, {{1024, 768, 32, 60}}, kNoTarget},
};

TEST(OptimalModeTest, TargetsTheLargestListedDisplayIdTimingAboveTheBaseBlocks) {
  for (const TargetCase& c : kTargetCases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<TMode> preferred = c.preferred ? NewMode(*c.preferred) : nullptr;
    TObjectList displayId;
    AddModes(displayId, c.displayId);
    TObjectList adapterModes;
    AddModes(adapterModes, c.adapterModes);
    const TMode* expected = c.target == kBaseTiming ? preferred.get()
                            : c.target == kNoTarget ? nullptr
                                                    : static_cast<const TMode*>(
                                                          displayId.Items(c.target));
    EXPECT_EQ(TargetTiming(preferred.get(), displayId, adapterModes, 32), expected);
  }
}

}  // namespace
