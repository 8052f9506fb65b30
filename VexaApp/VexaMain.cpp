// The program's one application object and its entry point.
#include "VxApp.h"

namespace {
CVxApp theApp;
}

HV_IMPLEMENT_WINMAIN()
