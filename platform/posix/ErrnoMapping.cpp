#include "platform/posix/ErrnoMapping.h"

#include <cerrno>

namespace platform::posix {

DWORD OpenErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENXIO:   // a device node without a device behind it
    case ENODEV:
    case EIO:     // a legacy port without a UART
    case ELOOP:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EBUSY:        // TIOCEXCL held by another process
    case EWOULDBLOCK:  // the lock held by another process
      return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EROFS:
      return ERROR_WRITE_PROTECT;
    default:
      return ERROR_GEN_FAILURE;
  }
}

DWORD IoErrorFromErrno(int error) {
  switch (error) {
    case EIO:  // hung up: the adapter was unplugged or the other side closed
      return ERROR_GEN_FAILURE;
    case ENODEV:
    case ENXIO:
      return ERROR_DEVICE_NOT_CONNECTED;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
    case ERANGE:
      return ERROR_INVALID_PARAMETER;
    case ENOTTY:
      return ERROR_INVALID_FUNCTION;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    default:
      return ERROR_GEN_FAILURE;
  }
}

}  // namespace platform::posix
