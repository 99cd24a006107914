#include "FakeVim.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace fakevim {
namespace {

constexpr vimDWord kRefTag = 0xF00D;
constexpr vimDWord kItemTag = 0xB0B;

struct OpenItem {
    int message = 0;
    int item = 0;
    size_t offset = 0;
};

struct State {
    Script script;
    std::vector<std::string> calls;
    std::set<uintptr_t> open;
    std::map<std::string, int> counts;
    std::map<uintptr_t, int> messageOf;  // message handle -> mailbox index (-1: a new one)
    std::map<uintptr_t, OpenItem> items;
    std::map<uintptr_t, int> bookOf;
    std::vector<std::string> added;
    uintptr_t nextMessage = kFirstMessage;
    uintptr_t nextItem = kFirstItem;
    uintptr_t nextBook = kFirstBook;
    int started = 0;
};

State& state() {
    static State s;
    return s;
}

std::string hex(const void* handle) {
    char text[32];
    std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(handle)));
    return text;
}

std::string num(long long value) { return std::to_string(value); }

std::string text(const char* value) { return value != nullptr ? std::string(value) : std::string("null"); }

std::string descriptors(vimWord count, const vimAttrDesc* attrs) {
    std::string out = "[";
    for (vimWord i = 0; i < count && attrs != nullptr; ++i) {
        if (i > 0) out += ",";
        out += num(attrs[i].Attr) + ":" + num(attrs[i].Size);
    }
    return out + "]";
}

// Records the call and gives its scripted status.
vimStatus call(const std::string& op, const std::string& args) {
    State& s = state();
    s.calls.push_back(op + "(" + args + ")");
    const int n = s.counts[op]++;
    auto ops = s.script.failures.find(op);
    if (ops != s.script.failures.end()) {
        auto it = ops->second.find(n);
        if (it != ops->second.end()) return it->second;
    }
    return VIMSTS_SUCCESS;
}

void* handle(uintptr_t value) { return reinterpret_cast<void*>(value); }
uintptr_t value(const void* h) { return reinterpret_cast<uintptr_t>(h); }

// The delivered count and more flag of an enumeration over `total` entries from `*pos`.
size_t deliver(vimEnumRef* pos, vimWord* pCount, vimBool* pMore, size_t total, size_t& first) {
    first = pos->Ref[0];
    const size_t room = *pCount;
    const size_t left = first < total ? total - first : 0;
    const size_t n = std::min(room, left);
    pos->Ref[0] = static_cast<vimDWord>(first + n);
    *pCount = static_cast<vimWord>(state().script.forcedCount >= 0 ? state().script.forcedCount : n);
    *pMore = static_cast<vimBool>(state().script.forcedMore >= 0 ? state().script.forcedMore : (first + n < total));
    return n;
}

