// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/history_request.h"

#include "history/program_history.h"
#include "records/program_data_folder.h"
#include "tool/history_output.h"
#include "tool/run_range_options.h"

namespace kestrum::tool {

const std::string* HistoryRequest::Option(const char* name) const {
  const auto it = parsed.options.find(name);
  return it == parsed.options.end() ? nullptr : &it->second;
}

int HistoryRequest::Failed(const std::string& problem) const {
  // A read-only store's write failure repeats the notice already shown.
  if (store_ && problem == store_->Notice()) return kExitFailure;
  return CommandVoice::Failed(problem);
}

HistoryStore* HistoryRequest::Opened(Result<std::unique_ptr<HistoryStore>> opened) {
  if (!opened) {
    Io().err << Prefix() << "the history cannot be opened: " << opened.error() << "\n";
    return nullptr;
  }
  store_ = std::move(opened).value();
  if (store_->Notice()) Io().err << Prefix() << *store_->Notice() << "\n";
  return store_.get();
}

HistoryStore* HistoryRequest::Store() {
  if (store_) return store_.get();
  return Opened(OpenProgramHistory(now));
}

HistoryStore* HistoryRequest::PlainStore() {
  if (store_) return store_.get();
  HistoryOpenOptions options;
  options.now = now;
  return Opened(HistoryStore::Open(HistoryFilePath(ProgramDataFolder()), options));
}

Reported<RangeEnds> HistoryRequest::ReadRange() const {
  const Result<RangeEnds> range = ReadRangeEnds(parsed);
  if (!range) return Reported<RangeEnds>::Exit(Usage(range.error()));
  return range.value();
}

Reported<HistoryRequest::InstrumentRange> HistoryRequest::ReadInstrumentRange() const {
  const std::string* instrument = Option("instrument");
  if (!instrument) return Reported<InstrumentRange>::Exit(Usage("--instrument is required"));
  const Reported<RangeEnds> range = ReadRange();
  if (!range) return Reported<InstrumentRange>::Exit(range.ExitCode());
  return InstrumentRange{*instrument, *range};
}

Reported<HistoryRequest::OpenedInstrument> HistoryRequest::OpenInstrument(const std::string& name) {
  HistoryStore* store = Store();
  if (!store) return Reported<OpenedInstrument>::Exit(kExitFailure);
  Result<std::optional<HistoryInstrument>> found = store->FindInstrument(name);
  if (!found) return Reported<OpenedInstrument>::Exit(Failed(found.error()));
  if (!*found) return Reported<OpenedInstrument>::Exit(NothingMatches(NoInstrumentText(name)));
  return OpenedInstrument{store, std::move(**found)};
}

}  // namespace kestrum::tool
