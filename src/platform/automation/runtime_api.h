// Visibility of the C++ helpers that libTavoAuto.so exports beside the C names.
#ifndef TAVO_PLATFORM_AUTOMATION_RUNTIME_API_H_
#define TAVO_PLATFORM_AUTOMATION_RUNTIME_API_H_

#define TAVO_RUNTIME_API __attribute__((visibility("default")))

#endif  // TAVO_PLATFORM_AUTOMATION_RUNTIME_API_H_
