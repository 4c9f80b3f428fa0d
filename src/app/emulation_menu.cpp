// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/emulation_menu.h"

#include "link/instrument_detection.h"
#include "records/instrument_model.h"

namespace {

using Fault = kestrum::FaultOption;

// Neither a model code nor a frame start of any dialect.
const std::vector<std::uint8_t> kGarbageBytes = {0xFF, 0x00, 0xA5, 0x5A};

using kestrum::ReplyKind;

const std::pair<ReplyKind, const char*> kReplies[] = {
    {ReplyKind::kIdentify, "Identify answer"},
    {ReplyKind::kMemory, "Memory"},
    {ReplyKind::kParameters, "Parameters"},
    {ReplyKind::kCoefficients, "Pressure coefficients"},
    {ReplyKind::kEraseAcknowledgement, "Erase acknowledgement"},
};

// The K8 has no identify exchange and no parameter block; the K5 and K6 no
// pressure sensor.
bool GivesReply(kestrum::InstrumentModel model, ReplyKind reply) {
  using kestrum::InstrumentModel;
  switch (reply) {
    case ReplyKind::kIdentify:
    case ReplyKind::kParameters:
      return model != InstrumentModel::K8;
    case ReplyKind::kCoefficients:
      return model == InstrumentModel::K7 || model == InstrumentModel::K8;
    default:
      return true;
  }
}

// What an Unplug after N bytes offers first: a little into a memory transfer.
constexpr int kUnplugAfterBytesOffered = 1000;
constexpr int kUnplugAfterBytesMost = 1 << 20;

}  // namespace

EmulationMenu::EmulationMenu(kestrum::EmulatedBus& bus, UserPrompts& prompts, QWidget* parent)
    : QMenu("Emulation", parent), controls_(bus), prompts_(prompts) {
  setObjectName("Emulation");
  for (const auto& instrument : controls_.Instruments()) {
    QAction* plug = addAction(QString("%1 %2 \"%3\" plugged in")
                                  .arg(kestrum::ModelName(instrument->Model()),
                                       QString::fromStdString(instrument->Serial()),
                                       QString::fromStdString(instrument->Description())));
    plug->setCheckable(true);
    connect(plug, &QAction::triggered, this,
            [this, instrument](bool plugged) { controls_.SetPlugged(instrument, plugged); });
    plugEntries_.push_back(plug);
  }
  addSeparator();

  NextReply = addMenu("Next reply");
  Silence = AddFaultMenu("Silence", {Fault::Kind::kSilent, 0, {}});
  ShortReply = AddFaultMenu("Short reply (its first byte only)", {Fault::Kind::kShort, 1, {}});
  GarbageBytes = AddFaultMenu("Garbage bytes", {Fault::Kind::kGarbage, 0, kGarbageBytes});
  UnplugAfterBytes = NextReply->addAction("Unplug after N bytes...");
  connect(UnplugAfterBytes, &QAction::triggered, this, &EmulationMenu::PlanUnplug);

  ResetMemory = addAction("Reset instrument memory");
  connect(ResetMemory, &QAction::triggered, this, [this] {
    if (auto instrument = CommandsInstrument()) controls_.ResetMemory(*instrument);
  });

  connect(this, &QMenu::aboutToShow, this, &EmulationMenu::ShowPlugs);
  ShowPlugs();
}

QMenu* EmulationMenu::AddFaultMenu(const QString& title, kestrum::FaultOption fault) {
  QMenu* menu = NextReply->addMenu(title);
  for (const auto& [reply, name] : kReplies) {
    QAction* entry = menu->addAction(name);
    entry->setData(static_cast<int>(reply));
    connect(entry, &QAction::triggered, this, [this, fault, reply = reply]() mutable {
      fault.target = reply;
      Plan(fault);
    });
  }
  connect(menu, &QMenu::aboutToShow, this, &EmulationMenu::ShowReplies);
  return menu;
}

QAction* EmulationMenu::EntryFor(QMenu* fault, kestrum::ReplyKind reply) {
  for (QAction* entry : fault->actions()) {
    if (entry->data().toInt() == static_cast<int>(reply)) return entry;
  }
  return nullptr;
}

void EmulationMenu::ShowReplies() {
  const auto instrument = CommandsInstrument();
  if (!instrument) return;
  const kestrum::InstrumentModel model = instrument->Model();
  for (QMenu* fault : {Silence, ShortReply, GarbageBytes}) {
    for (QAction* entry : fault->actions()) {
      const auto reply = static_cast<kestrum::ReplyKind>(entry->data().toInt());
      entry->setEnabled(GivesReply(model, reply));
    }
  }
}

void EmulationMenu::ShowPlugs() {
  for (std::size_t i = 0; i < plugEntries_.size(); ++i) {
    plugEntries_[i]->setChecked(controls_.IsPlugged(*controls_.Instruments()[i]));
  }
}

std::shared_ptr<kestrum::EmulatedInstrument> EmulationMenu::CommandsInstrument() const {
  return controls_.Named(kestrum::SelectedInstrument.SerialNo);
}

void EmulationMenu::Plan(const kestrum::FaultOption& fault) {
  if (auto instrument = CommandsInstrument()) controls_.Plan(*instrument, fault);
}

void EmulationMenu::PlanUnplug() {
  auto instrument = CommandsInstrument();
  if (!instrument) return;
  const std::optional<int> bytes =
      prompts_.AskNumber(QString("Unplug %1 after it has sent how many more bytes?")
                             .arg(QString::fromStdString(instrument->Serial())),
                         kUnplugAfterBytesOffered, 0, kUnplugAfterBytesMost);
  if (bytes)
    controls_.Plan(*instrument,
                   {Fault::Kind::kUnplugAfter, static_cast<std::uint64_t>(*bytes), {}});
}
