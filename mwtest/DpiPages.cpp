#include "mwtest/DpiPages.h"

#include <vector>

#include "mwtest/MwTestRes.h"
#include "mwtest/PageKit.h"
#include "platform/WStr.h"

namespace {

template <class I>
class CStageFeatureOf : public CStageFeature
{
public:
    explicit CStageFeatureOf(CComPtr<I> feature) : m_feature(std::move(feature)) {}
    IUnknown* Unknown() const override { return m_feature.Get(); }
    HRESULT GetActiveDpi(DpiValue* value) override { return m_feature->GetActiveDpi(value); }
    HRESULT SetActiveDpi(int x, int y) override { return m_feature->SetActiveDpi(x, y); }
    HRESULT GetStageInfo(StageInfo* info) override { return m_feature->GetStageInfo(info); }
    HRESULT GetActiveStage(int* stage) override { return m_feature->GetActiveStage(stage); }
    HRESULT SetActiveStage(int stage) override { return m_feature->SetActiveStage(stage); }
    HRESULT GetStages(int* count, DpiValue** stages) override { return m_feature->GetStages(count, stages); }
    HRESULT SetStages(int count, const DpiValue* stages) override { return m_feature->SetStages(count, stages); }
    HRESULT GetRange(int* min, int* max, int* step) override { return m_feature->GetRange(min, max, step); }

private:
    CComPtr<I> m_feature;
};

template <class I>
std::unique_ptr<CStageFeature> Wrap(CComPtr<I> feature)
{
    return feature ? std::make_unique<CStageFeatureOf<I>>(std::move(feature)) : nullptr;
}

// The stage list as GetStages hands it out, freed with the task allocator; empty when the call
// failed or its count does not fit the block.
std::vector<DpiValue> ReadStages(CStageFeature& feature, bool* ok = nullptr)
{
    int count = 0;
    DpiValue* block = nullptr;
    std::vector<DpiValue> stages;
    const bool read = SUCCEEDED(feature.GetStages(&count, &block)) && count >= 0 &&
                      TaskBlockHolds(block, static_cast<size_t>(count) * sizeof(DpiValue));
    if (read)
        stages.assign(block, block + count);
    ::CoTaskMemFree(block);
    if (ok)
        *ok = read;
    return stages;
}

std::wstring Number(int value)
{
    return wstr::Format(L"%d", value);
}

const wchar_t kMark = L'>';

} // namespace

// ---- CStagesPage --------------------------------------------------------------------------------

BEGIN_MSG_MAP(CStagesPage, CHvMwPage)
    ON_MESSAGE(WM_HSCROLL, OnHScroll)
    ON_MESSAGE(WM_VSCROLL, OnVScroll)
    ON_CONTROL(LBN_SELCHANGE, IDC_DPI_STAGES, OnStageSelected)
    ON_CONTROL(LBN_DBLCLK, IDC_DPI_STAGES, OnStageDoubleClick)
    ON_COMMAND(IDC_DPI_APPLY_ACTIVE, OnApplyActive)
    ON_COMMAND(IDC_DPI_APPLY_STAGE, OnApplyStage)
END_MSG_MAP()

CStagesPage::CStagesPage(UINT templateId, const wchar_t* activeFailure)
    : CHvMwPage(templateId), m_activeFailure(activeFailure)
{
}

BOOL CStagesPage::OnInitDialog()
{
    m_stageX.SubclassDlgItem(IDC_DPI_STAGE_X, m_hWnd);
    m_stageY.SubclassDlgItem(IDC_DPI_STAGE_Y, m_hWnd);
    m_activeX.SubclassDlgItem(IDC_DPI_ACTIVE_X, m_hWnd);
    m_activeY.SubclassDlgItem(IDC_DPI_ACTIVE_Y, m_hWnd);
    m_stages.SubclassDlgItem(IDC_DPI_STAGES, m_hWnd);
    m_count.SubclassDlgItem(IDC_DPI_STAGE_SPIN, m_hWnd);
    m_feature = Obtain();
    SetRanges();
    return CHvMwPage::OnInitDialog();
}

void CStagesPage::SetRanges()
{
    int min = 0;
    int max = 0;
    int step = 0;
    if (!m_feature || FAILED(m_feature->GetRange(&min, &max, &step)))
        return;
    for (CSliderCtrl* bar : {&m_activeX, &m_activeY, &m_stageX, &m_stageY}) {
        bar->SetRange(min, max);
        bar->SetTicFreq(step);
    }
}

BOOL CStagesPage::OnSetActive()
{
    if (!m_feature) {
        m_feature = Obtain();
        // The range belongs to the feature: a page first shown without one has none yet.
        SetRanges();
    }
    if (m_feature) {
        ReadActive();
        StageInfo info = {};
        if (SUCCEEDED(m_feature->GetStageInfo(&info))) {
            bool read = false;
            const std::vector<DpiValue> stages = ReadStages(*m_feature, &read);
            if (read)
                FillStages();
            SetText(IDC_DPI_STAGE_COUNT, Number(read ? static_cast<int>(stages.size()) : 0));
            m_count.SetRange32(1, info.maxStages);
            m_count.SetPos32(static_cast<int>(stages.size()));
        }
        AdviseSinks();
    }
    return CHvMwPage::OnSetActive();
}

