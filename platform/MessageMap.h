// Message maps: static tables that route window messages, commands and notifications to handler
// methods of a window class.
//
// A class declares its map with HV_DECLARE_MSG_MAP() (the last line of the class) and defines it
// in its source file:
//
//   BEGIN_MSG_MAP(CMyDialog, CDialog)
//       ON_WM_PAINT()
//       ON_MESSAGE(WM_PROGRESS_PERCENT, OnProgress)        // LRESULT OnProgress(WPARAM, LPARAM)
//       ON_REGISTERED_MESSAGE(s_wmListKey, OnListKey)      // the same, message number in a variable
//       ON_COMMAND(IDC_APPLY, OnApply)                     // void OnApply()
//       ON_CONTROL(EN_CHANGE, IDC_NAME, OnNameChanged)     // void OnNameChanged()
//       ON_COMMAND_RANGE(1000, 1999, OnProfileMenu)        // void OnProfileMenu(UINT id)
//       ON_NOTIFY(NM_CLICK, IDC_LIST, OnListClick)         // void OnListClick(NMHDR*, LRESULT*)
//   END_MSG_MAP()
//
// The tables of a class and of its bases form a chain searched from the most derived class down;
// the first entry that matches handles the message. Each entry carries a small thunk generated from
// a lambda, so handler signatures are checked by the compiler and no member-function pointer is
// ever cast.
//
// Reflection: a notification a child control sends to its parent (WM_COMMAND from a control,
// WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM,
// WM_CHARTOITEM, WM_VKEYTOITEM, WM_HSCROLL and WM_VSCROLL from a scroll bar or trackbar) is first
// offered to the C++ object of that child, whose ON_..._REFLECT entries may handle it. A plain
// reflected handler consumes the notification; an _EX handler returns FALSE to let the parent's map
// see it as well, and a WM_CTLCOLOR* handler does the same by returning a null brush. Only then does
// the parent's map get the notification. The parent's OnCommand and OnNotify overrides still see
// every command and notification before the child: the base implementations do the reflection, so
// an override that does not call the base keeps the notification from the child.
#pragma once

#include <windows.h>
#include "platform/Geometry.h"

class CWnd;

enum class MapEntryKind : unsigned char
{
    End,
    Message,         // a message or a range of messages (or a registered message)
    Command,         // WM_COMMAND: control id range and notification code (0 for menus and accelerators)
    Notify,          // WM_NOTIFY: control id range and notification code
    ReflectMessage,  // a reflected message range (WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM)
    ReflectCommand,  // a reflected WM_COMMAND notification code
    ReflectNotify,   // a reflected WM_NOTIFY notification code
};

// What a thunk receives: the message and, for commands and notifications, the decoded id and code.
struct MsgCall
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT id;
    UINT code;
    LRESULT* result;  // starts at 0
};

// Runs one handler; false when the handler left the message to others (an _EX reflected handler
// that returned FALSE, a reflected WM_CTLCOLOR* handler that returned no brush).
using MsgThunk = bool (*)(CWnd& wnd, const MsgCall& call);

struct MsgMapEntry
{
    MapEntryKind kind;
    UINT first;             // message, or the first control id
    UINT last;              // last message, or last control id
    UINT code;              // notification code of Command, Notify and the Reflect kinds
    const UINT* registered; // a registered message number, read at dispatch time (else null)
    MsgThunk thunk;
};

struct CMessageMap
{
    const CMessageMap* (*base)();  // null for the root of the chain
    const MsgMapEntry* entries;    // ends with an End entry
};

// The first entry of the chain that matches. For Message and ReflectMessage, value is the message;
// for the other kinds value is the notification code and id the control id.
const MsgMapEntry* FindMsgMapEntry(const CMessageMap* map, MapEntryKind kind, UINT value, UINT id);

// Declares the map of a class; put it last in the class (it leaves the access at private).
#define HV_DECLARE_MSG_MAP()                                  \
protected:                                                    \
    static const CMessageMap* GetThisMessageMap();            \
    const CMessageMap* GetMessageMap() const override;        \
                                                              \
private:

#define BEGIN_MSG_MAP(theClass, baseClass)                                              \
    const CMessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const CMessageMap* theClass::GetThisMessageMap()                                   \
    {                                                                                  \
        typedef theClass ThisClass __attribute__((unused));                            \
        typedef baseClass TheBaseClass;                                                \
        static const MsgMapEntry s_entries[] = {

#define END_MSG_MAP()                                                       \
            {MapEntryKind::End, 0, 0, 0, nullptr, nullptr}                  \
        };                                                                  \
        static const CMessageMap s_map = {&TheBaseClass::GetThisMessageMap, s_entries}; \
        return &s_map;                                                      \
    }

