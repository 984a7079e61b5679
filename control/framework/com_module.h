// The module's own state: its instance handle and the count of objects and
// locks that decides whether it may be unloaded.
#pragma once

#include <windows.h>

#include <string>

namespace orvane {

class ComModule {
 public:
  static void SetInstance(HINSTANCE instance) { s_instance = instance; }
  static HINSTANCE Instance() { return s_instance; }
  // Full path of the module file, empty when it cannot be told.
  static std::wstring FileName();

  static void ObjectCreated() { ++s_objects; }
  static void ObjectDestroyed() { --s_objects; }
  static void Lock(bool lock) { lock ? ++s_locks : --s_locks; }
  static bool CanUnload() { return s_objects == 0 && s_locks == 0; }

 private:
  static inline HINSTANCE s_instance = nullptr;
  static inline long s_objects = 0;
  static inline long s_locks = 0;
};

// Loads a string resource of the module; empty when there is none.
std::wstring LoadModuleString(UINT id);

}  // namespace orvane