void putText(void* buffer, size_t size, const std::string& value) {
    if (size == 0) return;
    const size_t n = std::min(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    static_cast<char*>(buffer)[n] = '\0';
}

vimRecipient recipientOf(const Person& person) {
    vimRecipient r;
    std::memset(&r, 0, sizeof r);
    r.Type = VIMSEL_UNKNOWN_RECIP_TYPE;
    putText(r.DName.Value, sizeof r.DName.Value, person.name);
    putText(r.Address.Value, sizeof r.Address.Value, person.address);
    return r;
}

int findMessage(vimRef ref) {
    const auto& box = state().script.mailbox;
    for (size_t i = 0; i < box.size(); ++i) {
        if (ref.Ref[1] == kRefTag && box[i].ref == ref.Ref[0]) return static_cast<int>(i);
    }
    return -1;
}

std::string refText(vimRef ref) { return num(ref.Ref[0]) + ":" + num(ref.Ref[1]); }

// ---- the thirty operations ------------------------------------------------------------------

vimStatus VIMAPIENTRY fInitialize() {
    vimStatus st = call("Initialize", "");
    if (st == 0) ++state().started;
    return st;
}

vimStatus VIMAPIENTRY fQueryCapability(vimSelector sel, vimWord size, vimDataPtr data) {
    vimStatus st = call("QueryCapability", num(sel) + "," + num(size));
    if (st == 0 && data != nullptr && size >= 4) std::memcpy(data, &state().script.version, 4);
    return st;
}

vimStatus VIMAPIENTRY fGetDefaultSessionInfo(vimWord sizePath, vimStringPtr path, vimWord sizeName, vimStringPtr name) {
    vimStatus st = call("GetDefaultSessionInfo", num(sizePath) + "," + num(sizeName));
    if (st == 0) {
        putText(path, sizePath, state().script.defaultPostOffice);
        putText(name, sizeName, state().script.defaultUser);
    }
    return st;
}

vimStatus VIMAPIENTRY fOpenSession(vimStringPtr po, vimStringPtr user, vimStringPtr pw, vimDWord version,
                                   vimSelector charset, vimSesPtr out) {
    vimStatus st = call("OpenSession", text(po) + "," + text(user) + "," + text(pw) + "," + num(version) + "," +
                                           num(charset));
    if (st == 0) {
        *out = handle(kSession);
        state().open.insert(kSession);
    } else {
        *out = handle(0xBAD);  // a library may leave anything behind when it refuses
    }
    return st;
}

vimStatus VIMAPIENTRY fGetEntityName(vimSes ses, vimDistinguishedNamePtr name) {
    vimStatus st = call("GetEntityName", hex(ses));
    if (st == 0 && name != nullptr) putText(name->Value, sizeof name->Value, "anna");
    return st;
}

vimStatus VIMAPIENTRY fCloseSession(vimSes ses) {
    vimStatus st = call("CloseSession", hex(ses));
    state().open.erase(value(ses));
    return st;
}

vimStatus VIMAPIENTRY fTerminate() {
    vimStatus st = call("Terminate", "");
    if (state().started > 0) --state().started;
    return st;
}

vimStatus VIMAPIENTRY fCreateMessage(vimSes ses, vimStringPtr type, vimMsgPtr out) {
    vimStatus st = call("CreateMessage", hex(ses) + "," + text(type));
    if (st == 0) {
        uintptr_t h = state().nextMessage++;
        state().open.insert(h);
        state().messageOf[h] = -1;
        *out = handle(h);
    }
    return st;
}

vimStatus VIMAPIENTRY fSetMessageHeader(vimMsg msg, vimSelector attr, vimWord size, vimDataPtr data) {
    std::string shown;
    if (attr == VIMSEL_SUBJECT) {
        shown = std::string(static_cast<const char*>(data), size);
    } else if (size == 2) {
        vimWord v = 0;
        std::memcpy(&v, data, 2);
        shown = "=" + num(v);
    }
    return call("SetMessageHeader", hex(msg) + "," + num(attr) + "," + num(size) + "," + shown);
}

vimStatus VIMAPIENTRY fSetMessageRecipient(vimMsg msg, vimSelector cls, vimRecipientPtr r) {
    const std::string shown = num(r->Type) + "," + num(r->DName.Type) + "," + r->DName.Value + "," +
                              num(r->Address.Type) + "," + r->Address.Value;
    vimStatus st = call("SetMessageRecipient", hex(msg) + "," + num(cls) + "," + shown);
    if (st == 0) state().added.push_back(num(cls) + ":" + shown);
    return st;
}

vimStatus VIMAPIENTRY fSetMessageItem(vimMsg msg, vimSelector cls, vimStringPtr type, vimSelector flags,
                                      vimStringPtr name, vimBuffFileDescPtr desc) {
    std::string body = desc->Buffer != nullptr ? std::string(static_cast<const char*>(desc->Buffer), desc->Size) : "";
    return call("SetMessageItem", hex(msg) + "," + num(cls) + "," + text(type) + "," + num(flags) + "," + text(name) +
                                      "," + num(desc->Size) + "," + body);
}

vimStatus VIMAPIENTRY fSendMessage(vimMsg msg, vimDataPtr parm, vimSendCallback cb) {
    vimStatus st = call("SendMessage", hex(msg) + "," + (parm ? "parm" : "null") + "," + (cb ? "cb" : "null"));
    if (st == 0) state().open.erase(value(msg));
    return st;
}

vimStatus VIMAPIENTRY fCloseMessage(vimMsg msg) {
    vimStatus st = call("CloseMessage", hex(msg));
    state().open.erase(value(msg));
    return st;
}

vimStatus VIMAPIENTRY fOpenMessageContainer(vimSes ses, vimStringPtr name, vimMsgContainerPtr out) {
    vimStatus st = call("OpenMessageContainer", hex(ses) + "," + text(name));
    if (st == 0) {
        *out = handle(kContainer);
        state().open.insert(kContainer);
    }
    return st;
}

vimStatus VIMAPIENTRY fEnumerateMessages(vimMsgContainer c, vimEnumRefPtr pos, vimInt skip, vimWord attrCount,
                                         vimAttrDescPtr attrs, vimWordPtr pCount, vimSelector filter,
                                         vimDataPtr filterData, vimDWord flags, vimBoolPtr pMore) {
    vimStatus st = call("EnumerateMessages", hex(c) + ",pos=" + num(pos->Ref[0]) + "," + num(skip) + "," +
                                                 num(attrCount) + "," + descriptors(attrCount, attrs) +
                                                 ",count=" + num(*pCount) + "," + num(filter) + "," +
                                                 (filterData ? "data" : "null") + "," + num(flags));
    if (st != 0) {
        *pCount = 0;
        *pMore = 0;
        return st;
    }
    const auto& box = state().script.mailbox;
    size_t first = 0;
    const size_t n = deliver(pos, pCount, pMore, box.size(), first);
    for (size_t k = 0; k < n; ++k) {
        const Message& m = box[first + k];
        for (vimWord a = 0; a < attrCount; ++a) {
            char* element = static_cast<char*>(attrs[a].Buffer) + k * attrs[a].Size;
            switch (attrs[a].Attr) {
                case VIMSEL_REF: { vimRef r = refOf(m.ref); std::memcpy(element, &r, sizeof r); break; }
                case VIMSEL_UNREAD_MAIL: std::memcpy(element, &m.unread, 2); break;
                case VIMSEL_FROM: { vimRecipient r = recipientOf(m.from); std::memcpy(element, &r, sizeof r); break; }
                case VIMSEL_PRIORITY: std::memcpy(element, &m.priority, 2); break;
                case VIMSEL_SUBJECT: putText(element, attrs[a].Size, m.subject); break;
                case VIMSEL_DATE: std::memcpy(element, &m.date, sizeof m.date); break;
                case VIMSEL_MSG_LEN: std::memcpy(element, &m.size, 4); break;
                default: break;
            }
        }
    }
    return st;
}

vimStatus VIMAPIENTRY fEnumerateMsgAttrValues(vimMsgContainer c, vimSelector sel, vimEnumRefPtr pos, vimInt skip,
                                              vimWord size, vimStringPtr buffer, vimWordPtr pCount, vimBoolPtr pMore) {
    vimStatus st = call("EnumerateMsgAttrValues", hex(c) + "," + num(sel) + ",pos=" + num(pos->Ref[0]) + "," +
                                                      num(skip) + "," + num(size) + ",count=" + num(*pCount));
    if (st != 0) {
        *pCount = 0;
        *pMore = 0;
        return st;
    }
    const auto& names = state().script.containerNames;
    size_t first = 0;
    const size_t n = deliver(pos, pCount, pMore, names.size(), first);
    for (size_t k = 0; k < n; ++k) putText(buffer + k * size, size, names[first + k]);
    return st;
}

vimStatus VIMAPIENTRY fCloseMessageContainer(vimMsgContainer c) {
    vimStatus st = call("CloseMessageContainer", hex(c));
    state().open.erase(value(c));
    return st;
}

vimStatus VIMAPIENTRY fOpenMessage(vimMsgContainer c, vimRef ref, vimStringPtr key, vimMsgPtr out) {
    vimStatus st = call("OpenMessage", hex(c) + ",ref=" + refText(ref) + "," + text(key));
    if (st != 0) return st;
    const int index = findMessage(ref);
    if (index < 0) return VIMSTS_INVALID_OBJECT;
    uintptr_t h = state().nextMessage++;
    state().open.insert(h);
    state().messageOf[h] = index;
    *out = handle(h);
    return st;
}

vimStatus VIMAPIENTRY fMarkMessageAsRead(vimMsgContainer c, vimRef ref) {
    vimStatus st = call("MarkMessageAsRead", hex(c) + ",ref=" + refText(ref));
    if (st == 0 && findMessage(ref) < 0) return VIMSTS_INVALID_OBJECT;
    return st;
}

vimStatus VIMAPIENTRY fEnumerateMessageItems(vimMsg msg, vimEnumRefPtr pos, vimInt skip, vimWordPtr pCount,
                                             vimItemDescPtr desc, vimSelector filter, vimDataPtr filterData,
                                             vimBoolPtr pMore) {
    vimStatus st = call("EnumerateMessageItems", hex(msg) + ",pos=" + num(pos->Ref[0]) + "," + num(skip) +
                                                     ",count=" + num(*pCount) + "," + num(filter) + "," +
                                                     (filterData ? "data" : "null"));
    if (st != 0) {
        *pCount = 0;
        *pMore = 0;
        return st;
    }
    const Message& m = state().script.mailbox.at(state().messageOf.at(value(msg)));
    size_t first = 0;
    const size_t n = deliver(pos, pCount, pMore, m.items.size(), first);
    for (size_t k = 0; k < n; ++k) {
        vimItemDesc& d = desc[k];
        std::memset(&d, 0, sizeof d);
        d.Class = m.items[first + k].cls;
        putText(d.Name, sizeof d.Name, m.items[first + k].name);
        d.Ref.Ref[0] = static_cast<vimDWord>(first + k);
        d.Ref.Ref[1] = kItemTag;
    }
    return st;
}

vimStatus VIMAPIENTRY fOpenMessageItem(vimMsg msg, vimRef ref, vimStringPtr type, vimSelector flags, vimMsgItemPtr out) {
    vimStatus st = call("OpenMessageItem", hex(msg) + ",item=" + num(ref.Ref[0]) + "," + text(type) + "," + num(flags));
    if (st != 0) return st;
    uintptr_t h = state().nextItem++;
    state().open.insert(h);
    state().items[h] = OpenItem{state().messageOf.at(value(msg)), static_cast<int>(ref.Ref[0]), 0};
    *out = handle(h);
    return st;
}

vimStatus VIMAPIENTRY fReadMessageItem(vimMsgItem item, vimBuffFileDescPtr desc) {
    vimStatus st = call("ReadMessageItem", hex(item) + "," + num(desc->Size));
    if (st != 0) return st;
    OpenItem& open = state().items.at(value(item));
    const std::string& all = state().script.mailbox.at(open.message).items.at(open.item).text;
    const size_t n = std::min<size_t>(desc->Size, all.size() - std::min(open.offset, all.size()));
    std::memcpy(desc->Buffer, all.data() + open.offset, n);
    open.offset += n;
    desc->Size = static_cast<vimDWord>(n);
    return st;
}

vimStatus VIMAPIENTRY fCloseMessageItem(vimMsgItem item) {
    vimStatus st = call("CloseMessageItem", hex(item));
    state().open.erase(value(item));
    return st;
}

vimStatus VIMAPIENTRY fEnumerateMessageRecipients(vimMsg msg, vimSelector cls, vimEnumRefPtr pos, vimInt skip,
                                                  vimWord attrCount, vimAttrDescPtr attrs, vimWordPtr pCount,
                                                  vimBoolPtr pMore) {
    vimStatus st = call("EnumerateMessageRecipients", hex(msg) + "," + num(cls) + ",pos=" + num(pos->Ref[0]) + "," +
                                                          num(skip) + "," + num(attrCount) + "," +
                                                          descriptors(attrCount, attrs) + ",count=" + num(*pCount));
    if (st != 0) {
        *pCount = 0;
        *pMore = 0;
        return st;
    }
    const Message& m = state().script.mailbox.at(state().messageOf.at(value(msg)));
    static const std::vector<Person> none;
    auto it = m.recipients.find(cls);
    const std::vector<Person>& list = it != m.recipients.end() ? it->second : none;
    size_t first = 0;
    const size_t n = deliver(pos, pCount, pMore, list.size(), first);
    for (size_t k = 0; k < n; ++k) {
        vimRecipient r = recipientOf(list[first + k]);
        std::memcpy(static_cast<char*>(attrs[0].Buffer) + k * attrs[0].Size, &r, sizeof r);
    }
    return st;
}

vimStatus VIMAPIENTRY fEnumerateAddressBooks(vimSes ses, vimEnumRefPtr pos, vimInt skip, vimWord attrCount,
                                             vimAttrDescPtr attrs, vimWordPtr pCount, vimBoolPtr pMore) {
    vimStatus st = call("EnumerateAddressBooks", hex(ses) + ",pos=" + num(pos->Ref[0]) + "," + num(skip) + "," +
                                                     num(attrCount) + "," + descriptors(attrCount, attrs) +
                                                     ",count=" + num(*pCount));
    if (st != 0) {
        *pCount = 0;
        *pMore = 0;
        return st;
    }
    const auto& books = state().script.books;
    size_t first = 0;
    const size_t n = deliver(pos, pCount, pMore, books.size(), first);
    for (size_t k = 0; k < n; ++k) {
        putText(static_cast<char*>(attrs[0].Buffer) + k * attrs[0].Size, attrs[0].Size, books[first + k].name);
    }
    return st;
}

vimStatus VIMAPIENTRY fOpenAddressBook(vimSes ses, vimStringPtr name, vimAddressBookPtr out) {
    vimStatus st = call("OpenAddressBook", hex(ses) + "," + text(name));
    if (st != 0) return st;
    const auto& books = state().script.books;
    for (size_t i = 0; i < books.size(); ++i) {
        if (name != nullptr && books[i].name == name) {
            uintptr_t h = state().nextBook++;
            state().open.insert(h);
            state().bookOf[h] = static_cast<int>(i);
            *out = handle(h);
            return st;
        }
    }
    return VIMSTS_NAME_NOT_FOUND;
}

vimStatus VIMAPIENTRY fMatchAddressBook(vimAddressBook book, vimRef subtree, vimStringPtr subtreeName,
                                        vimSelector attr, vimDataPtr data, vimSelector ft, vimRefPtr pRef,
                                        vimEnumRefPtr pEnum) {
    const char* wanted = static_cast<const char*>(data);
    vimStatus st = call("MatchAddressBook", hex(book) + "," + refText(subtree) + "," + text(subtreeName) + "," +
                                                num(attr) + "," + text(wanted) + "," + num(ft) + "," +
                                                (pEnum ? "enum" : "null"));
    if (st != 0) return st;
    const Book& b = state().script.books.at(state().bookOf.at(value(book)));
    for (size_t i = 0; i < b.entries.size(); ++i) {
        if (::strcasecmp(b.entries[i].name.c_str(), wanted) == 0) {
            pRef->Ref[0] = static_cast<vimDWord>(state().bookOf.at(value(book)));
            pRef->Ref[1] = static_cast<vimDWord>(i);
            return st;
        }
    }
    return VIMSTS_NO_MATCH;
}

vimStatus VIMAPIENTRY fGetABEntryAttributes(vimAddressBook book, vimRef ref, vimStringPtr name, vimWord count,
                                            vimAttrDescPtr attrs) {
    vimStatus st = call("GetABEntryAttributes", hex(book) + ",entry=" + refText(ref) + "," + text(name) + "," +
                                                    num(count) + "," + descriptors(count, attrs));
    if (st != 0) return st;
    const Entry& e = state().script.books.at(ref.Ref[0]).entries.at(ref.Ref[1]);
    for (vimWord a = 0; a < count; ++a) {
        if (attrs[a].Attr == VIMSEL_NAME) putText(attrs[a].Buffer, attrs[a].Size, e.name);
        if (attrs[a].Attr == VIMSEL_ADDRESS) {
            vimAddress* address = static_cast<vimAddress*>(attrs[a].Buffer);
            address->Type = VIMSEL_NATIVE;
            putText(address->Value, sizeof address->Value, e.address);
        }
        if (attrs[a].Attr == VIMSEL_COMMENTS) putText(attrs[a].Buffer, attrs[a].Size, "comment");
    }
    return st;
}

vimStatus VIMAPIENTRY fCloseAddressBook(vimAddressBook book) {
    vimStatus st = call("CloseAddressBook", hex(book));
    state().open.erase(value(book));
    return st;
}

vimStatus VIMAPIENTRY fSetMessageCategory(vimMsgContainer c, vimRef ref, vimStringPtr name) {
    vimStatus st = call("SetMessageCategory", hex(c) + ",ref=" + refText(ref) + "," + text(name));
    if (st == 0 && findMessage(ref) < 0) return VIMSTS_INVALID_OBJECT;
    return st;
}

}  // namespace

