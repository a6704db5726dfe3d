// Shuttle.dll's application object: the framework's default DLL start and end.
#pragma once
#include "platform/WinApp.h"

class CShuttleApp : public platform::CWinApp {
public:
    CShuttleApp() = default;
};
