#include "platform/ThreadControl.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>

namespace platform {

void SetCurrentThreadNice(int nice) {
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), nice);
}

void SetCurrentThreadName(const char* name) {
  const std::string kept = std::string(name).substr(0, 15);
  pthread_setname_np(pthread_self(), kept.c_str());
}

}  // namespace platform
