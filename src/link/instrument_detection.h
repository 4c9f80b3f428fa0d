// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the instrument among the attached FTDI converters by the USB
// description its converter reports, once at start and then every second
// (the contact watch). Detection only lists devices, never opens one.

#include <array>
#include <string>
#include <vector>

namespace kestrum {

struct TK5 {
  std::string SerialNo;
  std::string Description;
};

// The device accepted last; keeps its values when the device disappears.
extern TK5 SelectedInstrument;
// True while the last detection accepted a device.
extern bool InstrumentAttached;

// The converter descriptions the program knows, compared exactly, letter case
// included. Every other fact about a description is read from this table.
struct ConverterDescription {
  const char* text;
  // The download runs for it; the two generic FTDI names are recognised
  // (clock and erase treat them as K5-K7) but never downloaded from.
  bool downloads;
  // A K8, told apart by its description alone: framed dialect at 230,400 baud.
  bool framed;
};
inline constexpr std::array<ConverterDescription, 6> kConverterDescriptions = {{
    {"USB <-> K5", true, false},
    {"USB <-> K8", true, true},
    {"USB <-> Serial Cable", true, false},
    {"USB <-> Serial", true, false},
    {"FT230X Basic UART", false, false},
    {"USB <-> Serial Converter", false, false},
}};
bool IsAcceptedDescription(const std::string& description);
bool IsDownloadDescription(const std::string& description);
bool IsK8Description(const std::string& description);

inline const char kAttachedText[] = "Kestrum Attached";
// Shown in panel 0 instead of nothing when a converter is listed but may not
// be read; installing the udev rule of packaging/udev cures it.
inline const char kUsbPermissionHint[] = "No USB access: see packaging/udev/README.md";

// The instrument command buttons detection enables and disables.
enum class InstrumentButton { kDownload, kClockSync, kErase, kTriggerLevel };

// What detection changes on the main window.
class DetectionWindow {
 public:
  virtual ~DetectionWindow() = default;
  virtual void SetAttachmentText(const std::string& text) = 0;
  virtual void SetButtonEnabled(InstrumentButton button, bool enabled) = 0;
};

// Panel 0 ends as "Kestrum Attached", empty, or the permission hint (written
// once when the problem appears and left standing while it lasts).
void DetectInstrument(DetectionWindow& window);

// Every attached converter with an accepted description, in listing order.
std::vector<TK5> ListAttachedInstruments();

// The instrument the user chose among several (Instrument > Use): detection
// takes it while it is listed and forgets the choice once it is gone; with
// no choice the first accepted device is taken, as always. Empty: no choice.
void PreferInstrument(const std::string& serial);
const std::string& PreferredInstrument();

// Back to the start-up state (for tests).
void ResetInstrumentDetection();

}  // namespace kestrum
