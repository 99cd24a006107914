// Sessions: a user of a post office, logged on with the password its salted hash checks.
#include <string>

#include "common/Attributes.h"
#include "common/Closing.h"
#include "common/Handles.h"
#include "common/Passwords.h"
#include "common/PostOffice.h"
#include "common/Settings.h"
#include "store/ProblemLog.h"

using namespace vesk::vim32;
namespace store = vesk::store;

namespace {

vimStatus refuse(vimStatus status, const std::string& subject, const std::string& reason) {
    store::logProblem("vim32", subject, reason);
    return status;
}

vimStatus openSession(const char* pathSpec, const char* name, const char* password, vimDWord version,
                      vimSelector charSet, vimSes* session) {
    if (session == nullptr || name == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    *session = nullptr;
    if (startCount() == 0) return VIMSTS_FAILURE;
    if (version > VIM_CURRENT_VERSION) return VIMSTS_UNSUP_VERSION;
    if (charSet != VIMSEL_CP1252 && charSet != VIMSEL_NATIVE) return VIMSTS_CONV_NOT_SUPPORTED;

    std::string given = pathSpec != nullptr ? pathSpec : "";
    if (given.empty()) {
        std::optional<DefaultLogin> login = defaultLogin();
        if (!login) return refuse(VIMSTS_OPEN_FAILURE, "HKEY_CURRENT_USER\\Software\\Vesk\\VIM",
                                  "no post office path was given and the registry names no default PostOffice");
        given = login->postOffice;
    }
    const std::string folder = resolvePostOfficePath(given);
    PostOfficeError error = PostOfficeError::None;
    std::optional<PostOffice> office = loadPostOffice(folder, error);
    if (!office) {
        if (error == PostOfficeError::Missing) {
            return refuse(VIMSTS_OPEN_FAILURE, folder, std::string("no post office here: ") + kPostOfficeFile + " is missing");
        }
        return VIMSTS_INVALID_CONFIGURATION;  // the section at fault is logged already
    }
    const User* user = nullptr;
    for (const User& candidate : office->users) {
        if (equalsNoCase(candidate.name, name)) user = &candidate;
    }
    const std::string file = folder + "/" + kPostOfficeFile;
    if (user == nullptr) return refuse(VIMSTS_NAME_NOT_FOUND, file, "no user named \"" + std::string(name) + "\"");
    switch (checkPassword(password != nullptr ? password : "", user->passwordHash)) {
        case PasswordCheck::Match:
            break;
        case PasswordCheck::Mismatch:
            return refuse(VIMSTS_INVALID_PASSWORD, file + " [User " + user->name + "]", "wrong password");
        case PasswordCheck::NotAHash:
            return refuse(VIMSTS_INVALID_CONFIGURATION, file + " [User " + user->name + "]",
                          "Password is not a salted hash (set it with vim32-postoffice passwd)");
    }
    auto opened = store::openMailbox(user->mailbox);
    if (!opened) {
        return refuse(VIMSTS_OPEN_FAILURE, user->mailbox.name(),
                      std::string("the mailbox of user ") + user->name + " cannot be opened: " +
                          store::describe(opened.status()));
    }
    auto object = std::make_unique<Session>();
    object->user = *user;
    object->office = std::move(*office);
    object->store = std::move(*opened);
    return handOut(std::move(object), nullptr, session);
}

}  // namespace

extern "C" {

vimStatus VIMAPIENTRY VIMOpenSession(vimStringPtr psPathSpec, vimStringPtr psName, vimStringPtr psPass,
                                     vimDWord dwVersion, vimSelector selCharSet, vimSesPtr pSession) {
    return guarded([&] { return openSession(psPathSpec, psName, psPass, dwVersion, selCharSet, pSession); });
}

vimStatus VIMAPIENTRY VIMCloseSession(vimSes session) {
    return guarded([&] { return closeHandle(session, Kind::Session); });
}

vimStatus VIMAPIENTRY VIMGetEntityName(vimSes session, vimDistinguishedNamePtr pDistName) {
    return guarded([&] {
        Session* s = find<Session>(session, Kind::Session);
        if (s == nullptr) return vimStatus(VIMSTS_INVALID_OBJECT);
        if (pDistName == nullptr) return vimStatus(VIMSTS_ALL_PARAMS_REQUIRED);
        *pDistName = vimDistinguishedName{};
        pDistName->Type = VIMSEL_NATIVE;
        copyText(pDistName->AddressBook, sizeof pDistName->AddressBook, s->office.name);
        copyText(pDistName->Value, sizeof pDistName->Value, s->user.name);
        return vimStatus(VIMSTS_SUCCESS);
    });
}

}  // extern "C"