// The thunk: unpacks the call for one handler of ThisClass; the handler handles the message.
#define HV_MSG_THUNK(...)                                                        \
    [](CWnd& wnd_, [[maybe_unused]] const MsgCall& c_) -> bool {                 \
        ThisClass& self_ = static_cast<ThisClass&>(wnd_);                        \
        __VA_ARGS__;                                                             \
        return true;                                                             \
    }
// The same for a handler whose answer (an expression) says whether it handled the message.
#define HV_MSG_THUNK_EX(...)                                                     \
    [](CWnd& wnd_, [[maybe_unused]] const MsgCall& c_) -> bool {                 \
        ThisClass& self_ = static_cast<ThisClass&>(wnd_);                        \
        return (__VA_ARGS__);                                                    \
    }

// ---- Messages --------------------------------------------------------------------------------

// LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(msg, fn) \
    {MapEntryKind::Message, (msg), (msg), 0, nullptr, HV_MSG_THUNK(*c_.result = self_.fn(c_.wParam, c_.lParam))},
// LRESULT fn(UINT message, WPARAM, LPARAM)
#define ON_MESSAGE_RANGE(first, last, fn)                  \
    {MapEntryKind::Message, (first), (last), 0, nullptr,   \
     HV_MSG_THUNK(*c_.result = self_.fn(c_.message, c_.wParam, c_.lParam))},
// LRESULT fn(WPARAM, LPARAM); msgVar is a UINT holding a RegisterWindowMessage result.
#define ON_REGISTERED_MESSAGE(msgVar, fn) \
    {MapEntryKind::Message, 0, 0, 0, &(msgVar), HV_MSG_THUNK(*c_.result = self_.fn(c_.wParam, c_.lParam))},

// The common window messages with decoded arguments.
// int OnCreate(CREATESTRUCTW*): -1 fails the creation.
#define ON_WM_CREATE() \
    {MapEntryKind::Message, WM_CREATE, WM_CREATE, 0, nullptr, \
     HV_MSG_THUNK(*c_.result = self_.OnCreate(reinterpret_cast<CREATESTRUCTW*>(c_.lParam)))},
// void OnDestroy()
#define ON_WM_DESTROY() \
    {MapEntryKind::Message, WM_DESTROY, WM_DESTROY, 0, nullptr, HV_MSG_THUNK(self_.OnDestroy())},
// void OnPaint()
#define ON_WM_PAINT() \
    {MapEntryKind::Message, WM_PAINT, WM_PAINT, 0, nullptr, HV_MSG_THUNK(self_.OnPaint())},
// BOOL OnEraseBkgnd(HDC)
#define ON_WM_ERASEBKGND() \
    {MapEntryKind::Message, WM_ERASEBKGND, WM_ERASEBKGND, 0, nullptr, \
     HV_MSG_THUNK(*c_.result = self_.OnEraseBkgnd(reinterpret_cast<HDC>(c_.wParam)))},
// void OnTimer(UINT_PTR id)
#define ON_WM_TIMER() \
    {MapEntryKind::Message, WM_TIMER, WM_TIMER, 0, nullptr, HV_MSG_THUNK(self_.OnTimer(c_.wParam))},
// void OnClose()
#define ON_WM_CLOSE() \
    {MapEntryKind::Message, WM_CLOSE, WM_CLOSE, 0, nullptr, HV_MSG_THUNK(self_.OnClose())},
// void OnSize(UINT type, int cx, int cy)
#define ON_WM_SIZE() \
    {MapEntryKind::Message, WM_SIZE, WM_SIZE, 0, nullptr, \
     HV_MSG_THUNK(self_.OnSize(static_cast<UINT>(c_.wParam), LOWORD(c_.lParam), HIWORD(c_.lParam)))},
// HBRUSH OnCtlColor(HDC, HWND control, UINT ctlType), ctlType one of CTLCOLOR_*
#define ON_WM_CTLCOLOR() \
    {MapEntryKind::Message, WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, nullptr, \
     HV_MSG_THUNK(*c_.result = reinterpret_cast<LRESULT>(self_.OnCtlColor( \
         reinterpret_cast<HDC>(c_.wParam), reinterpret_cast<HWND>(c_.lParam), c_.message - WM_CTLCOLORMSGBOX)))},
// void fn(UINT keyFlags, CPoint clientPoint) for the mouse messages
#define HV_ON_MOUSE(msg, fn) \
    {MapEntryKind::Message, (msg), (msg), 0, nullptr, \
     HV_MSG_THUNK(self_.fn(static_cast<UINT>(c_.wParam), CPoint(c_.lParam)))},
#define ON_WM_MOUSEMOVE() HV_ON_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() HV_ON_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() HV_ON_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() HV_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() HV_ON_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)

// ---- Commands and notifications from controls ----------------------------------------------

