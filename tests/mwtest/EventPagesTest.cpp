// The pages that follow device events, the application list's context menu, and the log switch of
// the settings page. Events come from the control tool (another process) and reach the pages'
// sinks when the test's thread next takes its messages; a page listens only while it is in front.
#include "BenchTest.h"

#include "mwtest/EventPages.h"
#include "platform/Handles.h"
#include "HvTest.h"
#include "mwtest/MwTestRes.h"
#include "platform/WStr.h"

using namespace mwtest;

namespace {

// GetKeyNameTextW's name for an lParam, in a buffer of 10 characters as the page uses.
std::wstring KeyName(LONG lParam)
{
    wchar_t name[10] = {};
    GetKeyNameTextW(lParam, name, 10);
    return name;
}

// The menu items by position.
enum MenuItem { kNew = 1, kEdit, kDelete, kImport, kExport };

const wchar_t kLogKey[] = L"SOFTWARE\\HALVO";

// Removes the log switch's key with whatever other programs of ours keep below it (the installer's
// "Software\Halvo\VEXA", which the tray and configuration programs create when they read it).
LONG DeleteLogKey()
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLogKey, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key);
    if (result != ERROR_SUCCESS)
        return result;
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kLogKey, KEY_WOW64_64KEY, 0);
}

class EventPagesTest : public BenchTest
{
protected:
    void TearDown() override
    {
        DeleteLogKey();
        BenchTest::TearDown();
    }
    // The log switch's key in the view the middleware reads; absent when not made.
    static CRegKey LogKey(bool create)
    {
        CRegKey key;
        if (create)
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLogKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                            key.Put(), nullptr);
        else
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLogKey, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, key.Put());
        return key;
    }
    // "LogEnabled" as written: one byte of REG_BINARY; -1 when absent, -2 when of another shape.
    static int LogByte()
    {
        CRegKey key = LogKey(false);
        BYTE data[8] = {};
        DWORD size = sizeof(data);
        DWORD type = 0;
        if (!key || RegQueryValueExW(key.Get(), L"LogEnabled", nullptr, &type, data, &size) != ERROR_SUCCESS)
            return -1;
        return type == REG_BINARY && size == 1 ? data[0] : -2;
    }
    static void SetLogByte(BYTE value)
    {
        CRegKey key = LogKey(true);
        ASSERT_TRUE(key);
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Get(), L"LogEnabled", 0, REG_BINARY, &value, 1));
    }
};

} // namespace

