// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/erase_notice.h"

#include "records/date_time_stamp.h"
#include "records/erase_record.h"
#include "records/kept_downloads.h"

namespace kestrum {
namespace {

// The question says why it may know less than it should.
EraseNotice WithRecordProblem(EraseNotice notice) {
  if (!notice.recordProblem.empty()) notice.line = notice.recordProblem + ".\n" + notice.line;
  return notice;
}

}  // namespace

EraseNotice EraseNoticeFor(const std::string& dataFolder, const std::string& serial) {
  const std::string folder = KeptDownloadsFolder(dataFolder);
  const Result<std::optional<DateTime>> record = LastErase(dataFolder, serial);
  std::optional<DateTime> erased;
  if (record) erased = record.value();
  const std::string nameSerial = FileNameSerial(serial);
  EraseNotice notice;
  if (!record) notice.recordProblem = record.error() + "; it is ignored";
  // Newest first: the first of this instrument is the one that counts.
  for (const KeptDownloadFile& file : KeptDownloadFiles(folder)) {
    if (file.name.serial != nameSerial) continue;
    // A download in the same second as the erase came before it.
    if (erased && file.name.at <= *erased) break;
    notice.downloadKept = true;
    notice.line = "The memory downloaded at " + DateTimeMessageText(file.name.at) + " is kept in " +
                  folder + ".";
    return WithRecordProblem(notice);
  }
  const std::string since =
      erased ? DateTimeMessageText(*erased) : "this program started keeping downloads";
  notice.line = "This instrument's memory has not been downloaded since " + since +
                ": its measurements will be lost.";
  return WithRecordProblem(notice);
}

}  // namespace kestrum
