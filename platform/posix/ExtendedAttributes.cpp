#include "ExtendedAttributes.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/xattr.h>

namespace {

// The largest list of names and the largest value that Linux keeps for one
// file, kept off the stack and allocated once.
constexpr std::size_t AttributeBytesMax = 64 * 1024;
char ExistingNames[AttributeBytesMax];
char MadeNames[AttributeBytesMax];
char Value[AttributeBytesMax];
char MadeValue[AttributeBytesMax];

bool ListsName(const char* names, ssize_t size, const char* name) {
    for (const char* p = names; p < names + size; p += std::strlen(p) + 1) {
        if (std::strcmp(p, name) == 0) {
            return true;
        }
    }
    return false;
}

// A file system that keeps no extended attributes has none to keep.
bool NoAttributesHere(int error) {
    return error == ENOTSUP || error == ENOSYS;
}

} // namespace

bool KeepExtendedAttributes(int descriptor, const char* existingPath) {
    ssize_t namesSize = listxattr(existingPath, ExistingNames, sizeof ExistingNames);
    if (namesSize < 0) {
        if (!NoAttributesHere(errno)) {
            return false;
        }
        namesSize = 0;
    }
    for (const char* name = ExistingNames; name < ExistingNames + namesSize;
         name += std::strlen(name) + 1) {
        const ssize_t size = getxattr(existingPath, name, Value, sizeof Value);
        if (size < 0) {
            return false;
        }
        if (fsetxattr(descriptor, name, Value, static_cast<std::size_t>(size), 0) != 0 &&
            (fgetxattr(descriptor, name, MadeValue, sizeof MadeValue) != size ||
             std::memcmp(Value, MadeValue, static_cast<std::size_t>(size)) != 0)) {
            return false;
        }
    }
    const ssize_t madeSize = flistxattr(descriptor, MadeNames, sizeof MadeNames);
    if (madeSize < 0) {
        return NoAttributesHere(errno);
    }
    for (const char* name = MadeNames; name < MadeNames + madeSize; name += std::strlen(name) + 1) {
        if (!ListsName(ExistingNames, namesSize, name) && fremovexattr(descriptor, name) != 0) {
            return false;
        }
    }
    return true;
}
