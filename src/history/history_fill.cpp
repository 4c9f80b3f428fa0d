// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_fill.h"

#include <filesystem>

#include "records/kept_downloads.h"

namespace kestrum {
namespace {

bool AddedRuns(const std::vector<FileImport>& imports) {
  for (const FileImport& i : imports) {
    if (i.counts && (i.counts->newRuns > 0 || i.counts->conflictRuns > 0)) return true;
  }
  return false;
}

std::string ImportActivityText(const std::vector<FileImport>& imports, const HistoryFill& fill) {
  int files = 0;
  int runs = 0;
  int samples = 0;
  for (const FileImport& i : imports) {
    if (!i.counts || i.counts->alreadyKnown) continue;
    ++files;
    runs += i.counts->newRuns + i.counts->conflictRuns;
    samples += i.counts->newSamples;
  }
  std::string text;
  if (files > 0) {
    text = "Took " + std::to_string(files) + (files == 1 ? " file" : " files") +
           " the history lacked: " + std::to_string(runs) + " new runs, " +
           std::to_string(samples) + " new samples";
  }
  if (fill.Skipped() > 0) {
    text += (text.empty() ? "" : "; ") + std::to_string(fill.Skipped()) +
            (fill.Skipped() == 1 ? " file" : " files") + " skipped";
  }
  if (fill.restore) text += (text.empty() ? "" : ". ") + fill.RestoreText();
  return text;
}

}  // namespace

int HistoryFill::Skipped() const {
  int skipped = 0;
  for (const FileImport& i : imports) skipped += i.counts ? 0 : 1;
  return skipped;
}

std::string HistoryFill::RestoreText() const {
  if (problem) return *problem;
  return restore ? AnnotationRestoreText(*restore) : std::string();
}

HistoryFill FillHistory(HistoryStore& store, const std::string& dataFolder, DateTime now) {
  HistoryFill fill;
  if (store.ReadOnly()) return fill;
  fill.imports = ImportKeptDownloads(store, KeptDownloadsFolder(dataFolder), now);
  const bool made = store.AwaitsRestore();
  if (!made && !AddedRuns(fill.imports)) return fill;
  const Result<AnnotationsRead> read = ReadAnnotationsFile(store.AnnotationsPath());
  if (!read) {
    fill.problem = read.error();
  } else if (!read->found) {
    // A history made for the first time has nothing to restore.
    if (store.NeedsRebuild()) fill.restore = AnnotationRestore{};
  } else {
    std::vector<std::string> missing;
    int again = 0;
    if (made) {
      // Files from elsewhere are in no kept download: read them again where they still are.
      for (const ImportedFile& file : read->annotations.files) {
        const Result<bool> known = store.KnowsPath(file.path);
        if (!known) {
          fill.imports.push_back({file.path, known.failure()});
          continue;
        }
        if (known.value()) continue;
        std::error_code error;
        if (!std::filesystem::is_regular_file(file.path, error)) {
          missing.push_back(file.path);
          continue;
        }
        for (FileImport& i : ImportDataFiles(store, {file.path}, file.instrument, now)) {
          if (i.counts) ++again;
          fill.imports.push_back(std::move(i));
        }
      }
    }
    Result<AnnotationRestore> restored = store.RestoreAnnotations(read->annotations, made);
    if (!restored) {
      fill.problem = restored.error();
    } else if (made || restored->sites + restored->notes + restored->exclusions +
                               restored->redatings + restored->instruments >
                           0) {
      restored->unreadLines = read->unreadLines;
      restored->missingFiles = std::move(missing);
      restored->files = again;
      fill.restore = std::move(restored).value();
    }
  }
  if (made) store.RestoreDone();
  if (fill.restore && store.NeedsRebuild()) store.AppendNotice(fill.RestoreText());
  const std::string text = ImportActivityText(fill.imports, fill);
  if (!text.empty()) (void)store.RecordActivity({now, "history", {}, text});
  return fill;
}

}  // namespace kestrum
