#include "platform/RecordingMidiOut.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform {

RecordingMidiOut::RecordingMidiOut(std::vector<ScriptedDevice> devices)
    : devices_(std::move(devices)) {}

MidiCall &RecordingMidiOut::Record(const char *op, HMidiOut handle, std::int64_t arg,
                                   MMResult result, int device) {
  log_.push_back(MidiCall{now_, op, handle, arg, result, device, {}});
  return log_.back();
}

int RecordingMidiOut::OpenDevice(HMidiOut handle) const {
  for (const auto &o : open_)
    if (o.handle == handle)
      return o.device;
  return -1;
}

int RecordingMidiOut::OpenHandles() const {
  return static_cast<int>(open_.size());
}

void RecordingMidiOut::Unplug(int deviceId) {
  if (unplugged_.size() < devices_.size())
    unplugged_.resize(devices_.size(), false);
  unplugged_.at(static_cast<std::size_t>(deviceId)) = true;
}

std::uint32_t RecordingMidiOut::GetNumDevs() {
  auto n = static_cast<std::uint32_t>(devices_.size());
  Record("GetNumDevs", 0, n, mmr::NoError);
  return n;
}

MMResult RecordingMidiOut::GetDevCaps(std::uintptr_t deviceId, MidiOutCaps *caps,
                                      std::uint32_t size) {
  MMResult result = mmr::NoError;
  if (deviceId >= devices_.size())
    result = mmr::BadDeviceId;
  else if (caps == nullptr || size < sizeof(MidiOutCaps))
    result = mmr::InvalParam;
  else
    result = devices_[deviceId].capsResult;
  if (result == mmr::NoError) {
    std::memset(caps, 0, sizeof(MidiOutCaps));
    const std::string &name = devices_[deviceId].name;
    std::memcpy(caps->szPname, name.data(), std::min(name.size(), sizeof(caps->szPname)));
    caps->wTechnology = 1;
  }
  Record("GetDevCaps", 0, static_cast<std::int64_t>(deviceId), result);
  return result;
}

MMResult RecordingMidiOut::Open(HMidiOut *handle, std::uint32_t deviceId, std::uintptr_t,
                                std::uintptr_t, std::uint32_t) {
  MMResult result = mmr::NoError;
  if (deviceId >= devices_.size()) {
    result = mmr::BadDeviceId;
  } else {
    if (attempts_.size() < devices_.size())
      attempts_.resize(devices_.size(), 0);
    const ScriptedDevice &d = devices_[deviceId];
    std::size_t attempt = attempts_[deviceId]++;
    if (deviceId < unplugged_.size() && unplugged_[deviceId])
      result = mmr::NoDriver;
    else if (std::any_of(open_.begin(), open_.end(),
                         [&](const OpenOutput &o) { return o.device == int(deviceId); }))
      result = mmr::Allocated;
    else
      result = attempt < d.openResults.size() ? d.openResults[attempt] : d.openDefault;
  }
  HMidiOut h = 0;
  if (result == mmr::NoError) {
    h = nextHandle_++;
    open_.push_back(OpenOutput{h, static_cast<int>(deviceId)});
  }
  if (handle != nullptr)
    *handle = h;
  Record("Open", h, deviceId, result, result == mmr::NoError ? int(deviceId) : -1);
  return result;
}

MMResult RecordingMidiOut::Close(HMidiOut handle) {
  auto it = std::find_if(open_.begin(), open_.end(),
                         [&](const OpenOutput &o) { return o.handle == handle; });
  if (it == open_.end()) {
    Record("Close", handle, 0, mmr::InvalHandle);
    return mmr::InvalHandle;
  }
  int device = it->device;
  open_.erase(it);
  Record("Close", handle, 0, mmr::NoError, device);
  return mmr::NoError;
}

MMResult RecordingMidiOut::ShortMsg(HMidiOut handle, std::uint32_t word) {
  int device = OpenDevice(handle);
  MMResult result = device < 0 ? mmr::InvalHandle : mmr::NoError;
  MidiCall &call = Record("ShortMsg", handle, word, result, device);
  if (result == mmr::NoError) {
    int n = ShortMessageLength(static_cast<std::uint8_t>(word & 0xFF));
    for (int i = 0; i < n; ++i)
      call.bytes.push_back(static_cast<std::uint8_t>((word >> (8 * i)) & 0xFF));
  }
  return result;
}

MMResult RecordingMidiOut::PrepareHeader(HMidiOut handle, MidiHeader *header, std::uint32_t size) {
  int device = OpenDevice(handle);
  MMResult result = mmr::NoError;
  if (device < 0)
    result = mmr::InvalHandle;
  else if (header == nullptr || size < sizeof(MidiHeader))
    result = mmr::InvalParam;
  else if ((header->dwFlags & MhdrPrepared) == 0) {
    header->dwFlags = MhdrPrepared;
    header->reserved = handle; // which output the header was prepared for
  }
  Record("PrepareHeader", handle, size, result, device);
  return result;
}

MMResult RecordingMidiOut::LongMsg(HMidiOut handle, MidiHeader *header, std::uint32_t size) {
  int device = OpenDevice(handle);
  MMResult result = mmr::NoError;
  if (device < 0)
    result = mmr::InvalHandle;
  else if (header == nullptr || size < sizeof(MidiHeader))
    result = mmr::InvalParam;
  else if ((header->dwFlags & MhdrPrepared) == 0 || header->reserved != handle)
    result = mmr::MidiUnprepared;
  MidiCall &call = Record("LongMsg", handle, size, result, device);
  if (result == mmr::NoError) {
    auto *data = reinterpret_cast<const std::uint8_t *>(header->lpData);
    call.bytes.assign(data, data + header->dwBufferLength);
    // Delivered at once; the header is done and released for the next output.
    header->dwFlags = MhdrDone;
    header->reserved = 0;
  }
  return result;
}

MMResult RecordingMidiOut::Reset(HMidiOut handle) {
  int device = OpenDevice(handle);
  MMResult result = device < 0 ? mmr::InvalHandle : mmr::NoError;
  Record("Reset", handle, 0, result, device);
  return result;
}

void RecordingMidiOut::Sleep(std::uint32_t ms) {
  Record("Sleep", 0, ms, mmr::NoError);
  now_ += ms;
}

std::vector<std::uint8_t> RecordingMidiOut::BytesTo(int deviceId) const {
  std::vector<std::uint8_t> out;
  for (const auto &c : log_)
    if (c.device == deviceId)
      out.insert(out.end(), c.bytes.begin(), c.bytes.end());
  return out;
}

std::string RecordingMidiOut::Describe() const {
  std::string out;
  char line[160];
  for (const auto &c : log_) {
    std::snprintf(line, sizeof line, "%6llu ms  %-13s handle=%#llx arg=%lld result=%u dev=%d",
                  static_cast<unsigned long long>(c.timeMs), c.op.c_str(),
                  static_cast<unsigned long long>(c.handle), static_cast<long long>(c.arg),
                  c.result, c.device);
    out += line;
    if (!c.bytes.empty()) {
      out += "  bytes:";
      for (auto b : c.bytes) {
        std::snprintf(line, sizeof line, " %02X", b);
        out += line;
      }
    }
    out += '\n';
  }
  return out;
}

} // namespace platform
