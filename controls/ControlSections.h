// The layout sections that build controls, and the whole section table of a program that shows a
// skin. The skin's loader knows no control: a program hands it this table at start.
#pragma once

#include "skin/LayoutSections.h"

// BITMAPS, BUTTONS, SLIDERS, TEXT ITEMS, DPI STAGE WINDOWS, MACRO DISPLAYS, LISTS, LIST PANELS, EDIT
// CONTROLS, KEYBOARD KEYS and PROGRESS PANELS, in the order they run: after the framework's, whose
// fonts and texts the controls take.
LayoutSectionTable ControlLayoutSections();

// The framework's sections followed by the controls'.
LayoutSectionTable SkinLayoutSections();

// Hands SkinLayoutSections to the loader (SetLayoutSections). Every program that loads layouts
// calls it at start, before its first load; calling it again changes nothing.
void UseSkinLayoutSections();
