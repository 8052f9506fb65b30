// HalvoVexaSysTray: the tray program of the configuration suite.
#include "SysTray/VexaSysTrayApp.h"

CVexaSysTrayApp theApp;

HV_IMPLEMENT_WINMAIN()
