/* Loaded into 32-bit Wine (LD_PRELOAD) for the tests on a pseudo-terminal. A pty has no modem
   lines, so TIOCMGET fails on it with ENOTTY. Wine's serial driver then ends every WaitCommEvent
   at once (error 995) and fails GetCommModemStatus, where Windows, on an adapter without modem
   lines, keeps the wait pending and reports all lines off. The shim answers TIOCMGET on a
   terminal that has no lines with "all lines off", as that Windows driver does; every other call
   goes through unchanged. Debian's 32-bit ntdll.so calls __ioctl_time64, others ioctl. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

typedef int (*IoctlCall)(int, unsigned long, void*);

static int Answer(IoctlCall real, int fd, unsigned long request, void* argument) {
  const int result = real(fd, request, argument);
  if (result < 0 && errno == ENOTTY && request == TIOCMGET && argument && isatty(fd)) {
    *(int*)argument = 0;
    return 0;
  }
  return result;
}

#define FORWARD(name)                                                          \
  int name(int fd, unsigned long request, ...) {                               \
    static IoctlCall real;                                                     \
    va_list arguments;                                                         \
    va_start(arguments, request);                                              \
    void* argument = va_arg(arguments, void*);                                 \
    va_end(arguments);                                                         \
    if (!real) real = (IoctlCall)dlsym(RTLD_NEXT, #name);                      \
    if (!real) {                                                               \
      errno = ENOSYS;                                                          \
      return -1;                                                               \
    }                                                                          \
    return Answer(real, fd, request, argument);                                \
  }

FORWARD(ioctl)
FORWARD(__ioctl_time64)
