// An owner-drawn button that shows a still picture and, on a double click, plays its animation
// once in an animation control laid over it (AVIBUTTON).
#pragma once

#include <string>

#include "GUIItem.h"
#include "GdiObject.h"
#include "Handles.h"
#include "Wnd.h"

class CAVIButton : public CWnd, public CGUIItem
{
public:
    CAVIButton();
    ~CAVIButton() override;

    bool Create(const RECT& rect, HWND parent, UINT id = 0);
    void SetVideo(const std::wstring& file) { m_video = file; }
    void SetSound(const std::wstring& file) { m_sound = file; }
    // The picture drawn while nothing plays; copied.
    void SetStillBitmap(HBITMAP bitmap);

    const std::wstring& Video() const { return m_video; }
    const std::wstring& Sound() const { return m_sound; }
    bool IsPlaying() const { return m_playing; }

private:
    void OnDoubleClicked();
    void OnClicked() {}
    void DrawItem(DRAWITEMSTRUCT* item);

    CWindowHandle m_animation;
    std::wstring m_video;
    std::wstring m_sound;
    CBitmap m_still;
    bool m_playing = false;

    HV_DECLARE_MSG_MAP()
};
