// A library named Harfix.dll that no one should ever load: the control's
// tests put it in the current directory and on PATH of a process whose
// control has no text library of its own beside it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