Script& script() { return state().script; }
std::vector<std::string>& calls() { return state().calls; }
std::set<uintptr_t>& openHandles() { return state().open; }
int& started() { return state().started; }
std::vector<std::string>& addedRecipients() { return state().added; }

std::vector<std::string> callsOf(const std::string& op) {
    std::vector<std::string> out;
    for (const std::string& c : calls()) {
        if (c.rfind(op + "(", 0) == 0) out.push_back(c);
    }
    return out;
}

std::vector<std::string> callNames() {
    std::vector<std::string> out;
    for (const std::string& c : calls()) out.push_back(c.substr(0, c.find('(')));
    return out;
}

void reset() { state() = State(); }

vimRef refOf(uint32_t ref) {
    vimRef r;
    r.Ref[0] = ref;
    r.Ref[1] = kRefTag;
    return r;
}

VimFunctions functions() {
    VimFunctions f;
    f.Initialize = fInitialize;
    f.QueryCapability = fQueryCapability;
    f.GetDefaultSessionInfo = fGetDefaultSessionInfo;
    f.OpenSession = fOpenSession;
    f.GetEntityName = fGetEntityName;
    f.CloseSession = fCloseSession;
    f.Terminate = fTerminate;
    f.CreateMessage = fCreateMessage;
    f.SetMessageHeader = fSetMessageHeader;
    f.SetMessageRecipient = fSetMessageRecipient;
    f.SetMessageItem = fSetMessageItem;
    f.SendMessage = fSendMessage;
    f.CloseMessage = fCloseMessage;
    f.OpenMessageContainer = fOpenMessageContainer;
    f.EnumerateMessages = fEnumerateMessages;
    f.EnumerateMsgAttrValues = fEnumerateMsgAttrValues;
    f.CloseMessageContainer = fCloseMessageContainer;
    f.OpenMessage = fOpenMessage;
    f.MarkMessageAsRead = fMarkMessageAsRead;
    f.EnumerateMessageItems = fEnumerateMessageItems;
    f.OpenMessageItem = fOpenMessageItem;
    f.ReadMessageItem = fReadMessageItem;
    f.CloseMessageItem = fCloseMessageItem;
    f.EnumerateMessageRecipients = fEnumerateMessageRecipients;
    f.EnumerateAddressBooks = fEnumerateAddressBooks;
    f.OpenAddressBook = fOpenAddressBook;
    f.MatchAddressBook = fMatchAddressBook;
    f.GetABEntryAttributes = fGetABEntryAttributes;
    f.CloseAddressBook = fCloseAddressBook;
    f.SetMessageCategory = fSetMessageCategory;
    return f;
}

}  // namespace fakevim
