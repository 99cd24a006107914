#include "common/Native.h"

#include "common/Attributes.h"

namespace vesk::vim32 {

std::string nativeAddress(const PostOffice& office, const std::string& address) {
    const User* user = address.empty() ? nullptr : office.userByAddress(address);
    return user != nullptr ? user->name : address;
}

vimRecipient recipientOf(const PostOffice& office, const store::Address& who) {
    return makeRecipient(VIMSEL_UNKNOWN_RECIP_TYPE, who.name, nativeAddress(office, who.address));
}

}  // namespace vesk::vim32
