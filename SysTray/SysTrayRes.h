// Resource ids of the tray program (HalvoVexaSysTray.rc).
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_VEXASYSTRAY_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_TRAY_MENU 129
#define IDI_TRAY_ICON 131

#define ID_TRAY_LOAD_CONFIG 500
#define ID_TRAY_CLOSE 502
// The About entry of the system menu.
#define IDM_ABOUTBOX 0x0010
