// The button and key pages with their editor against the simulated devices: what each lists, each
// group of the editor written and read back (the record in the simulator's dump, the device told
// to take it), OK without a usable choice, a failed write, and the capture of a new key; the texts
// of every kind of record.
#include "BenchTest.h"

#include "mwtest/AssignmentDialogs.h"
#include "mwtest/AssignmentPages.h"
#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

// GetKeyNameTextW's name for an lParam, in a buffer of 20 characters as the pages use.
std::wstring KeyName(LONG lParam)
{
    wchar_t name[20] = {};
    GetKeyNameTextW(lParam, name, 20);
    return name;
}

// A record of a button or key with its source and kind, the rest zero.
AssignmentRecord Record(DWORD source, DWORD id, DWORD kind)
{
    AssignmentRecord record = {};
    record.source = source;
    record.id = id;
    record.kind = kind;
    return record;
}

// A record's line in the dump.
std::string AssignLine(const AssignmentRecord& record)
{
    std::string hex;
    for (BYTE b : record.payload) {
        static const char digits[] = "0123456789ABCDEF";
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    char head[64];
    snprintf(head, sizeof head, " assign 0x%05lX src %lu kind %lu data ", static_cast<unsigned long>(record.id),
             static_cast<unsigned long>(record.source), static_cast<unsigned long>(record.kind));
    return head + hex;
}

std::string AssignLineOf(const wchar_t* device, DWORD id)
{
    char prefix[32];
    snprintf(prefix, sizeof prefix, " assign 0x%05lX ", static_cast<unsigned long>(id));
    const std::vector<std::string> lines = simtest::DumpLines(device, prefix);
    // The active profile is the first one of the factory devices.
    return lines.empty() ? std::string() : lines.front();
}

std::wstring ComboSelection(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    const LRESULT item = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (item < 0)
        return L"<none>";
    wchar_t text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
    return text;
}

int ComboCount(HWND dialog, int id)
{
    return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), CB_GETCOUNT, 0, 0));
}

class AssignmentPagesTest : public BenchTest
{
protected:
    int Rows(HWND list) const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    // Opens a row's editor (a double click on it) and runs the steps on the dialogs it opens.
    void EditRow(HWND list, int row, std::vector<CDialogScript::Step> steps)
    {
        CDialogScript script(std::move(steps));
        SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        ASSERT_TRUE(hvtest::DoubleClick(list, CellPoint(list, row, 0)));
        EXPECT_TRUE(script.WaitDone());
    }
    // A double click of the list where it has no row (sent: the list may have no room for one).
    void DoubleClickBelowRows(HWND page, HWND list, std::vector<CDialogScript::Step> steps)
    {
        CDialogScript script(std::move(steps));
        NMITEMACTIVATE click = {};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
        click.hdr.code = static_cast<UINT>(NM_DBLCLK);
        click.iItem = -1;
        click.ptAction = {5, 30000};
        SendMessageW(page, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
        EXPECT_TRUE(script.WaitDone());
    }
    static CDialogScript::Step Editor(std::function<void(HWND)> act)
    {
        return {IDD_BUTTON_MAPPING, std::move(act)};
    }
};

} // namespace

