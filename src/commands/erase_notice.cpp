#include "commands/erase_notice.h"

#include "records/date_time_stamp.h"
#include "records/erase_record.h"
#include "records/kept_downloads.h"

namespace kestrum {

EraseNotice EraseNoticeFor(const std::string& dataFolder, const std::string& serial) {
  const std::string folder = KeptDownloadsFolder(dataFolder);
  const std::optional<DateTime> erased = LastErase(dataFolder, serial);
  const std::string nameSerial = FileNameSerial(serial);
  EraseNotice notice;
  // Newest first: the first of this instrument is the one that counts.
  for (const KeptDownloadFile& file : KeptDownloadFiles(folder)) {
    if (file.name.serial != nameSerial) continue;
    // A download in the same second as the erase came before it.
    if (erased && file.name.at <= *erased) break;
    notice.downloadKept = true;
    notice.line = "The memory downloaded at " + DateTimeMessageText(file.name.at) + " is kept in " +
                  folder + ".";
    return notice;
  }
  const std::string since =
      erased ? DateTimeMessageText(*erased) : "this program started keeping downloads";
  notice.line = "This instrument's memory has not been downloaded since " + since +
                ": its measurements will be lost.";
  return notice;
}

}  // namespace kestrum
