// The twin pages of the active profile's stage features: "DPI" (IDpi) and "Sensitivity Scaler"
// (ISensitivityScaler). Both show the active value pair on two track bars, the stage list with
// the active stage marked ">", the selected stage's values and the number of stages, let the user
// change each, and follow the feature's value event while they are in front; the DPI page also
// follows the stage event.
#pragma once

#include <memory>

#include "mwtest/EventSink.h"
#include "mwtest/MwPage.h"
#include "platform/CommonControls.h"
#include "platform/Controls.h"

// The calls of either stage feature (the two interfaces have one slot layout and one set of names).
class CStageFeature
{
public:
    virtual ~CStageFeature() = default;
    virtual IUnknown* Unknown() const = 0;
    virtual HRESULT GetActiveDpi(DpiValue* value) = 0;
    virtual HRESULT SetActiveDpi(int x, int y) = 0;
    virtual HRESULT GetStageInfo(StageInfo* info) = 0;
    virtual HRESULT GetActiveStage(int* stage) = 0;
    virtual HRESULT SetActiveStage(int stage) = 0;
    virtual HRESULT GetStages(int* count, DpiValue** stages) = 0;
    virtual HRESULT SetStages(int count, const DpiValue* stages) = 0;
    virtual HRESULT GetRange(int* min, int* max, int* step) = 0;
};

// What both pages do; each page names its feature, its sinks and its failure text.
class CStagesPage : public CHvMwPage
{
public:
    // The active pair on the bars 1042 and 1044 and their texts (the value events call it).
    void ShowActive(int x, int y);

protected:
    CStagesPage(UINT templateId, const wchar_t* activeFailure);

    // The feature of the active profile (through the device's mouse), or null.
    virtual std::unique_ptr<CStageFeature> Obtain() const = 0;
    virtual void AdviseSinks() = 0;
    virtual void UnadviseSinks() = 0;
    CStageFeature* Feature() const { return m_feature.get(); }

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // Unadvises every sink and lets the feature go.
    void LetGo() override;
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    void OnStageSelected();
    void OnStageDoubleClick();
    void OnApplyActive();
    void OnApplyStage();

    // Reads the active pair and shows it.
    void ReadActive();
    // Moves the ">" mark to stage (1-based) and selects it; false for a stage the list has not.
    bool MarkStage(int stage);
    // The values of a stage (0-based) on the stage bars, when the feature has that stage.
    void ShowStageValues(int index);

private:
    void SetRanges();
    void FillStages();

    const wchar_t* m_activeFailure;
    std::unique_ptr<CStageFeature> m_feature;
    CSliderCtrl m_stageX;
    CSliderCtrl m_stageY;
    CSliderCtrl m_activeX;
    CSliderCtrl m_activeY;
    CListBox m_stages;
    CSpinButtonCtrl m_count;
    HV_DECLARE_MSG_MAP()
};

class CDpiSink : public CHeapSink<_IDPIEvents, CStagesPage>
{
public:
    using CHeapSink::CHeapSink;
    HRESULT STDMETHODCALLTYPE OnDpiChanged(int x, int y) override;
};

class CSensitivityScalerSink : public CHeapSink<_ISensitivityScalerEvents, CStagesPage>
{
public:
    using CHeapSink::CHeapSink;
    HRESULT STDMETHODCALLTYPE OnLevelChanged(int x, int y) override;
};

class CDPIPage;

// The DPI page's own sink of the stage event: it posts the page the event, the page does the work.
class CDpiEventsSink : public CEmbeddedSink<_IDPIEvents2, CDPIPage>
{
public:
    using CEmbeddedSink::CEmbeddedSink;
    HRESULT STDMETHODCALLTYPE OnDpiEvent(DWORD flags, LPARAM value) override;
};

// "DPI": IDpi, its value event and its stage event (messages 0x502 and 0x503), and 0x501, which sets
// the active bars.
class CDPIPage : public CStagesPage
{
public:
    CDPIPage();
    // The page's sink of the stage event, as the middleware calls it.
    _IDPIEvents2* StageEventSink() { return &m_stageSink; }

protected:
    std::unique_ptr<CStageFeature> Obtain() const override;
    void AdviseSinks() override;
    void UnadviseSinks() override;
    LRESULT OnSetActiveValues(WPARAM x, LPARAM y);
    LRESULT OnDpiEvent(WPARAM flags, LPARAM value);

private:
    CDpiEventsSink m_stageSink;
    CSinkConnection<CDpiSink> m_valueSink;
    HV_DECLARE_MSG_MAP()
};

// "Sensitivity Scaler": ISensitivityScaler and its value event.
class CSensitivityScalerPage : public CStagesPage
{
public:
    CSensitivityScalerPage();

protected:
    std::unique_ptr<CStageFeature> Obtain() const override;
    void AdviseSinks() override;
    void UnadviseSinks() override;

private:
    CSinkConnection<CSensitivityScalerSink> m_valueSink;
};
