/* A host written in C: it loads the module, initialises the display, serves the module's
   main-thread queue through its C names while it waits, and finishes. Its compile proves that
   the host header is C. */
#include <dlfcn.h>
#include <poll.h>
#include <stdio.h>

#include "plugin/HostInterface.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!module) return fprintf(stderr, "%s\n", dlerror()), 3;
  /* POSIX's way to take a function from dlsym in ISO C. */
  HostInfoRecord* (*get)(void);
  int (*check)(int);
  intptr_t (*wake)(void);
  *(void**)&get = dlsym(module, "getHardware");
  *(void**)&check = dlsym(module, "quorvel_check_synchronize");
  *(void**)&wake = dlsym(module, "quorvel_wake_handle");
  if (!get || !check || !wake) return 4;

  HostInfoRecord* record = get();
  printf("driver: %s\n", record->DriverName);
  record->InitHardware();
  printf("control: %s\n", record->Control ? "present" : "nil");

  /* The start-up string's output-empty event is handed to this thread: wait for it on the
     handle, as an event loop would, then run it. */
  struct pollfd handle = {(int)wake(), POLLIN, 0};
  int ran = 0;
  for (int round = 0; round < 50 && !ran; ++round)
    if (poll(&handle, 1, 100) > 0) ran = check(0);
  printf("queued work ran: %s\n", ran ? "yes" : "no");
  printf("nothing more waiting: %s\n", check(0) ? "no" : "yes");

  record->DoneHardware();
  printf("control after: %s\n", record->Control ? "present" : "nil");
  return 0;
}
