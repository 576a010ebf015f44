// The system's MIDI output devices and the one open output: listing, the
// start-up choice, opening with retries, switching and closing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int DeviceTableSize = 129;

struct DeviceListState {
  std::vector<std::string> names; // in list order; bytes as the driver reported them
  int selected = -1;              // -1: nothing selected
  std::string SelectedText() const;
  void Select(int position); // out of range selects nothing
};

extern std::int32_t DeviceCount;
extern std::array<std::int32_t, DeviceTableSize> DeviceTable;
extern DeviceListState DeviceList;
extern std::int32_t DeviceId;
extern std::int32_t OpenResult;

inline constexpr int OpenRetries = 5;
inline constexpr std::uint32_t OpenRetryWaitMs = 500;
inline constexpr std::uint32_t StartResetWaitMs = 100;
inline constexpr std::uint32_t SwitchResetWaitMs = 200;

void InitOutputDevices();

std::int32_t CountDevices();
void ListDevices();
void OpenOutput(std::int32_t id);
void StartOutput(std::int32_t storedNumber, const std::string &storedName);
void SwitchOutput(int position);
void CloseOutput();
std::string OpenErrorMessage(std::int32_t code);

// The message of a failed switch, whatever the code.
extern const char *const SwitchFailedMessage;
