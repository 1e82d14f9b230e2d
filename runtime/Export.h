// What the loadable module shows to its host: everything is hidden unless marked here.
#pragma once

#if defined(_WIN32)
#define QUORVEL_API __declspec(dllexport)
#else
#define QUORVEL_API __attribute__((visibility("default")))
#endif
