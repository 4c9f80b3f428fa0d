#pragma once
// Finding the instrument among the attached FTDI converters by the USB
// description its converter reports, once at start and then every second
// (the contact watch). Detection only lists devices, never opens one.

#include <array>
#include <string>

namespace kestrum {

struct TK5 {
  std::string SerialNo;
  std::string Description;
};

// The device accepted last; keeps its values when the device disappears.
extern TK5 SelectedInstrument;
// True while the last detection accepted a device.
extern bool InstrumentAttached;

// Compared exactly, letter case included.
inline const std::array<const char*, 6> kAcceptedDescriptions = {
    "USB <-> K5",     "USB <-> K8",        "USB <-> Serial Cable",
    "USB <-> Serial", "FT230X Basic UART", "USB <-> Serial Converter",
};
bool IsAcceptedDescription(const std::string& description);

inline const char kAttachedText[] = "Kestrum Attached";
// Shown in panel 0 instead of nothing when a converter is listed but may not
// be read; installing the udev rule of packaging/udev cures it.
inline const char kUsbPermissionHint[] = "No USB access: see packaging/udev/README.md";

enum class InstrumentButton { SpeedButton7, SpeedButton3, ERASE_BTN, Level_button };

// What detection changes on the main window.
class DetectionWindow {
 public:
  virtual ~DetectionWindow() = default;
  virtual void SetStatusPanel0Text(const std::string& text) = 0;
  virtual void SetButtonEnabled(InstrumentButton button, bool enabled) = 0;
};

// Panel 0 ends as "Kestrum Attached", empty, or the permission hint (written
// once when the problem appears and left standing while it lasts).
void DetectInstrument(DetectionWindow& window);

// Back to the start-up state (for tests).
void ResetInstrumentDetection();

}  // namespace kestrum
