// The entry forms shown with their layouts only, until their bindings land: each closes as the
// user closes it and leaves its results as they were.
#include "VxPopups.h"

CVxNumEntryPopup::CVxNumEntryPopup(CWnd* owner, int*) : CPopupBox(L"MacroRepeatEntryPopup.xml", owner) {}

CVxDropdownSelectPopup::CVxDropdownSelectPopup(CWnd* owner, std::vector<std::wstring>, std::wstring*)
    : CPopupBox(L"SelectProfilePopup.xml", owner)
{
}

CVxMacroAssignmentPopup::CVxMacroAssignmentPopup(CWnd* owner, int*, std::vector<std::wstring>, std::wstring*)
    : CPopupBox(L"SelectMacroPopup.xml", owner)
{
}

CVexaPopupBoxSingleKeyEntry::CVexaPopupBoxSingleKeyEntry(CWnd* owner, SingleKeyEntry*)
    : CPopupBox(L"SingleKeyPopup.xml", owner)
{
}
