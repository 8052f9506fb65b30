// The GUI test harness at once (namespace hvtest):
//   Messages.h      MessageRecorder, ExpectSequence, PumpMessages, FlushMessages
//   TestWindows.h   FindTopWindow, FindDescendant(ById), WaitForWindow, WaitForDialogControls, ScopedWindow
//   Capture.h       CaptureClient, Bitmap (pixels, .bmp save/load), ExpectPixelNear, ExpectRectNear
//   ChildProcess.h  ChildProcess (ends its process tree on every path), QuoteArg
//   Input.h         Click, Drag, Wheel, PressKey, TypeText through SendInput
//   Paths.h         TestDir, TestFile, BinDir, SourceDir
//   ItemWindows.h   FindItemWindow(s), ItemIdOf, PostItemCommand: skinned items by their item id
//   InstallCopy.h   LayOutInstall, SetInstallerValues, stand-ins of started programs
//   ModalScript.h   ModalScript: modal windows answered from inside their loops
//   StartTiming.h   NowMs, PollUntil, StartUntilPainted, StartEmptyDialog: start-up figures
#pragma once
#include "Capture.h"
#include "ChildProcess.h"
#include "Input.h"
#include "InstallCopy.h"
#include "ItemWindows.h"
#include "Messages.h"
#include "ModalScript.h"
#include "StartTiming.h"
#include "Paths.h"
#include "TestWindows.h"
