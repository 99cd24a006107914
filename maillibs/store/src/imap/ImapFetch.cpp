#include "ImapFetch.h"

#include <libetpan/libetpan.h>

#include <strings.h>

#include <cstring>
#include <memory>

#include "Flags.h"

namespace vesk::store::detail {
namespace {

// The letters and the IMAP flags they stand for.
struct FlagPair {
    char letter;
    int type;
    const char* keyword;
};
constexpr FlagPair kFlags[] = {
    {'D', MAILIMAP_FLAG_DRAFT, nullptr},    {'F', MAILIMAP_FLAG_FLAGGED, nullptr},
    {'P', MAILIMAP_FLAG_KEYWORD, "$Forwarded"}, {'R', MAILIMAP_FLAG_ANSWERED, nullptr},
    {'S', MAILIMAP_FLAG_SEEN, nullptr},     {'T', MAILIMAP_FLAG_DELETED, nullptr},
};

char letterOf(const mailimap_flag* f) {
    for (const FlagPair& p : kFlags) {
        if (p.type != f->fl_type) continue;
        if (!p.keyword) return p.letter;
        if (f->fl_data.fl_keyword && ::strcasecmp(f->fl_data.fl_keyword, p.keyword) == 0) return p.letter;
    }
    return 0;
}

std::time_t utcOf(const mailimap_date_time* d) {
    std::tm t{};
    t.tm_year = d->dt_year - 1900;
    t.tm_mon = d->dt_month - 1;
    t.tm_mday = d->dt_day;
    t.tm_hour = d->dt_hour;
    t.tm_min = d->dt_min;
    t.tm_sec = d->dt_sec;
    int zone = d->dt_zone < 0 ? -d->dt_zone : d->dt_zone;
    long offset = (zone / 100) * 3600L + (zone % 100) * 60L;
    if (d->dt_zone < 0) offset = -offset;
    return ::timegm(&t) - offset;
}

Fetched read(const mailimap_msg_att* att) {
    Fetched out;
    for (clistiter* it = clist_begin(att->att_list); it; it = clist_next(it)) {
        auto* item = static_cast<mailimap_msg_att_item*>(clist_content(it));
        if (item->att_type == MAILIMAP_MSG_ATT_ITEM_DYNAMIC && item->att_data.att_dyn) {
            out.hasFlags = true;
            std::string letters;
            clist* flags = item->att_data.att_dyn->att_list;
            for (clistiter* f = flags ? clist_begin(flags) : nullptr; f; f = clist_next(f)) {
                auto* ff = static_cast<mailimap_flag_fetch*>(clist_content(f));
                if (ff->fl_type != MAILIMAP_FLAG_FETCH_OTHER || !ff->fl_flag) continue;
                if (char c = letterOf(ff->fl_flag)) letters += c;
            }
            out.flags = normaliseFlags(letters);
        } else if (item->att_type == MAILIMAP_MSG_ATT_ITEM_STATIC && item->att_data.att_static) {
            const mailimap_msg_att_static* s = item->att_data.att_static;
            switch (s->att_type) {
            case MAILIMAP_MSG_ATT_UID: out.uid = s->att_data.att_uid; break;
            case MAILIMAP_MSG_ATT_INTERNALDATE:
                if (s->att_data.att_internal_date) out.internalDate = utcOf(s->att_data.att_internal_date);
                break;
            case MAILIMAP_MSG_ATT_RFC822_SIZE: out.size = s->att_data.att_rfc822_size; break;
            case MAILIMAP_MSG_ATT_BODY_SECTION:
                if (const mailimap_msg_att_body_section* b = s->att_data.att_body_section) {
                    out.hasBody = true;
                    if (b->sec_body_part) out.body.assign(b->sec_body_part, b->sec_length);
                }
                break;
            default: break;
            }
        }
    }
    return out;
}

struct SetFree {
    void operator()(mailimap_set* s) const { mailimap_set_free(s); }
};
struct FetchTypeFree {
    void operator()(mailimap_fetch_type* t) const { mailimap_fetch_type_free(t); }
};

}  // namespace

mailimap_set* uidSet(const std::vector<std::uint32_t>& uids) {
    if (uids.empty()) return mailimap_set_new_interval(1, 0);
    mailimap_set* set = mailimap_set_new_empty();
    // Runs of consecutive UIDs become ranges, which keeps a command for thousands short.
    for (std::size_t i = 0; i < uids.size();) {
        std::size_t j = i;
        while (j + 1 < uids.size() && uids[j + 1] == uids[j] + 1) ++j;
        if (j == i) mailimap_set_add_single(set, uids[i]);
        else mailimap_set_add_interval(set, uids[i], uids[j]);
        i = j + 1;
    }
    return set;
}

std::uint32_t firstOf(const mailimap_set* set) {
    if (!set || !set->set_list) return 0;
    clistiter* it = clist_begin(set->set_list);
    if (!it) return 0;
    return static_cast<mailimap_set_item*>(clist_content(it))->set_first;
}

namespace {

int fetchSet(mailimap* imap, std::unique_ptr<mailimap_set, SetFree> set, FetchWhat what, std::uint64_t changedSince,
             const std::function<void(Fetched&&)>& each) {
    std::unique_ptr<mailimap_fetch_type, FetchTypeFree> type(mailimap_fetch_type_new_fetch_att_list_empty());
    mailimap_fetch_type_new_fetch_att_list_add(type.get(), mailimap_fetch_att_new_uid());
    if (what == FetchWhat::Listing) {
        mailimap_fetch_type_new_fetch_att_list_add(type.get(), mailimap_fetch_att_new_flags());
        mailimap_fetch_type_new_fetch_att_list_add(type.get(), mailimap_fetch_att_new_internaldate());
        mailimap_fetch_type_new_fetch_att_list_add(type.get(), mailimap_fetch_att_new_rfc822_size());
    } else {
        mailimap_fetch_type_new_fetch_att_list_add(type.get(),
                                                   mailimap_fetch_att_new_body_peek_section(mailimap_section_new(nullptr)));
    }
    clist* result = nullptr;
    int rc = changedSince != 0 ? mailimap_uid_fetch_changedsince(imap, set.get(), type.get(), changedSince, &result)
                               : mailimap_uid_fetch(imap, set.get(), type.get(), &result);
    if (rc != MAILIMAP_NO_ERROR) return rc;
    for (clistiter* it = clist_begin(result); it; it = clist_next(it)) {
        Fetched f = read(static_cast<mailimap_msg_att*>(clist_content(it)));
        if (f.uid != 0) each(std::move(f));
    }
    mailimap_fetch_list_free(result);
    return rc;
}

}  // namespace

int uidFetch(mailimap* imap, const std::vector<std::uint32_t>& uids, FetchWhat what, std::uint64_t changedSince,
             const std::function<void(Fetched&&)>& each) {
    return fetchSet(imap, std::unique_ptr<mailimap_set, SetFree>(uidSet(uids)), what, changedSince, each);
}

int uidFetchFrom(mailimap* imap, std::uint32_t first, FetchWhat what, const std::function<void(Fetched&&)>& each) {
    return fetchSet(imap, std::unique_ptr<mailimap_set, SetFree>(mailimap_set_new_interval(first, 0)), what, 0, each);
}

mailimap_flag_list* imapFlags(std::string_view letters) {
    mailimap_flag_list* list = mailimap_flag_list_new_empty();
    for (const FlagPair& p : kFlags) {
        if (letters.find(p.letter) == std::string_view::npos) continue;
        mailimap_flag* f = nullptr;
        switch (p.type) {
        case MAILIMAP_FLAG_DRAFT: f = mailimap_flag_new_draft(); break;
        case MAILIMAP_FLAG_FLAGGED: f = mailimap_flag_new_flagged(); break;
        case MAILIMAP_FLAG_ANSWERED: f = mailimap_flag_new_answered(); break;
        case MAILIMAP_FLAG_SEEN: f = mailimap_flag_new_seen(); break;
        case MAILIMAP_FLAG_DELETED: f = mailimap_flag_new_deleted(); break;
        default: f = mailimap_flag_new_flag_keyword(::strdup(p.keyword)); break;
        }
        if (f) mailimap_flag_list_add(list, f);
    }
    return list;
}

std::string mappedLetters(std::string_view letters) {
    std::string out;
    for (const FlagPair& p : kFlags) {
        if (letters.find(p.letter) != std::string_view::npos) out += p.letter;
    }
    return out;
}

int uidStoreFlags(mailimap* imap, std::uint32_t uid, std::string_view letters, bool add) {
    if (mappedLetters(letters).empty()) return MAILIMAP_NO_ERROR;
    mailimap_flag_list* flags = imapFlags(letters);
    mailimap_store_att_flags* att = add ? mailimap_store_att_flags_new_add_flags_silent(flags)
                                        : mailimap_store_att_flags_new_remove_flags_silent(flags);
    std::unique_ptr<mailimap_set, SetFree> set(mailimap_set_new_single(uid));
    int rc = mailimap_uid_store(imap, set.get(), att);
    mailimap_store_att_flags_free(att);
    return rc;
}

}  // namespace vesk::store::detail
