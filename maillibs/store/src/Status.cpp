#include "store/Status.h"

namespace vesk::store {

const char* describe(Status status) {
    switch (status) {
    case Status::Ok: return "ok";
    case Status::InvalidArgument: return "invalid argument";
    case Status::NotFound: return "not found";
    case Status::Exists: return "already exists";
    case Status::IoError: return "input/output error";
    case Status::ParseError: return "not a readable message";
    case Status::OutOfMemory: return "out of memory";
    }
    return "unknown status";
}

}  // namespace vesk::store
