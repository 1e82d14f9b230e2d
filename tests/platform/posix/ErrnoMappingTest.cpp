// errno values as the codes Windows gives for the same situation: each one checked, since a
// caller tells a missing port from a busy one, and a vanished line from a bad argument, by them.
#include "platform/posix/ErrnoMapping.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using namespace platform;
using namespace platform::posix;

TEST(ErrnoMappingTest, OpeningTellsAMissingDeviceFromABusyOne) {
  const struct {
    int error;
    DWORD code;
  } cases[] = {
      {ENOENT, ERROR_FILE_NOT_FOUND},       {ENXIO, ERROR_FILE_NOT_FOUND},        {ENODEV, ERROR_FILE_NOT_FOUND},
      {EIO, ERROR_FILE_NOT_FOUND},          {ELOOP, ERROR_FILE_NOT_FOUND},        {ENOTDIR, ERROR_PATH_NOT_FOUND},
      {EACCES, ERROR_ACCESS_DENIED},        {EPERM, ERROR_ACCESS_DENIED},         {EBUSY, ERROR_ACCESS_DENIED},
      {EWOULDBLOCK, ERROR_ACCESS_DENIED},   {EMFILE, ERROR_TOO_MANY_OPEN_FILES},  {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
      {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
      {ENOSPC, ERROR_DISK_FULL},            {EDQUOT, ERROR_DISK_FULL},            {EROFS, ERROR_WRITE_PROTECT},
      {EPROTO, ERROR_GEN_FAILURE},
  };
  for (const auto& c : cases) EXPECT_EQ(OpenErrorFromErrno(c.error), c.code) << c.error;
}

TEST(ErrnoMappingTest, LaterCallsTellAVanishedLineFromABadArgument) {
  const struct {
    int error;
    DWORD code;
  } cases[] = {
      {EIO, ERROR_GEN_FAILURE},           {ENODEV, ERROR_DEVICE_NOT_CONNECTED}, {ENXIO, ERROR_DEVICE_NOT_CONNECTED},
      {EBADF, ERROR_INVALID_HANDLE},      {EINVAL, ERROR_INVALID_PARAMETER},    {ERANGE, ERROR_INVALID_PARAMETER},
      {ENOTTY, ERROR_INVALID_FUNCTION},   {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},    {EACCES, ERROR_ACCESS_DENIED},
      {EPERM, ERROR_ACCESS_DENIED},       {EPROTO, ERROR_GEN_FAILURE},
  };
  for (const auto& c : cases) EXPECT_EQ(IoErrorFromErrno(c.error), c.code) << c.error;
}

}  // namespace
