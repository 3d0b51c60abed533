// The archive run: packs the source into one LZH archive instead of copying.
#include "copyjob/CopyJob.h"

#include "files/PathUtils.h"

int CCopyJob::RunArchive() {
    // The archive run comes with the archiver's settings dialog; until then
    // a setting with LHA archiving on is refused before anything is touched.
    WarningBox("LHA圧縮の実行はこの版ではまだ使用できません．");
    return END_COPY_FAILED;
}