TEST_F(AssignmentPagesTest, ButtonsListedAndEveryGroupWrittenAndReadBack)
{
    CComPtr<IDevice> mouse = Mouse();
    ASSERT_TRUE(mouse);
    GUID macroId = {};
    {
        CComPtr<IMacroManager> macros = DeviceFeature<IMacroManager>(mouse);
        CComPtr<IMacro> macro;
        ASSERT_HRESULT_SUCCEEDED(macros->GetMacro(0, macro.Put()));
        ASSERT_HRESULT_SUCCEEDED(macro->GetId(&macroId));
    }
    GUID secondProfile = {};
    ASSERT_HRESULT_SUCCEEDED(ProfileAt(mouse, 1)->GetId(&secondProfile));
    const std::wstring macroText = L"Sample Macro - " + simtest::GuidText(macroId);

    Open();
    ChooseDevice(L"VEXA Mouse");
    ASSERT_TRUE(Select(IDD_BUTTONS));
    HWND page = PageWindow(IDD_BUTTONS);
    HWND list = Item(IDD_BUTTONS, IDC_BUTTON_LIST);
    ASSERT_EQ(11, Rows(list));
    const std::vector<std::wstring> names = {L"Left Button", L"Right Button", L"Middle Button", L"Button 4",
                                             L"Button 5",    L"Button 6",     L"Button 7",      L"Scroll Up",
                                             L"Scroll Down", L"Dpi Up",       L"Dpi Down"};
    const std::vector<std::wstring> mappings = {L"Click",     L"Menu",        L"Universal Scrolling", L"Backward",
                                                L"Forward",   L"Dpi Down",    L"Dpi Up",              L"Scroll Up",
                                                L"Scroll Down", L"Not mapped", L"Not mapped"};
    for (int row = 0; row < 11; ++row) {
        EXPECT_EQ(names[static_cast<size_t>(row)], RowText(list, row, 0));
        EXPECT_EQ(mappings[static_cast<size_t>(row)], RowText(list, row, 1));
    }
    CaptureSheet(L"buttons-listed");

    // Buttons: a function.
    EditRow(list, 0, {Editor([&](HWND dialog) {
                EXPECT_EQ(L"Left Button", hvtest::TextOf(dialog));
                EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_BUTTONS));
                EXPECT_EQ(L"Click", ComboSelection(dialog, IDC_MAP_FUNCTION));
                EXPECT_EQ(12, ComboCount(dialog, IDC_MAP_FUNCTION));
                EXPECT_EQ(5, ComboCount(dialog, IDC_MAP_PROFILE_ID));
                EXPECT_EQ(5, ComboCount(dialog, IDC_MAP_DPI_STAGE));
                EXPECT_EQ(1, ComboCount(dialog, IDC_MAP_MACRO));
                EXPECT_EQ(0, ComboCount(dialog, IDC_MAP_APPLICATION_ID));  // the mouse has none
                hvtest::CaptureWindow(dialog).SaveToTestDir(L"editor-buttons.bmp");
                ChooseItem(dialog, IDC_MAP_FUNCTION, L"Double click");
                ClickItem(dialog, IDOK);
            })});
    AssignmentRecord expected = Record(1, 1, hvmw::kKindFunction);
    expected.SetCode(hvmw::kFnDoubleClick);
    EXPECT_EQ(AssignLine(expected), AssignLineOf(L"mouse", 1));
    EXPECT_EQ(L"Double click", RowText(list, 0, 1));
    // Written, then the device takes it: the active profile set active again.
    std::vector<std::string> writes = Calls("IButtonAssignments.SetAssignments");
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(1u, Calls("IProfileManager.SetActiveProfile").size());
    const std::vector<std::string> journal = simtest::JournalLines();
    ASSERT_GE(journal.size(), 2u);
    EXPECT_NE(std::string::npos, journal[journal.size() - 2].find("IButtonAssignments.SetAssignments"));
    EXPECT_NE(std::string::npos, journal.back().find("IProfileManager.SetActiveProfile"));

    // Macros: the macro's GUID, and the word at 28 set.
    EditRow(list, 1, {Editor([&](HWND dialog) {
                ClickItem(dialog, IDC_MAP_MACROS);
                ChooseItem(dialog, IDC_MAP_MACRO, macroText);
                ClickItem(dialog, IDOK);
            })});
    expected = Record(1, 2, hvmw::kKindMacro);
    expected.SetTargetGuid(macroId);
    expected.SetWord28(1);
    EXPECT_EQ(AssignLine(expected), AssignLineOf(L"mouse", 2));
    EXPECT_EQ(L"Macro Id = " + simtest::GuidText(macroId), RowText(list, 1, 1));

    // Macros with repeat: "Run Multile times" with 3 stores mode 2 and count 3.
    EditRow(list, 2, {Editor([&](HWND dialog) {
                ClickItem(dialog, IDC_MAP_REPEAT);
                ChooseItem(dialog, IDC_MAP_REPEAT_MACRO, macroText);
                ChooseItem(dialog, IDC_MAP_REPEAT_MODE, L"Run Multile times");
                SetDlgItemTextW(dialog, IDC_MAP_REPEAT_COUNT, L"3");
                ClickItem(dialog, IDOK);
            })});
    expected = Record(1, 3, hvmw::kKindMacroRepeat);
    expected.SetTargetGuid(macroId);
    expected.SetRepeatMode(hvmw::kRepeatCount);
    expected.SetRepeatCount(3);
    EXPECT_EQ(AssignLine(expected), AssignLineOf(L"mouse", 3));
    EXPECT_EQ(L"Macro Id = " + simtest::GuidText(macroId) + L", Repeat: 3", RowText(list, 2, 1));

    // Profiles by id, the DPI stage, a single key with Shift and Ctrl, the next profile.
    EditRow(list, 3, {Editor([&](HWND dialog) {
                ClickItem(dialog, IDC_MAP_PROFILES);
                ChooseItem(dialog, IDC_MAP_PROFILE_OP, L"Profile ID");
                ChooseItem(dialog, IDC_MAP_PROFILE_ID, simtest::GuidText(secondProfile));
                ClickItem(dialog, IDOK);
            })});
    expected = Record(1, 4, hvmw::kKindProfile);
    expected.SetCode(hvmw::kProfileOpById);
    expected.SetProfileGuid(secondProfile);
    EXPECT_EQ(AssignLine(expected), AssignLineOf(L"mouse", 4));
    EXPECT_EQ(L"Profile Id = " + simtest::GuidText(secondProfile), RowText(list, 3, 1));

    EditRow(list, 4, {Editor([&](HWND dialog) {
                ClickItem(dialog, IDC_MAP_DPI);
                ChooseItem(dialog, IDC_MAP_DPI_OP, L"Dpi Stage");
                ChooseItem(dialog, IDC_MAP_DPI_STAGE, L"2");
                ClickItem(dialog, IDOK);
            })});
    expected = Record(1, 5, hvmw::kKindDpi);
    expected.SetCode(hvmw::kDpiOpStage);
    expected.SetStage(1);  // the second stage, counted from 0
    EXPECT_EQ(AssignLine(expected), AssignLineOf(L"mouse", 5));
    EXPECT_EQ(L"Dpi Stage = 2", RowText(list, 4, 1));

    const UINT scanB = MapVirtualKeyW('B', MAPVK_VK_TO_VSC);
    EditRow(list, 5, {Editor([&](HWND dialog) {
                ClickItem(dialog, IDC_MAP_SINGLE_KEY);
                SendMessageW(GetDlgItem(dialog, IDC_MAP_HOTKEY), HKM_SETHOTKEY, 'B', 0);
                ClickItem(dialog, IDC_MAP_SHIFT);
                ClickItem(dialog, IDC_MAP_CTRL);
                ClickItem(dialog, IDOK);
            })});
    expected = Record(1, 6, hvmw::kKindKey);
    expected.SetMakeCode(static_cast<WORD>(scanB));
    expected.SetModifiers(hvmw::kModShift | hvmw::kModCtrl);
    EXPECT_EQ(AssignLine(expected), AssignLineOf(L"mouse", 6));
    EXPECT_EQ(L"Single Key: SHIFT CTRL " + KeyName(static_cast<LONG>(scanB << 16)), RowText(list, 5, 1));

    EditRow(list, 6, {Editor([&](HWND dialog) {
                ClickItem(dialog, IDC_MAP_PROFILES);
                ChooseItem(dialog, IDC_MAP_PROFILE_OP, L"Next");
                ClickItem(dialog, IDOK);
            })});
    EXPECT_EQ(L"Next Profile", RowText(list, 6, 1));

    // Each group reads back into the editor as it was written.
    EditRow(list, 2, {Editor([&](HWND dialog) {
                EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_REPEAT));
                EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_MAP_BUTTONS));
                EXPECT_EQ(macroText, ComboSelection(dialog, IDC_MAP_REPEAT_MACRO));
                EXPECT_EQ(L"Run Multile times", ComboSelection(dialog, IDC_MAP_REPEAT_MODE));
                EXPECT_EQ(L"3", hvtest::TextOf(GetDlgItem(dialog, IDC_MAP_REPEAT_COUNT)));
                ClickItem(dialog, IDCANCEL);
            })});
    EditRow(list, 3, {Editor([&](HWND dialog) {
                EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_PROFILES));
                EXPECT_EQ(L"Profile ID", ComboSelection(dialog, IDC_MAP_PROFILE_OP));
                EXPECT_EQ(simtest::GuidText(secondProfile), ComboSelection(dialog, IDC_MAP_PROFILE_ID));
                ClickItem(dialog, IDCANCEL);
            })});
    EditRow(list, 4, {Editor([&](HWND dialog) {
                EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_DPI));
                EXPECT_EQ(L"Dpi Stage", ComboSelection(dialog, IDC_MAP_DPI_OP));
                EXPECT_EQ(L"2", ComboSelection(dialog, IDC_MAP_DPI_STAGE));
                ClickItem(dialog, IDCANCEL);
            })});
    EditRow(list, 5, {Editor([&](HWND dialog) {
                EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_SINGLE_KEY));
                const LRESULT hotKey = SendMessageW(GetDlgItem(dialog, IDC_MAP_HOTKEY), HKM_GETHOTKEY, 0, 0);
                EXPECT_EQ(scanB, MapVirtualKeyW(LOBYTE(hotKey), MAPVK_VK_TO_VSC));
                EXPECT_EQ(0, HIBYTE(hotKey));
                EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_SHIFT));
                EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_CTRL));
                EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_MAP_ALT));
                ClickItem(dialog, IDCANCEL);
            })});
    EditRow(list, 1, {Editor([&](HWND dialog) {
                EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_MACROS));
                EXPECT_EQ(macroText, ComboSelection(dialog, IDC_MAP_MACRO));
                ClickItem(dialog, IDCANCEL);
            })});
    // Cancelled: nothing was written.
    EXPECT_EQ(7u, Calls("IButtonAssignments.SetAssignments").size());

    // OK with no group, or with a group without a choice, writes the record back as it was.
    const std::string unmapped = AssignLineOf(L"mouse", 10);
    EditRow(list, 9, {Editor([&](HWND dialog) {
                for (int id : {IDC_MAP_BUTTONS, IDC_MAP_MACROS, IDC_MAP_PROFILES, IDC_MAP_SINGLE_KEY, IDC_MAP_DPI,
                               IDC_MAP_REPEAT, IDC_MAP_APPLICATION})
                    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, id));
                ClickItem(dialog, IDOK);
            })});
    EditRow(list, 9, {Editor([&](HWND dialog) {
                ClickItem(dialog, IDC_MAP_APPLICATION);
                ClickItem(dialog, IDOK);
            })});
    EXPECT_EQ(unmapped, AssignLineOf(L"mouse", 10));
    EXPECT_EQ(L"Not mapped", RowText(list, 9, 1));
    EXPECT_EQ(9u, Calls("IButtonAssignments.SetAssignments").size());

    // A refused write leaves the list as it was and does not re-apply the profile.
    simtest::Tool({L"fail", L"mouse", L"IButtonAssignments.SetAssignments", L"0x80004005"});
    const size_t applied = Calls("IProfileManager.SetActiveProfile").size();
    EditRow(list, 7, {Editor([&](HWND dialog) {
                ChooseItem(dialog, IDC_MAP_FUNCTION, L"Menu");
                ClickItem(dialog, IDOK);
            })});
    EXPECT_EQ(L"Scroll Up", RowText(list, 7, 1));
    EXPECT_EQ(applied, Calls("IProfileManager.SetActiveProfile").size());

    // A double click on no row opens nothing.
    DoubleClickBelowRows(page, list, {});
    CaptureSheet(L"buttons-edited");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AssignmentPagesTest, KeysListedEditedAndANewKeyCaptured)
{
    GUID applicationId = {};
    {
        CComPtr<IApplicationList> applications = DeviceFeature<IApplicationList>(Keyboard());
        CComPtr<IApplication> application;
        ASSERT_HRESULT_SUCCEEDED(applications->GetApplication(0, application.Put()));
        ASSERT_HRESULT_SUCCEEDED(application->GetId(&applicationId));
    }
    const size_t keyCount = simtest::DumpLines(L"keyboard", L" assign ").size() / 5;  // five profiles
    Open();
    ChooseDevice(L"VEXA Keyboard");
    ASSERT_TRUE(Select(IDD_KEYS));
    HWND page = PageWindow(IDD_KEYS);
    HWND list = Item(IDD_KEYS, IDC_KEY_LIST);
    ASSERT_EQ(static_cast<int>(keyCount), Rows(list));
    const auto rowOf = [&](const std::wstring& code) {
        for (int row = 0; row < Rows(list); ++row)
            if (RowText(list, row, 0) == code)
                return row;
        ADD_FAILURE() << simtest::Narrow(code) << " is not listed";
        return -1;
    };
    // A key, an E0 key, Num Lock (0x45, named with the extended bit) and Pause (the E1 key).
    const int a = rowOf(L"0000001e");
    EXPECT_EQ(KeyName(0x1E0000), RowText(list, a, 1));
    EXPECT_EQ(L"Single Key: " + KeyName(0x1E0000), RowText(list, a, 2));
    const int rightCtrl = rowOf(L"0002001d");
    EXPECT_EQ(KeyName(0x11D0000), RowText(list, rightCtrl, 1));
    EXPECT_EQ(L"Single Key: EXT " + KeyName(0x11D0000), RowText(list, rightCtrl, 2));
    const int numLock = rowOf(L"00000045");
    EXPECT_EQ(KeyName(0x1450000), RowText(list, numLock, 1));
    EXPECT_EQ(L"Single Key: " + KeyName(0x1450000), RowText(list, numLock, 2));
    const int pause = rowOf(L"00040045");
    EXPECT_EQ(KeyName(0x450000), RowText(list, pause, 1));
    EXPECT_EQ(L"Single Key: EXT " + KeyName(0x450000), RowText(list, pause, 2));
    CaptureSheet(L"keys-listed");

    // The key's record into the editor (no button's name), mapped to the application.
    EditRow(list, a, {Editor([&](HWND dialog) {
                EXPECT_EQ(L"", hvtest::TextOf(dialog));
                EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_SINGLE_KEY));
                const LRESULT hotKey = SendMessageW(GetDlgItem(dialog, IDC_MAP_HOTKEY), HKM_GETHOTKEY, 0, 0);
                EXPECT_EQ(0x1Eu, MapVirtualKeyW(LOBYTE(hotKey), MAPVK_VK_TO_VSC));
                ClickItem(dialog, IDC_MAP_APPLICATION);
                ChooseItem(dialog, IDC_MAP_APPLICATION_ID, simtest::GuidText(applicationId));
                ClickItem(dialog, IDOK);
            })});
    AssignmentRecord expected = Record(1, 0x1E, hvmw::kKindApplication);
    expected.SetTargetGuid(applicationId);
    expected.SetWord28(1);
    EXPECT_EQ(AssignLine(expected), AssignLineOf(L"keyboard", 0x1E));
    EXPECT_EQ(L"Application Id = " + simtest::GuidText(applicationId), RowText(list, a, 2));
    EXPECT_EQ(1u, Calls("keyboard IProfileManager.SetActiveProfile").size());

    // A new key: Right Arrow pressed in the capture (with Ctrl held, which the capture does not
    // take), then Shift and Ctrl from the editor's boxes. Its record is the E0 key's.
    DoubleClickBelowRows(page, list,
                         {{IDD_NEW_KEY_MAPPING,
                           [&](HWND dialog) {
                               HWND hotKey = GetDlgItem(dialog, IDC_NEWKEY_HOTKEY);
                               EXPECT_EQ(hotKey, GetFocus());
                               ASSERT_TRUE(hvtest::PressKey(VK_RIGHT, MOD_CONTROL, hotKey));
                               hvtest::CaptureWindow(dialog).SaveToTestDir(L"new-key.bmp");
                               ClickItem(dialog, IDOK);
                           }},
                          Editor([&](HWND dialog) {
                              EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_MAP_SINGLE_KEY));
                              EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_MAP_SHIFT));
                              EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_MAP_CTRL));
                              ClickItem(dialog, IDC_MAP_SHIFT);
                              ClickItem(dialog, IDC_MAP_CTRL);
                              ClickItem(dialog, IDOK);
                          })});
    const WORD scanRight = static_cast<WORD>(MapVirtualKeyW(VK_RIGHT, MAPVK_VK_TO_VSC));
    expected = Record(0, scanRight | hvmw::kKeyCodeE0, hvmw::kKindKey);
    expected.SetMakeCode(scanRight);
    expected.SetModifiers(hvmw::kModShift | hvmw::kModCtrl | hvmw::kModExtended);
    EXPECT_EQ(AssignLine(expected), AssignLineOf(L"keyboard", scanRight | hvmw::kKeyCodeE0));
    const int right = rowOf(wstr::Format(L"%08x", scanRight | hvmw::kKeyCodeE0));
    EXPECT_EQ(L"Single Key: SHIFT CTRL EXT " + KeyName(static_cast<LONG>((scanRight << 16) | (1 << 24))),
              RowText(list, right, 2));
    EXPECT_EQ(2u, Calls("keyboard IProfileManager.SetActiveProfile").size());
    // The keypad key of the same make code keeps its own record.
    EXPECT_EQ(L"Single Key: " + KeyName(static_cast<LONG>(scanRight << 16)), RowText(list, rowOf(wstr::Format(L"%08x", scanRight)), 2));

    // Cancelling the capture maps nothing.
    DoubleClickBelowRows(page, list, {{IDD_NEW_KEY_MAPPING, [](HWND dialog) { ClickItem(dialog, IDCANCEL); }}});
    EXPECT_EQ(2u, Calls("IKeyAssignments.SetAssignments").size());
    CaptureSheet(L"keys-edited");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(AssignmentTextTest, EveryKindInBothVariantsAndTheCapturedKeys)
{
    GUID id = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    const std::wstring idText = L"{12345678-9ABC-DEF0-0102-030405060708}";
    AssignmentRecord record = {};
    EXPECT_EQ(L"Not mapped", FormatAssignment(record, false));
    record.kind = hvmw::kKindFunction;
    record.SetCode(hvmw::kFnStopMacros);
    EXPECT_EQ(L"Stop All Macros", FormatAssignment(record, false));
    EXPECT_EQ(L"", FormatAssignment(record, true));  // the keys know functions up to "Double click"
    record.SetCode(hvmw::kFnDoubleClick);
    EXPECT_EQ(L"Double click", FormatAssignment(record, true));
    record.SetCode(17);
    EXPECT_EQ(L"", FormatAssignment(record, false));
    record.kind = hvmw::kKindMacro;
    record.SetTargetGuid(id);
    EXPECT_EQ(L"Macro Id = " + idText, FormatAssignment(record, false));
    record.kind = hvmw::kKindProfile;
    const std::wstring profileTexts[] = {L"No Profile", L"Previous Profile", L"Next Profile"};
    for (DWORD op = 0; op < 3; ++op) {
        record.SetCode(op);
        EXPECT_EQ(profileTexts[op], FormatAssignment(record, false));
    }
    record = {};
    record.kind = hvmw::kKindProfile;
    record.SetCode(hvmw::kProfileOpById);
    record.SetProfileGuid(id);
    EXPECT_EQ(L"Profile Id = " + idText, FormatAssignment(record, true));
    record = {};
    record.kind = hvmw::kKindDpi;
    const std::wstring dpiTexts[] = {L"No Dpi", L"Dpi Up", L"Dpi Down"};
    for (DWORD op = 0; op < 3; ++op) {
        record.SetCode(op);
        EXPECT_EQ(dpiTexts[op], FormatAssignment(record, false));
    }
    record.SetCode(hvmw::kDpiOpStage);
    record.SetStage(0);
    EXPECT_EQ(L"Dpi Stage = 1", FormatAssignment(record, false));
    record = {};
    record.kind = hvmw::kKindKey;
    record.SetMakeCode(0x1E);
    record.SetModifiers(hvmw::kModAlt | hvmw::kModShift);
    EXPECT_EQ(L"Single Key: SHIFT ALT " + KeyName(0x1E0000), FormatAssignment(record, false));
    // 0x45 with the extended bit is Pause, without it Num Lock.
    record.SetMakeCode(0x45);
    record.SetModifiers(hvmw::kModExtended);
    EXPECT_EQ(L"Single Key: EXT " + KeyName(0x450000), FormatAssignment(record, true));
    record.SetModifiers(0);
    EXPECT_EQ(L"Single Key: " + KeyName(0x1450000), FormatAssignment(record, true));
    record = {};
    record.kind = hvmw::kKindMacroRepeat;
    record.SetTargetGuid(id);
    record.SetRepeatMode(hvmw::kRepeatOnce);
    EXPECT_EQ(L"Macro Id = " + idText, FormatAssignment(record, false));
    record.SetRepeatMode(hvmw::kRepeatWhileHeld);
    EXPECT_EQ(L"Macro Id = " + idText + L", Repeat while held down", FormatAssignment(record, false));
    record.SetRepeatMode(hvmw::kRepeatUntilPressed);
    EXPECT_EQ(L"Macro Id = " + idText + L", Repeat until pressed again", FormatAssignment(record, false));
    record = {};
    record.kind = hvmw::kKindApplication;
    record.SetTargetGuid(id);
    EXPECT_EQ(L"Application Id = " + idText, FormatAssignment(record, true));
    EXPECT_EQ(L"", FormatAssignment(record, false));
    record.kind = hvmw::kKindAdvanced;
    EXPECT_EQ(L"", FormatAssignment(record, true));
    EXPECT_EQ(nullptr, ButtonName(12));
    EXPECT_STREQ(L"Dpi Down", ButtonName(11));

    // The capture: an E0 key's code carries 0x20000; Num Lock (extended to the system, 0x45) none;
    // Pause is the E1 key, 0x45 with the extended bit in its single-key record.
    const WORD scanRight = static_cast<WORD>(MapVirtualKeyW(VK_RIGHT, MAPVK_VK_TO_VSC));
    CapturedKey key = CaptureKey(VK_RIGHT, HOTKEYF_EXT);
    EXPECT_EQ(scanRight | hvmw::kKeyCodeE0, key.deviceCode);
    EXPECT_EQ(hvmw::kModExtended, key.modifiers);
    key = CaptureKey('A', HOTKEYF_SHIFT);
    EXPECT_EQ(MapVirtualKeyW('A', MAPVK_VK_TO_VSC), key.deviceCode);
    EXPECT_EQ(0u, key.modifiers);
    key = CaptureKey(VK_PAUSE, 0);
    EXPECT_EQ(0x45u | hvmw::kKeyCodeE1, key.deviceCode);
    EXPECT_EQ(0x45, key.scanCode);
    EXPECT_EQ(hvmw::kModExtended, key.modifiers);
    if (MapVirtualKeyW(VK_NUMLOCK, MAPVK_VK_TO_VSC) == 0x45) {
        key = CaptureKey(VK_NUMLOCK, HOTKEYF_EXT);
        EXPECT_EQ(0x45u, key.deviceCode);
        EXPECT_EQ(0u, key.modifiers);
    }
    EXPECT_EQ(0, CaptureKey(0, 0).scanCode);
}
