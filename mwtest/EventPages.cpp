#include "mwtest/EventPages.h"

#include "mwtest/KeyNames.h"
#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/WStr.h"

namespace {

const wchar_t kAppFilter[] = L"Halvo HvApp Files (*.hvm)|*.hvm|All Files (*.*)|*.*||";

} // namespace

// ---- CHvAppPage ---------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CApplicationSink::OnApplicationEvent(int, LPCWSTR path)
{
    if (CHvAppPage* page = OwnerPage())
        page->ShowStatus(path ? path : L"");
    return S_OK;
}

BEGIN_MSG_MAP(CHvAppPage, CHvMwPage)
    ON_NOTIFY(NM_RCLICK, IDC_HVAPP_LIST, OnListRightClick)
END_MSG_MAP()

CHvAppPage::CHvAppPage() : CHvMwPage(IDD_HVAPP)
{
}

void CHvAppPage::ShowStatus(const wchar_t* text) const
{
    SetDlgItemText(IDC_HVAPP_STATUS, text);
}

BOOL CHvAppPage::OnInitDialog()
{
    SetUpList(m_list, m_hWnd, IDC_HVAPP_LIST, {{L"Index", LVCFMT_LEFT, 90}, {L"Application", LVCFMT_LEFT, 280}}, 0);
    return CHvMwPage::OnInitDialog();
}

BOOL CHvAppPage::OnSetActive()
{
    if (!m_applications)
        m_applications = DeviceFeature<IApplicationList>();
    if (m_applications) {
        FillList();
        m_connection.Advise(m_applications.Get(), this);
    }
    return CHvMwPage::OnSetActive();
}

void CHvAppPage::LetGo()
{
    m_connection.Unadvise();
    ReleaseRows<IApplication>(m_list);
    m_applications.Reset();
}

void CHvAppPage::FillList()
{
    ReleaseRows<IApplication>(m_list);
    if (!m_applications)
        return;
    for (int i = 0; i < kMaxListWalk; ++i) {
        IApplication* application = nullptr;
        if (FAILED(m_applications->GetApplication(i, &application)) || !application)
            break;
        const int row = AddObjectRow(m_list, i, wstr::Format(L"%d", i).c_str(), application);
        if (row < 0)
            break;
        LPWSTR name = nullptr;
        if (SUCCEEDED(application->GetName(&name)) && name)
            m_list.SetItemText(row, 1, TakeText(name).c_str());
        else
            ::CoTaskMemFree(name);
    }
}

void CHvAppPage::OnListRightClick(NMHDR* header, LRESULT*)
{
    const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    // The command runs once the menu has closed.
    const UINT command = TrackContextMenu(IDR_HVAPP_MENU);
    if (command)
        RunCommand(command, row);
}

void CHvAppPage::RunCommand(UINT command, int row)
{
    if (m_applications &&
        RunItemCommand(command, m_applications.Get(), RowObject<IApplication>(m_list, row),
                       &IApplicationList::AddApplication, &IApplicationList::DeleteApplication,
                       &IApplicationList::ImportApplication, L"New", kAppFilter))
        FillList();
}

// ---- COtfMacroRecordingPage ---------------------------------------------------------------------

void COtfMacroRecordingSink::Show(const std::wstring& text) const
{
    if (COtfMacroRecordingPage* page = OwnerPage())
        page->ShowStatus(text);
}

HRESULT STDMETHODCALLTYPE COtfMacroRecordingSink::OnRecordStart()
{
    Show(L"Status: Record Start");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COtfMacroRecordingSink::OnRecordEnd()
{
    Show(L"Status: Record End");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COtfMacroRecordingSink::OnButtonAssignment(int kind, int code)
{
    std::wstring text = L"Status: Button Assigment";
    if (kind == hvmw::kOtfAssignKey)
        text += L" - Key: " + KeyNameOfCode(static_cast<DWORD>(code), 10);
    Show(text);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COtfMacroRecordingSink::OnRecordCancel()
{
    Show(L"Status: Record Cancel");
    return S_OK;
}

COtfMacroRecordingPage::COtfMacroRecordingPage() : CHvMwPage(IDD_OTF_MACRO)
{
}

void COtfMacroRecordingPage::ShowStatus(const std::wstring& text) const
{
    SetText(IDC_OTF_STATUS, text);
}

BOOL COtfMacroRecordingPage::OnSetActive()
{
    if (!m_recording)
        m_recording = DeviceFeature<IOtfMacroRecording>();
    if (m_recording)
        m_connection.Advise(m_recording.Get(), this);
    return CHvMwPage::OnSetActive();
}

void COtfMacroRecordingPage::LetGo()
{
    m_connection.Unadvise();
    m_recording.Reset();
}
