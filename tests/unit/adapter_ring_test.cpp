// The ring reports, byte for byte, for each generation.
#include "platform/sim/hid_devices.h"
#include "tests/unit/adapter_fixture.h"

namespace {
const std::vector<os::BYTE> RING_ON = Report({0x00, 0x04, 0x3D, 0x40, 0x01, 0x30}, 33);
const std::vector<os::BYTE> RING_OFF = Report({0x00, 0x04, 0x3D, 0x40, 0x01, 0x00}, 33);
const std::vector<os::BYTE> PLUS_RING_ON = Report({0x00, 0x20, 0x00, 0x00, 0x01, 0x01, 0x03}, 65);
const std::vector<os::BYTE> PLUS_RING_OFF = Report({0x00, 0x20, 0x00, 0x00, 0x01, 0x01, 0x00}, 65);
}  // namespace

// The serial tells a Plus adapter, whose ring reports are 65 bytes long.
struct RingReports {
  const char* generation;
  const char16_t* serial;
  std::vector<os::BYTE> on, off;
};

// Names the case in the test's name.
void PrintTo(const RingReports& reports, std::ostream* out) { *out << reports.generation; }

class RingReportTest : public AdapterTest, public ::testing::WithParamInterface<RingReports> {};

TEST_P(RingReportTest, EachGenerationGetsItsOwnRingReports) {
  const RingReports& adapter = GetParam();
  PlugIn(0xC200, adapter.serial, {static_cast<os::ULONG>(adapter.on.size())});
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  sim::ClearHidCalls();
  SetRinging(true);
  SetRinging(false);
  EXPECT_EQ(ReportsSet(), (std::vector<std::vector<os::BYTE>>{adapter.on, adapter.off}));
}

INSTANTIATE_TEST_SUITE_P(Generations, RingReportTest,
                         ::testing::Values(RingReports{"Second", u"MJ00A1B2C3D4", RING_ON, RING_OFF},
                                           RingReports{"Plus", u"Plus000000X1", PLUS_RING_ON, PLUS_RING_OFF}));
