// The address-book look-up of SendMsg and SetMsg: every address book the session can open is
// searched for an entry whose name matches the recipient as written.
#include <cstring>

#include "OrvekApp.h"
#include "VimRecords.h"
#include "trevlin/Trevlin.h"

namespace {

constexpr int kYieldCycles = 100;
constexpr size_t kBookNameSize = 256;
constexpr size_t kEntryNameSize = 256;

}  // namespace

int COrvekApp::LookUp(const std::string& entry, std::string& found) const {
    found.clear();
    const VimFunctions& vim = m_vim.Functions();
    vimEnumRef position{};
    vimWord count = kVimBatch;
    char names[kVimBatch][kBookNameSize];
    vimAttrDesc attribute = VimDescriptor(VIMSEL_NAME, kBookNameSize, names);
    for (;;) {
        std::memset(names, 0, sizeof names);
        vimBool more = 0;
        if (VimStatusOf(vim.EnumerateAddressBooks(m_session, &position, 1, 1, &attribute, &count, &more)) != 0) {
            return MAILHOST_SERVER_ERROR;
        }
        const vimWord delivered = VimCappedCount(count);
        for (vimWord i = 0; i < delivered; ++i) {
            SyncYieldCycles(kYieldCycles);
            names[i][kBookNameSize - 1] = '\0';
            // A later book that also holds the entry has the last word.
            if (LookUpIn(names[i], entry, found) != 0) return MAILHOST_SERVER_ERROR;
        }
        if (more == 0 || delivered == 0 || !found.empty()) break;
    }
    return 0;
}

int COrvekApp::LookUpIn(const char* book, const std::string& entry, std::string& found) const {
    const VimFunctions& vim = m_vim.Functions();
    vimAddressBook handle = 0;
    if (VimStatusOf(vim.OpenAddressBook(m_session, const_cast<char*>(book), &handle)) != 0) return MAILHOST_SERVER_ERROR;

    int result = 0;
    vimRef whole{};
    vimRef ref{};
    std::string text = entry;
    const vimWord match =
        VimStatusOf(vim.MatchAddressBook(handle, whole, nullptr, VIMSEL_NAME, text.data(), VIMSEL_FULL, &ref, nullptr));
    if (match == 0) {
        char name[kEntryNameSize] = {};
        vimAddress address{};
        char comments[kEntryNameSize] = {};
        vimAttrDesc attributes[3] = {VimDescriptor(VIMSEL_NAME, sizeof name, name),
                                     VimDescriptor(VIMSEL_ADDRESS, sizeof address, &address),
                                     VimDescriptor(VIMSEL_COMMENTS, sizeof comments, comments)};
        if (VimStatusOf(vim.GetABEntryAttributes(handle, ref, nullptr, 3, attributes)) != 0) {
            result = MAILHOST_SERVER_ERROR;
        } else {
            const std::string entryName(name, ::strnlen(name, sizeof name));
            const std::string entryAddress(address.Value, ::strnlen(address.Value, sizeof address.Value));
            if (!entryAddress.empty()) {
                if (entryName.empty()) {
                    found = entryAddress;
                } else if (VimSameIgnoringCase(entryName, entryAddress)) {
                    found = entryName;
                } else {
                    found = entryAddress + " (" + entryName + ")";
                }
            }
        }
    } else if (match != VIMSTS_NO_MATCH) {
        result = MAILHOST_SERVER_ERROR;
    }
    // Closed once on every path: a handle the library refused to close is not closed again.
    if (VimStatusOf(vim.CloseAddressBook(handle)) != 0) result = MAILHOST_SERVER_ERROR;
    return result;
}