void CStagesPage::LetGo()
{
    UnadviseSinks();
    m_feature.reset();
}

void CStagesPage::ShowActive(int x, int y)
{
    m_activeX.SetPos(x);
    SetText(IDC_DPI_ACTIVE_X_TEXT, Number(x));
    m_activeY.SetPos(y);
    SetText(IDC_DPI_ACTIVE_Y_TEXT, Number(y));
}

void CStagesPage::ReadActive()
{
    DpiValue active = {};
    if (m_feature && SUCCEEDED(m_feature->GetActiveDpi(&active)))
        ShowActive(active.x, active.y);
}

void CStagesPage::ShowStageValues(int index)
{
    if (!m_feature || index < 0)
        return;
    const std::vector<DpiValue> stages = ReadStages(*m_feature);
    if (static_cast<size_t>(index) >= stages.size())
        return;
    m_stageX.SetPos(stages[index].x);
    SetText(IDC_DPI_STAGE_X_TEXT, Number(stages[index].x));
    m_stageY.SetPos(stages[index].y);
    SetText(IDC_DPI_STAGE_Y_TEXT, Number(stages[index].y));
}

void CStagesPage::FillStages()
{
    m_stages.ResetContent();
    if (!m_feature)
        return;
    const int count = static_cast<int>(ReadStages(*m_feature).size());
    for (int stage = 1; stage <= count; ++stage)
        m_stages.AddString(wstr::Format(L"Stage %d", stage).c_str());
    int active = 0;
    if (SUCCEEDED(m_feature->GetActiveStage(&active)) && MarkStage(active))
        ShowStageValues(active - 1);
}

bool CStagesPage::MarkStage(int stage)
{
    const int index = stage - 1;
    if (index < 0 || index >= m_stages.GetCount())
        return false;
    // Replacing an entry: deleted, and its new text inserted at the same place.
    for (int entry = 0, count = m_stages.GetCount(); entry < count; ++entry) {
        const std::wstring text = m_stages.GetText(entry);
        if (!text.empty() && text[0] == kMark) {
            m_stages.DeleteString(entry);
            m_stages.InsertString(entry, text.substr(1).c_str());
            break;
        }
    }
    const std::wstring text = m_stages.GetText(index);
    m_stages.DeleteString(index);
    m_stages.InsertString(index, (kMark + text).c_str());
    m_stages.SetCurSel(index);
    return true;
}

LRESULT CStagesPage::OnHScroll(WPARAM, LPARAM lParam)
{
    const HWND moved = reinterpret_cast<HWND>(lParam);
    struct Pair
    {
        CSliderCtrl* bar;
        int text;
        CSliderCtrl* other;
        int otherText;
        int both;
    };
    const Pair pairs[] = {
        {&m_stageX, IDC_DPI_STAGE_X_TEXT, &m_stageY, IDC_DPI_STAGE_Y_TEXT, IDC_DPI_STAGE_BOTH},
        {&m_stageY, IDC_DPI_STAGE_Y_TEXT, &m_stageX, IDC_DPI_STAGE_X_TEXT, IDC_DPI_STAGE_BOTH},
        {&m_activeX, IDC_DPI_ACTIVE_X_TEXT, &m_activeY, IDC_DPI_ACTIVE_Y_TEXT, IDC_DPI_ACTIVE_BOTH},
        {&m_activeY, IDC_DPI_ACTIVE_Y_TEXT, &m_activeX, IDC_DPI_ACTIVE_X_TEXT, IDC_DPI_ACTIVE_BOTH},
    };
    for (const Pair& pair : pairs) {
        if (pair.bar->m_hWnd != moved)
            continue;
        // Nothing is written while a bar moves. The coupled bar follows the moved bar's position
        // (a key step's message carries none).
        const int position = pair.bar->GetPos();
        SetText(pair.text, Number(position));
        if (::IsDlgButtonChecked(m_hWnd, pair.both) == BST_CHECKED) {
            pair.other->SetPos(position);
            SetText(pair.otherText, Number(position));
        }
        break;
    }
    return 0;
}

LRESULT CStagesPage::OnVScroll(WPARAM wParam, LPARAM lParam)
{
    // The number of stages is written when a change of it ends.
    if (reinterpret_cast<HWND>(lParam) != m_count.m_hWnd || LOWORD(wParam) != SB_ENDSCROLL || !m_feature)
        return 0;
    const int count = static_cast<short>(HIWORD(wParam));
    StageInfo info = {};
    if (FAILED(m_feature->GetStageInfo(&info)) || count <= 0 || count > info.maxStages)
        return 0;
    bool read = false;
    std::vector<DpiValue> stages = ReadStages(*m_feature, &read);
    if (!read)
        return 0;
    // More stages than there were: the new ones copy the last.
    const DpiValue last = stages.empty() ? DpiValue{} : stages.back();
    stages.resize(static_cast<size_t>(count), last);
    const HRESULT hr = m_feature->SetStages(count, stages.data());
    if (hr == HVMW_E_REFUSED) {
        m_count.SetPos32(count + 1);
        return 0;
    }
    if (FAILED(hr))
        return 0;
    SetText(IDC_DPI_STAGE_COUNT, Number(count));
    FillStages();
    return 0;
}

