// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Emulation menu, only with --emulate: one check entry per emulated
// instrument for its plug, "Next reply" faults, and the memory the
// instrument started with. Faults and memory go to the instrument the
// commands talk to, the one detection chose.

#include <QMenu>
#include <memory>
#include <vector>

#include "app/user_prompts.h"
#include "emulator/emulation_controls.h"

class EmulationMenu : public QMenu {
  Q_OBJECT
 public:
  EmulationMenu(kestrum::EmulatedBus& bus, UserPrompts& prompts, QWidget* parent);

  // Checked while the instrument is plugged in; in the order of the
  // --emulate arguments.
  const std::vector<QAction*>& PlugEntries() const { return plugEntries_; }
  // Each fault names the reply it spoils (identify, memory, parameters,
  // coefficients, erase acknowledgement): a fault on whatever reply came next
  // would mostly hit the identify exchange, whose retries hide it.
  QMenu* NextReply = nullptr;
  QMenu* Silence = nullptr;
  QMenu* ShortReply = nullptr;
  QMenu* GarbageBytes = nullptr;
  QAction* UnplugAfterBytes = nullptr;
  // The entry of `fault` (Silence, ShortReply, GarbageBytes) for `reply`.
  static QAction* EntryFor(QMenu* fault, kestrum::ReplyKind reply);
  QAction* ResetMemory = nullptr;

 private:
  // A planned unplug pulls a plug without the menu: the marks follow the bus.
  void ShowPlugs();
  // Entries for replies the commands' instrument never gives are greyed.
  void ShowReplies();
  QMenu* AddFaultMenu(const QString& title, kestrum::FaultOption fault);
  std::shared_ptr<kestrum::EmulatedInstrument> CommandsInstrument() const;
  void Plan(const kestrum::FaultOption& fault);
  void PlanUnplug();

  kestrum::EmulationControls controls_;
  UserPrompts& prompts_;
  std::vector<QAction*> plugEntries_;
};
