// The one application object of Pelican.exe.
#include "app/CPelicanApp.h"

CPelicanApp theApp;