void CStagesPage::OnStageSelected()
{
    ShowStageValues(m_stages.GetCurSel());
}

void CStagesPage::OnStageDoubleClick()
{
    const int selected = m_stages.GetCurSel();
    if (m_feature && selected >= 0 && SUCCEEDED(m_feature->SetActiveStage(selected + 1)))
        MarkStage(selected + 1);
}

void CStagesPage::OnApplyActive()
{
    if (!m_feature)
        return;
    const int x = m_activeX.GetPos();
    const int y = ::IsDlgButtonChecked(m_hWnd, IDC_DPI_ACTIVE_BOTH) == BST_CHECKED ? x : m_activeY.GetPos();
    if (FAILED(m_feature->SetActiveDpi(x, y)))
        Tell(m_activeFailure);
}

void CStagesPage::OnApplyStage()
{
    const int selected = m_stages.GetCurSel();
    if (!m_feature || selected < 0)
        return;
    bool read = false;
    std::vector<DpiValue> stages = ReadStages(*m_feature, &read);
    if (!read || static_cast<size_t>(selected) >= stages.size())
        return;
    const int x = m_stageX.GetPos();
    stages[selected] = {x, ::IsDlgButtonChecked(m_hWnd, IDC_DPI_STAGE_BOTH) == BST_CHECKED ? x : m_stageY.GetPos()};
    m_feature->SetStages(static_cast<int>(stages.size()), stages.data());
}

// ---- The value sinks ----------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CDpiSink::OnDpiChanged(int x, int y)
{
    if (CStagesPage* page = OwnerPage())
        page->ShowActive(x, y);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSensitivityScalerSink::OnLevelChanged(int x, int y)
{
    if (CStagesPage* page = OwnerPage())
        page->ShowActive(x, y);
    return S_OK;
}

// ---- CDPIPage -----------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CDpiEventsSink::OnDpiEvent(DWORD flags, LPARAM value)
{
    if (CDPIPage* page = OwnerPage()) {
        if (flags & hvmw::kDpiEventValues)
            page->PostMessage(kMsgDpiValuesEvent, flags, value);
        if (flags & hvmw::kDpiEventStage)
            page->PostMessage(kMsgDpiStageEvent, flags, value);
    }
    return S_OK;
}

BEGIN_MSG_MAP(CDPIPage, CStagesPage)
    ON_MESSAGE(kMsgSetActiveValues, OnSetActiveValues)
    ON_MESSAGE(kMsgDpiValuesEvent, OnDpiEvent)
    ON_MESSAGE(kMsgDpiStageEvent, OnDpiEvent)
END_MSG_MAP()

CDPIPage::CDPIPage() : CStagesPage(IDD_DPI, L"Cannot set active Dpi level!!!"), m_stageSink(this)
{
}

std::unique_ptr<CStageFeature> CDPIPage::Obtain() const
{
    return Wrap(MouseProfileFeature<IDpi>());
}

void CDPIPage::AdviseSinks()
{
    if (!Feature())
        return;
    m_stageSink.Advise(Feature()->Unknown());
    m_valueSink.Advise(Feature()->Unknown(), static_cast<CStagesPage*>(this));
}

void CDPIPage::UnadviseSinks()
{
    m_stageSink.Unadvise();
    m_valueSink.Unadvise();
}

LRESULT CDPIPage::OnSetActiveValues(WPARAM x, LPARAM y)
{
    ShowActive(static_cast<int>(x), static_cast<int>(y));
    return 0;
}

LRESULT CDPIPage::OnDpiEvent(WPARAM flags, LPARAM value)
{
    // Only the events of one kind each: flags that say both (9) change nothing.
    if (flags == hvmw::kDpiEventValues) {
        ReadActive();
    } else if (flags == hvmw::kDpiEventStage) {
        if (MarkStage(static_cast<int>(value)))
            ShowStageValues(static_cast<int>(value) - 1);
    }
    return 0;
}

// ---- CSensitivityScalerPage ---------------------------------------------------------------------

CSensitivityScalerPage::CSensitivityScalerPage() : CStagesPage(IDD_SENSITIVITY_SCALER, L"Cannot set active level!!!")
{
}

std::unique_ptr<CStageFeature> CSensitivityScalerPage::Obtain() const
{
    return Wrap(MouseProfileFeature<ISensitivityScaler>());
}

void CSensitivityScalerPage::AdviseSinks()
{
    if (Feature())
        m_valueSink.Advise(Feature()->Unknown(), static_cast<CStagesPage*>(this));
}

void CSensitivityScalerPage::UnadviseSinks()
{
    m_valueSink.Unadvise();
}
