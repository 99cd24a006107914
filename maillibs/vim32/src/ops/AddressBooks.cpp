// Address books: the post office directory and the user's personal book, listed, opened,
// searched and read entry by entry.
#include <cstring>
#include <string>
#include <vector>

#include "common/Attributes.h"
#include "common/Closing.h"
#include "common/Enumeration.h"
#include "common/Handles.h"
#include "common/Refs.h"

using namespace vesk::vim32;

namespace {

constexpr std::uint32_t kBookListing = 6;
constexpr std::uint32_t kEntryRef = 7;

bool prefixNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && equalsNoCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

vimStatus enumerateBooks(Session* s, vimEnumRef* pos, vimInt skip, vimWord attrCount, const vimAttrDesc* descs,
                         vimWord* pCount, vimBool* pMore) {
    if (s == nullptr) return VIMSTS_INVALID_OBJECT;
    if (attrCount > 0 && descs == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    for (vimWord d = 0; d < attrCount; ++d) {
        if (descs[d].Attr != VIMSEL_NAME) return VIMSTS_INVALID_SELECTOR;
        vimStatus status = checkDescriptor(descs[d], AttrType::Text);
        if (status != VIMSTS_SUCCESS) return status;
    }
    const std::vector<std::string> names = bookNames();
    const std::uint32_t check = positionCheck(kBookListing, s->serial);
    Batch batch;
    vimStatus status = planBatch(pos, skip, pCount, pMore, names.size(), check, batch);
    if (status != VIMSTS_SUCCESS) return status;
    for (std::size_t i = 0; i < batch.count; ++i) {
        for (vimWord d = 0; d < attrCount; ++d) putText(descs[d], i, names[batch.first + i]);
    }
    finishBatch(pos, pCount, pMore, batch, check);
    return VIMSTS_SUCCESS;
}

bool isRootRef(vimRef ref) { return ref.Ref[0] == 0 && (ref.Ref[1] == 0 || ref.Ref[1] == vimDWord(-1)); }

vimStatus match(Book* b, vimRef subtree, const char* subtreeName, vimSelector attr, const void* data, vimSelector ft,
                vimRef* pRef, vimEnumRef* pEnumRef) {
    if (b == nullptr) return VIMSTS_INVALID_OBJECT;
    if (data == nullptr || pRef == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    if (!isRootRef(subtree) || (subtreeName != nullptr && subtreeName[0] != '\0')) return VIMSTS_NAME_NOT_FOUND;
    if (attr != VIMSEL_NAME && attr != VIMSEL_ADDRESS) return VIMSTS_INVALID_SELECTOR;
    if (ft != VIMSEL_FULL && ft != VIMSEL_PARTIAL) return VIMSTS_INVALID_SELECTOR;
    const std::string wanted(static_cast<const char*>(data), ::strnlen(static_cast<const char*>(data), VIM_NAME_SIZE));
    if (wanted.empty()) return VIMSTS_NO_MATCH;
    auto matches = [&](const std::string& value) {
        return ft == VIMSEL_FULL ? equalsNoCase(value, wanted) : prefixNoCase(value, wanted);
    };
    for (std::size_t n = 0; n < b->entries.size(); ++n) {
        const BookEntry& e = b->entries[n];
        bool found = attr == VIMSEL_ADDRESS ? matches(e.address)
                                            : (matches(e.name) || (!e.displayName.empty() && matches(e.displayName)));
        if (!found) continue;
        *pRef = indexRef(n, positionCheck(kEntryRef, b->serial));
        if (pEnumRef != nullptr) *pEnumRef = vimEnumRef{{static_cast<vimDWord>(n), positionCheck(kEntryRef, b->serial, 1)}};
        return VIMSTS_SUCCESS;
    }
    return VIMSTS_NO_MATCH;
}

vimStatus readEntry(Book* b, vimRef ref, const char* entryName, vimWord attrCount, const vimAttrDesc* descs) {
    if (b == nullptr) return VIMSTS_INVALID_OBJECT;
    if (attrCount > 0 && descs == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    std::size_t n = 0;
    if (ref.Ref[0] == 0 && ref.Ref[1] == 0) {
        if (entryName == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
        bool found = false;
        for (std::size_t i = 0; i < b->entries.size() && !found; ++i) {
            if (equalsNoCase(b->entries[i].name, entryName)) n = i, found = true;
        }
        if (!found) return VIMSTS_NAME_NOT_FOUND;
    } else if (!indexOfRef(ref, positionCheck(kEntryRef, b->serial), b->entries.size(), n)) {
        return VIMSTS_INVALID_OBJECT;
    }
    for (vimWord d = 0; d < attrCount; ++d) {
        vimStatus status = VIMSTS_SUCCESS;
        switch (descs[d].Attr) {
            case VIMSEL_NAME:
            case VIMSEL_COMMENTS:
            case VIMSEL_DISPLAY_NAME: status = checkDescriptor(descs[d], AttrType::Text); break;
            case VIMSEL_ADDRESS: status = checkDescriptor(descs[d], AttrType::Bytes, sizeof(vimAddress)); break;
            case VIMSEL_TYPE: status = checkDescriptor(descs[d], AttrType::Number); break;
            default: status = VIMSTS_INVALID_SELECTOR; break;
        }
        if (status != VIMSTS_SUCCESS) return status;
    }
    const BookEntry& e = b->entries[n];
    for (vimWord d = 0; d < attrCount; ++d) {
        const vimAttrDesc& desc = descs[d];
        switch (desc.Attr) {
            case VIMSEL_NAME: putText(desc, 0, e.name); break;
            case VIMSEL_COMMENTS: putText(desc, 0, e.comments); break;
            case VIMSEL_DISPLAY_NAME: putText(desc, 0, e.displayName); break;
            case VIMSEL_TYPE: putNumber(desc, 0, VIMSEL_ENTITY); break;
            case VIMSEL_ADDRESS: {
                vimAddress address{};
                address.Type = VIMSEL_NATIVE;
                copyText(address.Value, sizeof address.Value, e.address);
                putBytes(desc, 0, &address, sizeof address);
                break;
            }
            default: break;
        }
    }
    return VIMSTS_SUCCESS;
}

}  // namespace

extern "C" {

vimStatus VIMAPIENTRY VIMEnumerateAddressBooks(vimSes session, vimEnumRefPtr pPos, vimInt skipCount, vimWord attrCount,
                                               vimAttrDescPtr pAttrDesc, vimWordPtr pCount, vimBoolPtr pMore) {
    vimStatus status = guarded([&] {
        return enumerateBooks(find<Session>(session, Kind::Session), pPos, skipCount, attrCount, pAttrDesc, pCount,
                              pMore);
    });
    if (status != VIMSTS_SUCCESS) failBatch(pCount, pMore);
    return status;
}

vimStatus VIMAPIENTRY VIMOpenAddressBook(vimSes session, vimStringPtr psName, vimAddressBookPtr pAddressBook) {
    return guarded([&] {
        Session* s = find<Session>(session, Kind::Session);
        if (pAddressBook != nullptr) *pAddressBook = nullptr;
        if (s == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (pAddressBook == nullptr) return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        auto object = std::make_unique<Book>();
        object->session = s;
        object->name = psName != nullptr && psName[0] != '\0' ? psName : kDirectoryBook;
        if (!readBook(s->office, s->user, object->name, object->entries)) return vimStatus(VIMSTS_NAME_NOT_FOUND);
        void* handle = addObject(std::move(object), s);
        if (handle == nullptr) return vimStatus(VIMSTS_INSUFFICIENT_MEMORY);
        *pAddressBook = handle;
        return vimStatus(VIMSTS_SUCCESS);
    });
}

vimStatus VIMAPIENTRY VIMMatchAddressBook(vimAddressBook addressBook, vimRef subtreeRef, vimStringPtr subtreeName,
                                          vimSelector selAttr, vimDataPtr pData, vimSelector ft, vimRefPtr pRef,
                                          vimEnumRefPtr pEnumRef) {
    return guarded([&] {
        return match(find<Book>(addressBook, Kind::AddressBook), subtreeRef, subtreeName, selAttr, pData, ft, pRef,
                     pEnumRef);
    });
}

vimStatus VIMAPIENTRY VIMGetABEntryAttributes(vimAddressBook addressBook, vimRef entryRef, vimStringPtr entryName,
                                              vimWord attrCount, vimAttrDescPtr pAttrDesc) {
    return guarded(
        [&] { return readEntry(find<Book>(addressBook, Kind::AddressBook), entryRef, entryName, attrCount, pAttrDesc); });
}

vimStatus VIMAPIENTRY VIMCloseAddressBook(vimAddressBook addressBook) {
    return guarded([&] {
        if (find<Book>(addressBook, Kind::AddressBook) == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        closeObject(addressBook, &onClose);
        return vimStatus(VIMSTS_SUCCESS);
    });
}

}  // extern "C"
