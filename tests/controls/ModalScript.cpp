#include "ModalScript.h"

namespace controltest {

ModalScript* ModalScript::s_current = nullptr;

} // namespace controltest
