// The Maildir++ implementation of the Store interface.
#pragma once

#include <map>
#include <set>
#include <string>

#include "FolderIndex.h"
#include "ParseCache.h"
#include "store/Store.h"

namespace vesk::store::detail {

class MaildirStore final : public Store {
public:
    /// `root` must be a Maildir already (see openMaildir).
    explicit MaildirStore(std::string root);

    const std::string& root() const override { return m_root; }
    Result<std::vector<std::string>> folders() override;
    Status createFolder(std::string_view name) override;
    Result<std::vector<MessageInfo>> list(std::string_view folder) override;
    Result<MessageInfo> find(std::string_view folder, std::string_view id) override;
    Result<MessageInfo> findByKey(std::string_view folder, std::uint64_t key) override;
    Result<Message> read(std::string_view folder, std::string_view id, ReadMode mode) override;
    Result<std::string> readRaw(std::string_view folder, std::string_view id) override;
    Result<std::string> attachment(std::string_view folder, std::string_view id, std::size_t index) override;
    Result<std::string> deliver(std::string_view folder, const Draft& draft, std::string_view flags) override;
    Result<std::string> deliverRaw(std::string_view folder, std::string_view bytes, std::string_view flags) override;
    Status setFlags(std::string_view folder, std::string_view id, std::string_view add,
                    std::string_view remove) override;
    Status move(std::string_view from, std::string_view id, std::string_view to) override;
    Status remove(std::string_view folder, std::string_view id) override;
    Status pickUpNew(std::string_view folder) override;
    Status rewriteHeaders(std::string_view folder, std::string_view id,
                          const std::vector<HeaderEdit>& edits) override;
    Result<std::string> enqueue(const Draft& draft, std::string_view outbox) override;

private:
    struct Folder {
        std::string dir;
        FolderIndex* index;
        std::string name;
    };
    struct Located {
        Folder folder;
        IndexEntry entry;  // a copy: index changes must not invalidate it
        std::string path;
        FileStamp stamp;   // the file as it was found
    };

    /// The folder's directory and index; InvalidArgument or NotFound for a bad name. With
    /// `trustIndex`, a folder already listed is taken as still there (a message look-up
    /// finds out soon enough when it is not) and its directories are not checked again.
    Result<Folder> openFolder(std::string_view name, bool trustIndex = false);
    /// The current file of message `id` of `folder`; the index is rescanned once when the
    /// file is not where the index says (another process moved it).
    Result<Located> locate(std::string_view folder, std::string_view id);
    Result<std::vector<MessageInfo>> listImpl(std::string_view folder);
    Result<Message> readImpl(std::string_view folder, std::string_view id, ReadMode mode);
    Result<std::string> deliverRawImpl(std::string_view folder, std::string_view bytes, std::string_view flags);
    Status setFlagsImpl(std::string_view folder, std::string_view id, std::string_view add, std::string_view remove);
    Status moveImpl(std::string_view from, std::string_view id, std::string_view to);
    Status pickUpNewImpl(std::string_view folder);
    Status rewriteImpl(std::string_view folder, std::string_view id, const std::vector<HeaderEdit>& edits);

    /// Tells the cache that the store renamed `loc`'s file to `to`/`sub`/`fileName`.
    void noteRenamed(const Located& loc, std::string_view to, const std::string& toDir, bool inNew,
                     const std::string& fileName);

    std::string m_root;
    std::map<std::string, FolderIndex, std::less<>> m_indexes;
    std::set<std::string, std::less<>> m_pruned;  // folders whose stale records were dropped
    ParseCache m_cache;
};

}  // namespace vesk::store::detail
