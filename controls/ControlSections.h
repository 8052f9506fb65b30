// The layout sections that build controls, and the whole section table of a program that shows a
// skin. The skin's loader knows no control: a program hands it this table at start.
#pragma once

#include "skin/LayoutSections.h"

// Hands the loader the framework's sections followed by the controls' (BITMAPS, BUTTONS, SLIDERS,
// TEXT ITEMS, DPI STAGE WINDOWS, MACRO DISPLAYS, LISTS, LIST PANELS, EDIT CONTROLS, KEYBOARD KEYS
// and PROGRESS PANELS, in that order: after the framework's, whose fonts and texts the controls
// take). Every program that loads layouts calls it at start, before its first load; calling it
// again changes nothing.
void UseSkinLayoutSections();
