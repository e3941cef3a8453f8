#include "platform/linux/windows_error_from_errno.h"

#include <errno.h>

#include "platform/windows_errors.h"

namespace korvant::platform {

std::uint32_t WindowsErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return kErrorSuccess;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kErrorAccessDenied;
    case EROFS:
      return kErrorWriteProtect;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrorDiskFull;
    case EEXIST:
      return kErrorAlreadyExists;
    case ENOTEMPTY:
      return kErrorDirNotEmpty;
    case ENAMETOOLONG:
      return kErrorFilenameExcedRange;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case EBADF:
      return kErrorInvalidHandle;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case EINVAL:
      return kErrorInvalidParameter;
    case EIO:
      return kErrorIoDevice;
    case ELOOP:
      return kErrorCantResolveFilename;
    default:
      return kErrorInvalidFunction;
  }
}

}  // namespace korvant::platform
