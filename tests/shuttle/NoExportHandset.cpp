// A Handset.dll without export number 1.
#include <windows.h>

extern "C" __declspec(dllexport) int SomethingElse() { return 0; }
