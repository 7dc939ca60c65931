// The tests' controls of the simulated USB bus.
#include "platform/sim/hid_devices.h"

#include <cstdio>

#include "platform/sim/sim_hid.h"
#include "platform/sim/world.h"

namespace sim {

HidState& Hid() {
  World& world = TheWorld();
  if (!world.hid) world.hid = std::make_shared<HidState>();
  return *world.hid;
}

HidDevice SoftphoneAdapter() {
  HidDevice adapter;
  adapter.vendorId = 0x06E6;
  adapter.productId = 0xC200;
  adapter.serial = u"MJ00A1B2C3D4";
  adapter.featureLengths = {33};
  adapter.heldBySoftphone = true;
  return adapter;
}

std::string PlugInHidDevice(const HidDevice& device) {
  HidState& hid = Hid();
  char path[128];
  std::snprintf(path, sizeof path,
                "\\\\?\\hid#vid_%04x&pid_%04x#7&%04x&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                device.vendorId, device.productId,
                static_cast<unsigned>(hid.nextInstance++ & 0xFFFF));
  auto plugged = std::make_shared<UsbDevice>();
  plugged->path = path;
  plugged->isHid = true;
  plugged->hid = device;
  hid.devices.push_back(plugged);
  return plugged->path;
}

void PlugInUsbDevice(const std::string& devicePath) {
  auto plugged = std::make_shared<UsbDevice>();
  plugged->path = devicePath;
  Hid().devices.push_back(plugged);
}

void Unplug(const std::string& devicePath) {
  for (auto& device : Hid().devices) {
    if (ToLower(device->path) == ToLower(devicePath)) device->present = false;
  }
}

void RefuseDeviceLists(bool refuse) { Hid().refuseLists = refuse; }

const std::vector<HidCall>& HidCalls() { return Hid().calls; }

std::vector<HidCall> FeatureReportsSet() {
  std::vector<HidCall> reports;
  for (const HidCall& call : Hid().calls) {
    if (call.op == HidOp::SetFeature) reports.push_back(call);
  }
  return reports;
}

void ClearHidCalls() { Hid().calls.clear(); }

const std::vector<DeviceOpen>& DeviceOpens() { return Hid().opens; }

int OpenDeviceHandleCount() {
  int count = 0;
  for (auto& entry : Hid().openDevices) count += TheWorld().handles.count(entry.first) ? 1 : 0;
  return count;
}

int OpenDeviceListCount() {
  int count = 0;
  for (auto& entry : Hid().lists) {
    for (auto& process : TheWorld().processes) {
      if (process->id == entry.second.processId && !process->exited) ++count;
    }
  }
  return count;
}

}  // namespace sim
