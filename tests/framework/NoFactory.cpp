// A DLL without export number 1.
extern "C" __declspec(dllexport) int NotAFactory() { return 0; }
