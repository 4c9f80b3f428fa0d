// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/history_request.h"

#include "history/program_history.h"
#include "records/program_data_folder.h"
#include "tool/run_range_options.h"

namespace kestrum::tool {

const std::string* HistoryRequest::Option(const char* name) const {
  const auto it = parsed.options.find(name);
  return it == parsed.options.end() ? nullptr : &it->second;
}

std::string HistoryRequest::Prefix() const {
  return std::string("kestrum-tool history ") + subcommand_ + ": ";
}

int HistoryRequest::Usage(const std::string& problem) const {
  io.err << Prefix() << problem << "\n" << usage_;
  return kExitFailure;
}

int HistoryRequest::NothingMatches(const std::string& problem) const {
  io.err << Prefix() << problem << "\n";
  return kExitNoResult;
}

int HistoryRequest::Failed(const std::string& problem) const {
  // A read-only store's write failure repeats the notice already shown.
  if (!store_ || problem != store_->Notice()) io.err << Prefix() << problem << "\n";
  return kExitFailure;
}

HistoryStore* HistoryRequest::Opened(Result<std::unique_ptr<HistoryStore>> opened) {
  if (!opened) {
    io.err << Prefix() << "the history cannot be opened: " << opened.error() << "\n";
    return nullptr;
  }
  store_ = std::move(opened).value();
  if (!store_->Notice().empty()) io.err << Prefix() << store_->Notice() << "\n";
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

bool HistoryRequest::ReadRange(DateTime& from, DateTime& to, int& exitCode) const {
  const std::string* given[2] = {Option("from"), Option("to")};
  if (!given[0] && !given[1]) {
    from = -1e9;
    to = 1e9;
    return true;
  }
  if (!given[0] || !given[1]) {
    exitCode = Usage("--from and --to go together");
    return false;
  }
  const char* names[2] = {"from", "to"};
  DateTime ends[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    const std::optional<DateTime> end = ParseRangeEnd(*given[i]);
    if (!end) {
      exitCode = Usage(std::string("--") + names[i] +
                       " wants a date-time \"YYYY-MM-DD HH:MM\", not \"" + *given[i] + "\"");
      return false;
    }
    ends[i] = *end;
  }
  if (ends[0] > ends[1]) {
    exitCode = Usage("--from lies after --to");
    return false;
  }
  from = ends[0] - kEndTolerance;
  to = ends[1] + kEndTolerance;
  return true;
}

}  // namespace kestrum::tool
