// The program's one application object and its entry point.
#include "VexaApp/VxApp.h"

namespace {
CVxApp theApp;
}

HV_IMPLEMENT_WINMAIN()
