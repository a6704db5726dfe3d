// The program entry point: hands control to the global application object.
#include "platform/WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    platform::CWinApp* app = platform::CWinApp::Current();
    return app ? app->Main(instance) : 1;
}
