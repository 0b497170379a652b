#include "platform/io_status.h"

#include <cstring>

TIoStatus TIoStatus::FromErrno(const std::string& what, int err) {
    return Failure(what + ": " + std::strerror(err));
}
