// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/instrument_detection.h"

#include <cstdint>

#include "link/d2xx_unit.h"

namespace kestrum {

TK5 SelectedInstrument;
bool InstrumentAttached = false;

namespace {
// The permission hint is written when the problem appears and then left
// standing, not rewritten every second.
bool g_permission_hint_shown = false;
std::string g_preferred_serial;
}  // namespace

namespace {
const ConverterDescription* FindDescription(const std::string& description) {
  for (const ConverterDescription& known : kConverterDescriptions) {
    if (description == known.text) return &known;
  }
  return nullptr;
}
}  // namespace

bool IsAcceptedDescription(const std::string& description) {
  return FindDescription(description) != nullptr;
}

bool IsDownloadDescription(const std::string& description) {
  const ConverterDescription* known = FindDescription(description);
  return known && known->downloads;
}

bool IsK8Description(const std::string& description) {
  const ConverterDescription* known = FindDescription(description);
  return known && known->framed;
}

void ResetInstrumentDetection() {
  SelectedInstrument = TK5{};
  InstrumentAttached = false;
  g_permission_hint_shown = false;
  g_preferred_serial.clear();
}

std::vector<TK5> ListAttachedInstruments() {
  std::vector<TK5> attached;
  GetFTDeviceCount();
  if (FTDeviceCount > 2147483647u) return attached;
  for (std::uint32_t index = 0; index < FTDeviceCount; ++index) {
    if (GetFTDeviceDescription(index) != FT_OK || !IsAcceptedDescription(FTDeviceString)) continue;
    TK5 instrument;
    instrument.Description = FTDeviceString;
    if (GetFTDeviceSerialNo(index) != FT_OK) continue;
    instrument.SerialNo = FTDeviceString;
    attached.push_back(instrument);
  }
  return attached;
}

void PreferInstrument(const std::string& serial) {
  g_preferred_serial = serial;
}

const std::string& PreferredInstrument() {
  return g_preferred_serial;
}

namespace {
// Takes the chosen instrument in place of the first one found, or forgets
// the choice when it is no longer attached.
void TakePreferred() {
  if (g_preferred_serial.empty() || SelectedInstrument.SerialNo == g_preferred_serial) return;
  for (const TK5& listed : ListAttachedInstruments()) {
    if (listed.SerialNo == g_preferred_serial) {
      SelectedInstrument = listed;
      return;
    }
  }
  g_preferred_serial.clear();
}
}  // namespace

void DetectInstrument(DetectionWindow& window) {
  // Panel 0 is written once, at the end, with the text the tick ends on.
  InstrumentAttached = false;

  // Listing statuses are not tested: a failed listing leaves FTDeviceCount
  // and FTDeviceString as they were, and those are what is compared.
  GetFTDeviceCount();
  std::uint32_t index = 0;
  if (FTDeviceCount != 0 && FTDeviceCount <= 2147483647u) {
    // Once a device is accepted the index stops, so the remaining passes
    // list and accept the same device again.
    for (std::uint32_t pass = 0; pass < FTDeviceCount; ++pass) {
      GetFTDeviceDescription(index);
      if (IsAcceptedDescription(FTDeviceString)) {
        SelectedInstrument.Description = FTDeviceString;
        GetFTDeviceSerialNo(index);
        SelectedInstrument.SerialNo = FTDeviceString;
        InstrumentAttached = true;
        window.SetButtonEnabled(InstrumentButton::kDownload, true);
        window.SetButtonEnabled(InstrumentButton::kClockSync, true);
        window.SetButtonEnabled(InstrumentButton::kErase, true);
      }
      if (!InstrumentAttached) ++index;
    }
  }

  if (InstrumentAttached) {
    TakePreferred();
  } else {
    g_preferred_serial.clear();
    window.SetButtonEnabled(InstrumentButton::kDownload, false);
    window.SetButtonEnabled(InstrumentButton::kClockSync, false);
    window.SetButtonEnabled(InstrumentButton::kTriggerLevel, false);
    window.SetButtonEnabled(InstrumentButton::kErase, false);
  }

  if (!InstrumentAttached && FTListingAccessDenied()) {
    if (!g_permission_hint_shown) window.SetAttachmentText(kUsbPermissionHint);
    g_permission_hint_shown = true;
    return;
  }
  g_permission_hint_shown = false;
  window.SetAttachmentText(InstrumentAttached ? kAttachedText : "");
}

}  // namespace kestrum
