#include "platform/ThreadControl.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>

namespace platform {

namespace {

int NiceOf(ThreadPriority priority) {
  switch (priority) {
    case ThreadPriority::Idle: return 19;
    case ThreadPriority::Lowest: return 10;
    case ThreadPriority::BelowNormal: return 5;
    case ThreadPriority::AboveNormal: return -5;
    case ThreadPriority::Highest: return -10;
    case ThreadPriority::TimeCritical: return -20;
    default: return 0;
  }
}

}  // namespace

void SetCurrentThreadPriority(ThreadPriority priority) {
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), NiceOf(priority));
}

void SetCurrentThreadName(const char* name) {
  const std::string kept = std::string(name).substr(0, 15);
  pthread_setname_np(pthread_self(), kept.c_str());
}

}  // namespace platform
