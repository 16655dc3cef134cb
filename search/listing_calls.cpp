#include "search/listing_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace doze {

const ListingCalls& SystemListingCalls() {
    static const ListingCalls calls = {
        [](int dirFd, const char* path, int flags) { return ::openat(dirFd, path, flags); },
        [](int fd, void* buffer, std::size_t size) { return ::getdents64(fd, buffer, size); },
        ::fstat,
        ::fstatat,
        ::close,
    };
    return calls;
}

}  // namespace doze
