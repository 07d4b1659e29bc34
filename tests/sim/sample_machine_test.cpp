#include <gtest/gtest.h>

#include "sim/machine_file/machine_writer.h"
#include "sim/machine_file/sample_machine.h"
#include "tests/support/sim_test_machine.h"

namespace {

TEST(SimSampleMachine, ParsesAndRoundTrips) {
  Json sample = SampleMachine();
  Machine machine = ReadMachine(sample);
  EXPECT_EQ(UpdatedMachineDocument(sample, machine), sample);
  Json again = ParseMachineJson(MachineDocumentText(sample));
  EXPECT_EQ(again, sample);
  EXPECT_NO_THROW(ReadMachine(again));
}

TEST(SimSampleMachine, EveryActiveMonitorHasItsEdidUnderItsHardwareKey) {
  Machine machine = ReadMachine(SampleMachine());
  int mirrors = 0, inactive = 0, monitors = 0;
  for (const SimAdapter& adapter : machine.adapters) {
    if (adapter.device.stateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) ++mirrors;
    for (const SimDisplayDevice& monitor : adapter.monitors) {
      if (!(monitor.stateFlags & DISPLAY_DEVICE_ACTIVE)) {
        ++inactive;
        continue;
      }
      ++monitors;
      // MONITOR\<model>\{class}\<instance>
      std::string model = monitor.deviceId.substr(8, monitor.deviceId.find('\\', 8) - 8);
      auto modelKey = machine.registry.Machine()
                          ->FindSubkey("SYSTEM")
                          ->FindSubkey("CurrentControlSet")
                          ->FindSubkey("Enum")
                          ->FindSubkey("DISPLAY")
                          ->FindSubkey(model);
      ASSERT_TRUE(modelKey) << model;
      const RegistryValue* edid =
          modelKey->Subkeys().at(0)->FindSubkey("Device Parameters")->FindValue("EDID");
      ASSERT_NE(edid, nullptr);
      ASSERT_EQ(edid->data.bytes.size(), 128u);
      unsigned sum = 0;
      for (char c : edid->data.bytes) sum += static_cast<unsigned char>(c);
      EXPECT_EQ(sum % 256, 0u) << model;
    }
  }
  EXPECT_EQ(mirrors, 1);
  EXPECT_EQ(inactive, 1);
  EXPECT_EQ(monitors, 2);
}

}  // namespace