// void fn(): a menu item, an accelerator, or a control's notification code 0 (BN_CLICKED).
#define ON_COMMAND(id, fn) \
    {MapEntryKind::Command, (id), (id), 0, nullptr, HV_MSG_THUNK(self_.fn())},
// void fn(UINT id)
#define ON_COMMAND_RANGE(firstId, lastId, fn) \
    {MapEntryKind::Command, (firstId), (lastId), 0, nullptr, HV_MSG_THUNK(self_.fn(c_.id))},
// void fn(): one notification code of one control.
#define ON_CONTROL(code, id, fn) \
    {MapEntryKind::Command, (id), (id), (code), nullptr, HV_MSG_THUNK(self_.fn())},
// void fn(UINT id)
#define ON_CONTROL_RANGE(code, firstId, lastId, fn) \
    {MapEntryKind::Command, (firstId), (lastId), (code), nullptr, HV_MSG_THUNK(self_.fn(c_.id))},
// void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, fn) \
    {MapEntryKind::Notify, (id), (id), static_cast<UINT>(code), nullptr, \
     HV_MSG_THUNK(self_.fn(reinterpret_cast<NMHDR*>(c_.lParam), c_.result))},
// void fn(UINT id, NMHDR*, LRESULT*)
#define ON_NOTIFY_RANGE(code, firstId, lastId, fn) \
    {MapEntryKind::Notify, (firstId), (lastId), static_cast<UINT>(code), nullptr, \
     HV_MSG_THUNK(self_.fn(c_.id, reinterpret_cast<NMHDR*>(c_.lParam), c_.result))},

// ---- Reflected notifications, handled by the control that sent them ------------------------
// They reach the control before its parent's map (see Reflection above).

// void fn(): a WM_COMMAND notification code sent by this control to its parent; the parent's map
// does not see it.
#define ON_CONTROL_REFLECT(code, fn) \
    {MapEntryKind::ReflectCommand, 0, 0xFFFFFFFF, (code), nullptr, HV_MSG_THUNK(self_.fn())},
// BOOL fn(): the same; FALSE lets the parent's map handle the notification too.
#define ON_CONTROL_REFLECT_EX(code, fn) \
    {MapEntryKind::ReflectCommand, 0, 0xFFFFFFFF, (code), nullptr, HV_MSG_THUNK_EX(self_.fn() != FALSE)},
// void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY_REFLECT(code, fn) \
    {MapEntryKind::ReflectNotify, 0, 0xFFFFFFFF, static_cast<UINT>(code), nullptr, \
     HV_MSG_THUNK(self_.fn(reinterpret_cast<NMHDR*>(c_.lParam), c_.result))},
// BOOL fn(NMHDR*, LRESULT*): FALSE lets the parent's map handle the notification too.
#define ON_NOTIFY_REFLECT_EX(code, fn) \
    {MapEntryKind::ReflectNotify, 0, 0xFFFFFFFF, static_cast<UINT>(code), nullptr, \
     HV_MSG_THUNK_EX(self_.fn(reinterpret_cast<NMHDR*>(c_.lParam), c_.result) != FALSE)},
// LRESULT fn(WPARAM, LPARAM): any reflected message (the parent's message number).
#define ON_MESSAGE_REFLECT(msg, fn) \
    {MapEntryKind::ReflectMessage, (msg), (msg), 0, nullptr, \
     HV_MSG_THUNK(*c_.result = self_.fn(c_.wParam, c_.lParam))},
// HBRUSH fn(HDC, UINT ctlType): every WM_CTLCOLOR* message. A null brush leaves the colours to the
// parent (its map, else its default).
#define ON_CTLCOLOR_REFLECT(fn) \
    {MapEntryKind::ReflectMessage, WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, nullptr, \
     HV_MSG_THUNK_EX((*c_.result = reinterpret_cast<LRESULT>( \
         self_.fn(reinterpret_cast<HDC>(c_.wParam), c_.message - WM_CTLCOLORMSGBOX))) != 0)},
// void fn(DRAWITEMSTRUCT*)
#define ON_DRAWITEM_REFLECT(fn) \
    {MapEntryKind::ReflectMessage, WM_DRAWITEM, WM_DRAWITEM, 0, nullptr, \
     HV_MSG_THUNK(*c_.result = TRUE; self_.fn(reinterpret_cast<DRAWITEMSTRUCT*>(c_.lParam)))},
// void fn(MEASUREITEMSTRUCT*)
#define ON_MEASUREITEM_REFLECT(fn) \
    {MapEntryKind::ReflectMessage, WM_MEASUREITEM, WM_MEASUREITEM, 0, nullptr, \
     HV_MSG_THUNK(*c_.result = TRUE; self_.fn(reinterpret_cast<MEASUREITEMSTRUCT*>(c_.lParam)))},
