// An owner-drawn button that shows a still picture and, on a double click, plays its animation
// once in an animation control laid over it (AVIBUTTON).
#pragma once

#include <string>

#include "platform/GdiObject.h"
#include "platform/TrackedWnd.h"
#include "platform/Wnd.h"
#include "skin/GUIItem.h"

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
    // The animation's window; null before the first double click and once the system destroyed it
    // with the button.
    HWND AnimationWindow() const { return m_animation.m_hWnd; }

private:
    void OnDoubleClicked();
    void OnClicked() {}
    void DrawItem(DRAWITEMSTRUCT* item);

    CTrackedWnd m_animation;  // a child: the system destroys it with the button
    std::wstring m_video;
    std::wstring m_sound;
    CBitmap m_still;
    bool m_playing = false;

    HV_DECLARE_MSG_MAP()
};
