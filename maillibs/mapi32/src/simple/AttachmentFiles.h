// The files MAPIReadMail writes for attachments: new files (mode 0600) in the session's
// private folder, named after the attachment as far as a file name can carry it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/Session.h"

namespace vesk::mapi32 {

/// Files written during one call; removed again unless the call hands them to its caller.
class AttachmentFiles {
public:
    AttachmentFiles() = default;
    ~AttachmentFiles();
    AttachmentFiles(const AttachmentFiles&) = delete;
    AttachmentFiles& operator=(const AttachmentFiles&) = delete;

    /// Writes `bytes` to a new file named after `name` in `folder` and returns its path in
    /// `path`. SUCCESS_SUCCESS, MAPI_E_DISK_FULL or MAPI_E_ATTACHMENT_WRITE_FAILURE.
    ULONG write(const std::string& folder, std::string_view name, std::string_view bytes, std::string& path);

    /// The files now belong to the caller: they stay.
    void release() { m_paths.clear(); }

private:
    std::vector<std::string> m_paths;
};

/// A file name for attachment `name`: printable ASCII only (every other byte, '/', '\' and
/// a leading '.' become '_'), at most 100 bytes, "attachment" when nothing is left.
std::string safeFileName(std::string_view name);

}  // namespace vesk::mapi32
