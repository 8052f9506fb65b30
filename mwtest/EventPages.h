// The two pages that follow device events while they are in front: the application list with its
// application event, and the keyboard's on-the-fly macro recording. Each advises its sink when it
// is activated and unadvises it when it is left, when the sheet is cancelled and when it goes; an
// event arriving while another page is shown changes nothing.
#pragma once

#include "mwtest/EventSink.h"
#include "mwtest/MwPage.h"
#include "platform/ListCtrl.h"

class CHvAppPage;
class COtfMacroRecordingPage;

// Shows the path of the application event in the page's status line.
class CApplicationSink : public CHeapSink<_IApplicationEvent, CHvAppPage>
{
public:
    using CHeapSink::CHeapSink;
    HRESULT STDMETHODCALLTYPE OnApplicationEvent(int kind, LPCWSTR path) override;
};

// "HvApp": the device's applications (index and name) with a context menu to add, delete, import
// and export them, and the status line of the application event.
class CHvAppPage : public CHvMwPage
{
public:
    CHvAppPage();
    void ShowStatus(const wchar_t* text) const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // Ends the page's use of the list: unadvises, releases the rows and the list.
    void LetGo() override;
    void OnListRightClick(NMHDR* header, LRESULT* result);

private:
    void FillList();
    void RunCommand(UINT command, int row);

    CListCtrl m_list;
    CComPtr<IApplicationList> m_applications;
    CSinkConnection<CApplicationSink> m_connection;
    HV_DECLARE_MSG_MAP()
};

// Shows each recording event in the page's status line.
class COtfMacroRecordingSink : public CHeapSink<_IOTFMacroRecordingEvents, COtfMacroRecordingPage>
{
public:
    using CHeapSink::CHeapSink;
    HRESULT STDMETHODCALLTYPE OnRecordStart() override;
    HRESULT STDMETHODCALLTYPE OnRecordEnd() override;
    HRESULT STDMETHODCALLTYPE OnButtonAssignment(int kind, int code) override;
    HRESULT STDMETHODCALLTYPE OnRecordCancel() override;

private:
    void Show(const std::wstring& text) const;
};

// "OTFMacro": the status line of the keyboard's on-the-fly recording.
class COtfMacroRecordingPage : public CHvMwPage
{
public:
    COtfMacroRecordingPage();
    void ShowStatus(const std::wstring& text) const;

protected:
    BOOL OnSetActive() override;
    void LetGo() override;

private:
    CComPtr<IOtfMacroRecording> m_recording;
    CSinkConnection<COtfMacroRecordingSink> m_connection;
};
