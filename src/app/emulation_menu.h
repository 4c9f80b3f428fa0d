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
  QMenu* NextReply = nullptr;
  QAction* Silence = nullptr;
  QAction* ShortReply = nullptr;
  QAction* GarbageBytes = nullptr;
  QAction* UnplugAfterBytes = nullptr;
  QAction* ResetMemory = nullptr;

 private:
  // A planned unplug pulls a plug without the menu: the marks follow the bus.
  void ShowPlugs();
  std::shared_ptr<kestrum::EmulatedInstrument> CommandsInstrument() const;
  void Plan(const kestrum::FaultOption& fault);
  void PlanUnplug();

  kestrum::EmulationControls controls_;
  UserPrompts& prompts_;
  std::vector<QAction*> plugEntries_;
};
