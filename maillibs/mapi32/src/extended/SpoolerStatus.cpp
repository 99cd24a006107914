// The status table and the spooler's IMAPIStatus: the spooler is the account's sending
// queue, and flushing it hands the queue to the account's sending command.
#include "extended/Objects.h"
#include "extended/PropObject.h"

namespace vesk::mapi32::ex {
namespace {

PropList spoolerProps(const Mailbox& mailbox) {
    const Account& account = mailbox.account;
    ULONG code = STATUS_AVAILABLE | (account.sendCommand.empty() ? 0 : STATUS_OUTBOUND_ENABLED);
    PropList p;
    p.push_back(binaryProp(PR_ENTRYID, statusEntryId(account.name)));
    p.push_back(longProp(PR_RESOURCE_TYPE, MAPI_SPOOLER));
    p.push_back(textProp(PR_DISPLAY_NAME, "Outgoing mail"));
    p.push_back(textProp(PR_PROVIDER_DISPLAY, "Outgoing mail"));
    p.push_back(longProp(PR_RESOURCE_METHODS, STATUS_VALIDATE_STATE | STATUS_FLUSH_QUEUES));
    p.push_back(longProp(PR_STATUS_CODE, static_cast<LONG>(code)));
    p.push_back(longProp(PR_OBJECT_TYPE, MAPI_STATUS));
    return p;
}

class SpoolerStatus final : public PropObject<IMAPIStatus> {
public:
    explicit SpoolerStatus(MailboxPtr mailbox) : PropObject({MAPIX_IIDS_STATUS}, std::move(mailbox)) {}

    HRESULT STDMETHODCALLTYPE ValidateState(ULONG_PTR, ULONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SettingsDialog(ULONG_PTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE ChangePassword(LPSTR, LPSTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE FlushQueues(ULONG_PTR, ULONG, LPENTRYID, ULONG ulFlags) override {
        return locked([&]() -> HRESULT {
            // Incoming mail is delivered by others into the Maildir; only the queue flushes.
            if ((ulFlags & FLUSH_UPLOAD) != 0 || (ulFlags & (FLUSH_UPLOAD | FLUSH_DOWNLOAD)) == 0) {
                m_mailbox->flushQueue(m_mailbox->account.sentFolder);
            }
            return S_OK;
        });
    }

protected:
    PropList properties() override { return spoolerProps(*m_mailbox); }
};

}  // namespace

IMAPIStatus* makeSpoolerStatus(MailboxPtr mailbox) { return new SpoolerStatus(std::move(mailbox)); }

IMAPITable* makeStatusTable(const MailboxPtr& mailbox) {
    PropList subsystem;
    subsystem.push_back(longProp(PR_RESOURCE_TYPE, MAPI_SUBSYSTEM));
    subsystem.push_back(textProp(PR_DISPLAY_NAME, "Mail subsystem"));
    subsystem.push_back(longProp(PR_STATUS_CODE, STATUS_AVAILABLE));
    subsystem.push_back(longProp(PR_ROWID, 0));
    PropList spooler = spoolerProps(*mailbox);
    spooler.push_back(longProp(PR_ROWID, 1));
    std::vector<PropList> rows{std::move(subsystem), std::move(spooler)};
    return makeTable(std::make_unique<FixedRows>(std::move(rows)),
                     {PR_RESOURCE_TYPE, PR_ENTRYID, PR_DISPLAY_NAME, PR_STATUS_CODE});
}

}  // namespace vesk::mapi32::ex
