// The GUI test harness at once (namespace hvtest):
//   Messages.h      MessageRecorder, ExpectSequence, PumpMessages, FlushMessages
//   TestWindows.h   FindTopWindow, FindDescendant(ById), WaitForWindow, WaitForDialogControls, ScopedWindow
//   Capture.h       CaptureClient, Bitmap (pixels, .bmp save/load), ExpectPixelNear, ExpectRectNear
//   ChildProcess.h  ChildProcess (ends its process tree on every path), QuoteArg
//   Input.h         Click, Drag, Wheel, PressKey, TypeText through SendInput
//   Paths.h         TestDir, TestFile, BinDir, SourceDir
#pragma once
#include "Capture.h"
#include "ChildProcess.h"
#include "Input.h"
#include "Messages.h"
#include "Paths.h"
#include "TestWindows.h"
