#include "registry/RegStore.h"

#include <cerrno>
#include <memory>
#include <mutex>

#include "home/AtomicFile.h"
#include "platform/VeskHome.h"
#include "win32/Registry.h"

namespace vesk::reg {
namespace {

// The last file seen, parsed; reused while the file's bytes stay the same.
struct Cache {
    std::mutex mutex;
    std::string path;
    std::unique_ptr<RegDocument> document;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

std::string registryPath() {
    return vesk::home() + "/registry.reg";
}

// The parsed document for `bytes` of `path`, from the cache when nothing changed.
const RegDocument& documentFor(Cache& state, const std::string& path, std::string bytes) {
    if (!state.document || state.path != path || state.document->text() != bytes) {
        state.document = std::make_unique<RegDocument>(std::move(bytes));
        state.path = path;
    }
    return *state.document;
}

}  // namespace

LONG readRegistry(const std::function<LONG(const RegDocument&)>& read) {
    std::string path = registryPath();
    std::string bytes;
    // Another process may have changed the file at any time, so it is read on every call;
    // only the parse is saved. A file that cannot be read holds nothing.
    if (vesk::files::readWholeFile(path, bytes) != 0) bytes.clear();
    Cache& state = cache();
    std::lock_guard<std::mutex> hold(state.mutex);
    return read(documentFor(state, path, std::move(bytes)));
}

LONG changeRegistry(const std::function<LONG(const RegDocument&, std::string&)>& edit) {
    std::string path = registryPath();
    if (vesk::files::makeFolders(vesk::files::folderOf(path)) != 0) return ERROR_ACCESS_DENIED;
    vesk::files::FolderLock lock(path);
    std::string bytes;
    int error = vesk::files::readWholeFile(path, bytes);
    if (error != 0 && error != ENOENT) return ERROR_ACCESS_DENIED;

    Cache& state = cache();
    std::lock_guard<std::mutex> hold(state.mutex);
    const RegDocument& document = documentFor(state, path, std::move(bytes));
    // Never rewrite a file we cannot read as a registry: it may be someone's data.
    if (!document.valid()) return ERROR_BADDB;
    std::string updated;
    LONG result = edit(document, updated);
    if (result != ERROR_SUCCESS || updated == document.text()) return result;
    if (vesk::files::replaceFile(path, updated) != 0) return ERROR_ACCESS_DENIED;
    documentFor(state, path, std::move(updated));
    return ERROR_SUCCESS;
}

}  // namespace vesk::reg
