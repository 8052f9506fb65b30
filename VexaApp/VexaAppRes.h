// Resource ids of HalvoVexaConfig (VexaApp.rc).
#pragma once

#define IDD_VEXA_MAIN 102             // the main dialog, of window class "SINGLE_INSTANCE_APP_VEXA"
#define IDD_VEXA_PREDEFINED_MACRO 133 // the predefined-macro popup, with OK and Cancel
#define IDI_VEXA 132                  // the program icon
