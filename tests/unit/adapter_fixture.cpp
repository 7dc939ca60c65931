#include "tests/unit/adapter_fixture.h"

#include <algorithm>

#include "shell/main_dialog.h"

std::string AdapterTest::PlugIn(os::WORD productId, const std::u16string& serial,
                                std::vector<os::ULONG> featureLengths) {
  sim::HidDevice device;
  device.vendorId = 0x06E6;
  device.productId = productId;
  device.serial = serial;
  device.featureLengths = std::move(featureLengths);
  device.heldBySoftphone = true;  // the softphone keeps its adapter open
  return sim::PlugInHidDevice(device);
}

void AdapterTest::StartHooked() {
  StartSoftphone();
  StartProgram();
}

bool AdapterTest::WaitForEvent(const std::string& event, int count, os::DWORD maxMs) {
  return desktop.RunUntil([&] { return CountOf(event) >= count; }, maxMs);
}

void AdapterTest::SetRinging(bool on) {
  desktop.RunInProcess(program, [on] { theMainWindow->SetRinging(on); });
}

std::vector<std::vector<os::BYTE>> AdapterTest::ReportsSet() {
  std::vector<std::vector<os::BYTE>> reports;
  for (const sim::HidCall& call : sim::FeatureReportsSet()) reports.push_back(call.report);
  return reports;
}

std::vector<os::ULONG> AdapterTest::ReadLengths() {
  std::vector<os::ULONG> lengths;
  for (const sim::HidCall& call : sim::HidCalls()) {
    if (call.op == sim::HidOp::GetFeature)
      lengths.push_back(static_cast<os::ULONG>(call.report.size()));
  }
  return lengths;
}

int AdapterTest::IndexOf(const std::string& event) const {
  std::vector<std::string> events = LogEvents();
  auto found = std::find(events.begin(), events.end(), event);
  return found == events.end() ? -1 : static_cast<int>(found - events.begin());
}

std::vector<os::BYTE> Report(std::vector<os::BYTE> leading, std::size_t length) {
  leading.resize(length, 0);
  return leading;
}
