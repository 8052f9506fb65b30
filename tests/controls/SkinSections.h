// A test program that builds layouts runs the section table the programs hand the loader at start
// (UseSkinLayoutSections): the framework's sections and the controls'. Including this hands it
// before main, as the programs do before their first load.
#pragma once

#include "controls/ControlSections.h"

namespace hvtest {

inline const bool kSkinSectionsHanded = (UseSkinLayoutSections(), true);

} // namespace hvtest