TEST_F(EventPagesTest, OnTheFlyStatusFollowsTheKeyboardOnlyWhileThePageIsShown)
{
    Open();
    ChooseDevice(L"VEXA Keyboard");
    ASSERT_TRUE(Select(IDD_OTF_MACRO));
    EXPECT_EQ(L"Status: Waiting for callback", Text(IDD_OTF_MACRO, IDC_OTF_STATUS));
    EXPECT_EQ(1, Connections(L"keyboard", "_IOTFMacroRecordingEvents"));

    simtest::Tool({L"otf", L"start"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"Status: Record Start", Text(IDD_OTF_MACRO, IDC_OTF_STATUS));
    simtest::Tool({L"otf", L"end"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"Status: Record End", Text(IDD_OTF_MACRO, IDC_OTF_STATUS));
    // An E0 key: its low 16 bits named with the extended bit (right Ctrl, not left).
    simtest::Tool({L"otf", L"assign", L"0x2001D"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"Status: Button Assigment - Key: " + KeyName(0x011D0000), Text(IDD_OTF_MACRO, IDC_OTF_STATUS));
    CaptureSheet(L"otf-assigned");
    // 0x45 is named with the extended bit too: Num Lock, where the bare code names Pause.
    simtest::Tool({L"otf", L"start"});
    simtest::Tool({L"otf", L"end"});
    simtest::Tool({L"otf", L"assign", L"0x45"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"Status: Button Assigment - Key: " + KeyName(0x01450000), Text(IDD_OTF_MACRO, IDC_OTF_STATUS));
    simtest::Tool({L"otf", L"start"});
    simtest::Tool({L"otf", L"end"});
    simtest::Tool({L"otf", L"assign", L"0x1E"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"Status: Button Assigment - Key: " + KeyName(0x001E0000), Text(IDD_OTF_MACRO, IDC_OTF_STATUS));

    // Another page in front: the page hears nothing and holds no connection.
    Select(IDD_SETTINGS);
    EXPECT_EQ(0, Connections(L"keyboard", "_IOTFMacroRecordingEvents"));
    simtest::Tool({L"otf", L"start"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"Status: Button Assigment - Key: " + KeyName(0x001E0000), Text(IDD_OTF_MACRO, IDC_OTF_STATUS));
    Select(IDD_OTF_MACRO);
    EXPECT_EQ(1, Connections(L"keyboard", "_IOTFMacroRecordingEvents"));
    simtest::Tool({L"otf", L"cancel"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"Status: Record Cancel", Text(IDD_OTF_MACRO, IDC_OTF_STATUS));

    // An assignment to anything but a key names no key.
    auto* page = dynamic_cast<COtfMacroRecordingPage*>(bench.Sheet().GetPage(TabOf(IDD_OTF_MACRO)));
    ASSERT_NE(nullptr, page);
    COtfMacroRecordingSink* sink = new COtfMacroRecordingSink(page);
    EXPECT_HRESULT_SUCCEEDED(sink->OnButtonAssignment(1, 0x1E));
    EXPECT_EQ(L"Status: Button Assigment", Text(IDD_OTF_MACRO, IDC_OTF_STATUS));
    sink->Detach();
    EXPECT_HRESULT_SUCCEEDED(sink->OnRecordStart());  // detached: reaches no page
    EXPECT_EQ(L"Status: Button Assigment", Text(IDD_OTF_MACRO, IDC_OTF_STATUS));
    EXPECT_EQ(1u, sink->AddRef());  // the count before
    EXPECT_EQ(1u, sink->Release());
    EXPECT_EQ(0u, sink->Release());

    // The mouse records nothing on the fly: the page stays as it was.
    Select(IDD_DEVICES);
    ChooseDevice(L"VEXA Mouse");
    Select(IDD_OTF_MACRO);
    EXPECT_EQ(L"Status: Button Assigment", Text(IDD_OTF_MACRO, IDC_OTF_STATUS));
    EXPECT_EQ(0, Connections(L"keyboard", "_IOTFMacroRecordingEvents"));
}

TEST_F(EventPagesTest, ApplicationListEventAndContextMenu)
{
    // F1 of the keyboard's active profile starts its first application.
    CComPtr<IDevice> keyboard = Keyboard();
    ASSERT_TRUE(keyboard);
    std::wstring appName;
    {
        CComPtr<IApplicationList> apps = DeviceFeature<IApplicationList>(keyboard);
        CComPtr<IApplication> app;
        ASSERT_HRESULT_SUCCEEDED(apps->GetApplication(0, app.Put()));
        GUID id = {};
        ASSERT_HRESULT_SUCCEEDED(app->GetId(&id));
        LPWSTR name = nullptr;
        ASSERT_HRESULT_SUCCEEDED(app->GetName(&name));
        appName = simtest::Take(name);
        CComPtr<IKeyAssignments> keys = ProfileFeature<IKeyAssignments>(ActiveProfile(keyboard));
        AssignmentRecord record = {};
        record.id = 0x3B;
        record.kind = hvmw::kKindApplication;
        record.SetTargetGuid(id);
        record.SetWord28(1);
        ASSERT_HRESULT_SUCCEEDED(keys->SetAssignments(1, &record));
    }

    Open();
    ChooseDevice(L"VEXA Keyboard");
    ASSERT_TRUE(Select(IDD_HVAPP));
    HWND page = PageWindow(IDD_HVAPP);
    HWND list = Item(IDD_HVAPP, IDC_HVAPP_LIST);
    ASSERT_EQ(1, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(L"0", RowText(list, 0, 0));
    EXPECT_EQ(appName, RowText(list, 0, 1));
    EXPECT_EQ(L"Status: Application callback", Text(IDD_HVAPP, IDC_HVAPP_STATUS));
    EXPECT_EQ(1, Connections(L"keyboard", "_IApplicationEvent"));

    simtest::Tool({L"press", L"keyboard", L"0x3B"});
    hvtest::FlushMessages();
    EXPECT_EQ(appName, Text(IDD_HVAPP, IDC_HVAPP_STATUS));
    CaptureSheet(L"hvapp-event");

    // Not in front, the page hears nothing.
    SetDlgItemTextW(page, IDC_HVAPP_STATUS, L"before");
    Select(IDD_OTF_MACRO);
    EXPECT_EQ(0, Connections(L"keyboard", "_IApplicationEvent"));
    simtest::Tool({L"press", L"keyboard", L"0x3B"});
    hvtest::FlushMessages();
    EXPECT_EQ(L"before", Text(IDD_HVAPP, IDC_HVAPP_STATUS));
    ASSERT_TRUE(Select(IDD_HVAPP));

    // New adds an application named "New"; Edit only says so; Export writes the clicked row's file,
    // Delete removes it, Import reads a file into a new one.
    RightClickAndPick(page, list, -1, kNew);
    ASSERT_EQ(2, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(L"New", RowText(list, 1, 1));
    EXPECT_EQ(2u, simtest::DumpLines(L"keyboard", L"application ").size());
    RightClickAndPick(page, list, 1, kEdit);
    EXPECT_EQ(std::vector<std::wstring>{L"Edit your head ah! Not done yet!!!"}, dialogs.messages);

    const std::wstring file = hvtest::TestFile(L"application.hvm");
    DeleteFileW(file.c_str());
    dialogs.fileAnswer = file;
    RightClickAndPick(page, list, 0, kExport);
    ASSERT_EQ(1u, dialogs.fileRequests.size());
    ExpectFileRequest(dialogs.fileRequests[0], true, L"hvm", L"Halvo HvApp Files (*.hvm)|*.hvm|All Files (*.*)|*.*||");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));

    RightClickAndPick(page, list, 1, kDelete);
    ASSERT_EQ(1, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(1u, simtest::DumpLines(L"keyboard", L"application ").size());
    RightClickAndPick(page, list, -1, kDelete);  // no row clicked: nothing to delete
    EXPECT_EQ(1, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    RightClickAndPick(page, list, -1, kExport);  // nor to export
    EXPECT_EQ(1u, dialogs.fileRequests.size());

    RightClickAndPick(page, list, -1, kImport);
    ASSERT_EQ(2u, dialogs.fileRequests.size());
    EXPECT_FALSE(dialogs.fileRequests[1].save);
    ASSERT_EQ(2, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(appName, RowText(list, 1, 1));
    dialogs.fileAnswer.clear();
    RightClickAndPick(page, list, -1, kImport);  // cancelled: nothing read
    EXPECT_EQ(2, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));

    // Left, the page lets its rows go; back, it lists the device again.
    Select(IDD_OTF_MACRO);
    EXPECT_EQ(0, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    Select(IDD_HVAPP);
    EXPECT_EQ(2, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

TEST_F(EventPagesTest, LogSwitchAppliesTheClickedBoxToTheStoredByte)
{
    SetLogByte(1);
    Open();
    ASSERT_TRUE(Select(IDD_SETTINGS));
    EXPECT_EQ(BST_CHECKED, Check(IDD_SETTINGS, IDC_SETTINGS_FILE_LOGGING));
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_SETTINGS, IDC_SETTINGS_DEBUG_OUTPUT));
    const std::wstring logPath = hvtest::EnvVar(L"USERPROFILE") + L"\\HvMwApi.log";
    EXPECT_EQ(logPath, Text(IDD_SETTINGS, IDC_SETTINGS_LOG_PATH));
    CaptureSheet(L"settings-file-logging");

    Click(IDD_SETTINGS, IDC_SETTINGS_DEBUG_OUTPUT);
    EXPECT_EQ(3, LogByte());
    Click(IDD_SETTINGS, IDC_SETTINGS_FILE_LOGGING);
    EXPECT_EQ(2, LogByte());

    // Without the value, a click applies its box to 0.
    {
        CRegKey key = LogKey(false);
        ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(key.Get(), L"LogEnabled"));
    }
    Reselect(IDD_SETTINGS);
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_SETTINGS, IDC_SETTINGS_FILE_LOGGING));
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_SETTINGS, IDC_SETTINGS_DEBUG_OUTPUT));
    Click(IDD_SETTINGS, IDC_SETTINGS_FILE_LOGGING);
    EXPECT_EQ(1, LogByte());

    // A double click is two clicks, each written: on, then off again.
    ASSERT_TRUE(hvtest::DoubleClick(Item(IDD_SETTINGS, IDC_SETTINGS_DEBUG_OUTPUT), {5, 5}));
    hvtest::FlushMessages();
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_SETTINGS, IDC_SETTINGS_DEBUG_OUTPUT));
    EXPECT_EQ(1, LogByte());

    // Open hands the log's path to the shell.
    Click(IDD_SETTINGS, IDC_SETTINGS_OPEN);
    ASSERT_EQ(1u, dialogs.opened.size());
    EXPECT_EQ(L"Open", dialogs.opened[0].first);
    EXPECT_EQ(logPath, dialogs.opened[0].second);

    // Without the key nothing is written, and the key is not made.
    ASSERT_EQ(ERROR_SUCCESS, DeleteLogKey());
    Click(IDD_SETTINGS, IDC_SETTINGS_DEBUG_OUTPUT);
    EXPECT_FALSE(LogKey(false));
    Reselect(IDD_SETTINGS);
    EXPECT_EQ(BST_UNCHECKED, Check(IDD_SETTINGS, IDC_SETTINGS_DEBUG_OUTPUT));
    EXPECT_TRUE(dialogs.messages.empty());
}
