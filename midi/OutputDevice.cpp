#include "midi/OutputDevice.h"

#include "midi/MidiMessages.h"
#include "platform/Application.h"
#include "platform/MidiOutService.h"

#include <cstring>

using platform::MidiOut;

std::int32_t DeviceCount = 0;
std::array<std::int32_t, DeviceTableSize> DeviceTable{};
DeviceListState DeviceList;
std::int32_t DeviceId = 0;
std::int32_t OpenResult = 0;

const char *const SwitchFailedMessage = "ＭＩＤＩデバイスが開けません";

std::string DeviceListState::SelectedText() const {
  return selected >= 0 ? names[static_cast<std::size_t>(selected)] : std::string();
}

void DeviceListState::Select(int position) {
  selected = (position >= 0 && position < static_cast<int>(names.size())) ? position : -1;
}

void InitOutputDevices() {
  DeviceCount = 0;
  DeviceTable.fill(0);
  DeviceList = DeviceListState{};
  DeviceId = 0;
  OpenResult = 0;
}

std::int32_t CountDevices() {
  return static_cast<std::int32_t>(MidiOut().GetNumDevs());
}

void ListDevices() {
  const std::uint32_t n = MidiOut().GetNumDevs();
  int k = 0;
  // The table has room for 129 devices; any further ones are not offered.
  for (std::uint32_t id = 0; id < n && k < DeviceTableSize; ++id) {
    platform::MidiOutCaps caps{};
    if (MidiOut().GetDevCaps(id, &caps, sizeof caps) != platform::mmr::NoError)
      continue;
    DeviceTable[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(id);
    DeviceList.names.emplace_back(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
    ++k;
  }
}

void OpenOutput(std::int32_t id) {
  const auto device = static_cast<std::uint32_t>(id);
  OpenResult = static_cast<std::int32_t>(MidiOut().Open(&MidiOutHandle, device, 0, 0, 0));
  for (int retry = 0; retry < OpenRetries && OpenResult != 0; ++retry) {
    MidiOut().Close(MidiOutHandle);
    MidiOut().Sleep(OpenRetryWaitMs);
    OpenResult = static_cast<std::int32_t>(MidiOut().Open(&MidiOutHandle, device, 0, 0, 0));
  }
}

void StartOutput(std::int32_t storedNumber, const std::string &storedName) {
  DeviceList = DeviceListState{};
  ListDevices();
  DeviceList.Select(storedNumber);
  if (DeviceList.SelectedText() != storedName)
    DeviceList.Select(0);
  DeviceId =
      DeviceList.selected >= 0 ? DeviceTable[static_cast<std::size_t>(DeviceList.selected)] : 0;
  if (DeviceId > DeviceCount)
    DeviceId = 0;
  OpenOutput(DeviceId);
  if (OpenResult != 0)
    platform::ShowMessage(OpenErrorMessage(OpenResult));
  SendGsReset(StartResetWaitMs);
}

void SwitchOutput(int position) {
  // With no entry to take there is nothing to switch to: the output stays.
  if (position < 0 || position >= static_cast<int>(DeviceList.names.size()))
    return;
  MidiOut().ShortMsg(MidiOutHandle, AllSoundOffWord);
  MidiOut().Close(MidiOutHandle);
  DeviceList.Select(position);
  DeviceId = DeviceTable[static_cast<std::size_t>(position)];
  OpenOutput(DeviceId);
  if (OpenResult != 0)
    platform::ShowMessage(SwitchFailedMessage);
  MidiOut().Reset(MidiOutHandle);
  SendGsReset(SwitchResetWaitMs);
}

void CloseOutput() {
  MidiOut().Close(MidiOutHandle);
}

std::string OpenErrorMessage(std::int32_t code) {
  switch (code) {
  case 1:
    return "ERROR";
  case 2:
    return "BADDEVICEID";
  case 3:
    return "NOTENABLED";
  case 4:
    return "ALLOCATED";
  case 5:
    return "指定されたデバイス ハンドルが無効です。";
  case 6:
    return "NODRIVER";
  case 7:
    return "メモリの割り当てまたはロックができません。";
  case 8:
    return "NOTSUPPORTED";
  case 9:
    return "BADERRNUM";
  case 10:
    return "INVALFLAG";
  case 11:
    return "INVALPARAM";
  case 12:
    return "HANDLEBUSY";
  case 13:
    return "INVALIDALIAS";
  case 20:
    return "LASTERROR";
  default:
    return SwitchFailedMessage;
  }
}
