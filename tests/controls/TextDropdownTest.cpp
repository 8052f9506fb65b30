// Buttons, animated buttons, text items and drop-down lists as the BUTTONS, TEXT ITEMS and LISTS
// sections build them in a real panel, driven by real mouse input: a text toggling its check box,
// hover, colours and formats; a drop-down's messages, choice, cancel, nested choice shown as
// secondary text and a disabled drop-down; and the sections' edge cases.
#include "controls/AVIButton.h"
#include "controls/BitmapBtn.h"
#include "controls/ControlMessages.h"
#include "controls/DropdownListItem.h"
#include "controls/ListPanelItem.h"
#include "controls/PopupBox.h"
#include "controls/TextItem.h"
#include "core/NameTables.h"
#include "skin/GUIItem.h"

#include "HvTest.h"
#include "LayoutTestFiles.h"
#include "ControlTest.h"
#include "RecordingPanel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace layouttest;
using controltest::Id;
using controltest::Rgb;
using controltest::RowCentre;
using controltest::ScreenPoint;
using controltest::WaitPastDoubleClick;
using hvtest::CRecordingPanel;
using controltest::ModalScript;

namespace {

constexpr COLORREF kPanel = RGB(24, 24, 24);
constexpr COLORREF kOff = RGB(200, 40, 40);
constexpr COLORREF kOver = RGB(40, 200, 60);
constexpr COLORREF kOn = RGB(40, 60, 220);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);  // "YELLOW"
constexpr COLORREF kRed = RGB(255, 0, 0);       // "RED"

void WriteItemSkin()
{
    WriteSkinBitmap(L"td_panel.bmp", 460, 300, [](int, int) { return Rgb(kPanel); });
    WriteSkinBitmap(L"td_mask.bmp", 460, 300, [](int, int) { return 0u; });
    WriteSkinBitmap(L"td_host.bmp", 120, 60, [](int, int) { return 0x404040u; });
    WriteSkinBitmap(L"td_off.bmp", 20, 20, [](int, int) { return Rgb(kOff); });
    WriteSkinBitmap(L"td_over.bmp", 20, 20, [](int, int) { return Rgb(kOver); });
    WriteSkinBitmap(L"td_on.bmp", 20, 20, [](int, int) { return Rgb(kOn); });
    WriteSkinBitmap(L"td_wide.bmp", 90, 40, [](int, int) { return 0x103060u; });
    WriteLayout(L"Items.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<GUIPANEL>
  <BACKGROUND>td_panel.bmp</BACKGROUND><MASK>td_mask.bmp</MASK>
  <FONTLIST><FONT name="FONT_ARIAL14B" typeface="Arial" pitch="15" boldlevel="700"/></FONTLIST>
  <BITMAPLIST>
    <BITMAPITEM name="BITMAP_MECHKBD" moveable="0"><SBMN>td_host.bmp</SBMN><RECT left="320" top="220" right="120" bottom="60"/></BITMAPITEM>
  </BITMAPLIST>
  <BUTTONLIST>
    <BUTTON name="BUTTON_ENABLEXY_POPUP" ischeckbox="1">
      <SBMN>td_off.bmp</SBMN><SBMO>td_over.bmp</SBMO><SBMD>td_on.bmp</SBMD><SBMDS>td_off.bmp</SBMDS>
      <RECT left="20" top="20" right="20" bottom="20"/>
    </BUTTON>
    <BUTTON name="BUTTON_DPISTAGES_OK" caption="ok\ngo" caps="U" justify="C" multiline="1" fontid="FONT_ARIAL14B">
      <SBMN fontclr="YELLOW">td_wide.bmp</SBMN><SBMO fontclr="WHITE">td_wide.bmp</SBMO><SBMD>td_wide.bmp</SBMD>
      <RECT left="340" top="20" right="90" bottom="40"/>
    </BUTTON>
    <BUTTON name="BUTTON_DPISTAGES_CANCEL" windowid="BITMAP_MECHKBD" tooltip="hosted">
      <SBMN fontclr="RED">td_wide.bmp</SBMN><RECT left="10" top="10" right="90" bottom="40"/>
    </BUTTON>
    <BUTTON name="BUTTON_DPISTAGES_DEC" justify="R"><SBMN>td_off.bmp</SBMN><RECT left="20" top="60" right="20" bottom="20"/></BUTTON>
    <AVIBUTTON name="BUTTON_DPISTAGES_INC"><VIDEO> intro.avi </VIDEO><SOUND>  </SOUND><RECT left="200" top="240" right="40" bottom="30"/></AVIBUTTON>
    <AVIBUTTON name="BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT"><RECT left="250" top="240" right="40" bottom="30"/></AVIBUTTON>
  </BUTTONLIST>
  <TEXTLIST>
    <TEXTITEM name="TEXT_ENABLEXY_POPUP" textkey="Separate X and Y" interactive="1" checkboxid="BUTTON_ENABLEXY_POPUP"
              fontid="FONT_ARIAL14B" fontclr="WHITE" fontclrhi="YELLOW" disbfontclr="RED" tooltip="label tip">
      <RECT left="46" top="18" right="160" bottom="24"/>
    </TEXTITEM>
    <TEXTITEM name="TEXT_NUMSTAGES" textkey="Stages" interactive="1" checkboxid="BUTTON_DPISTAGES_DEC">
      <RECT left="46" top="58" right="100" bottom="24"/>
    </TEXTITEM>
    <TEXTITEM name="TEXT_WARNDLG_HEADING" textkey="Heading\nnext" justify="C"><RECT left="20" top="160" right="200" bottom="20"/></TEXTITEM>
    <TEXTITEM name="TEXT_WARNDLG_MESSAGE" multiline="1"><RECT left="20" top="180" right="200" bottom="20"/></TEXTITEM>
    <TEXTITEM name="TEXT_DPI_X" justify="R" multiline="1" windowid="BITMAP_MECHKBD"><RECT left="10" top="50" right="50" bottom="8"/></TEXTITEM>
    <TEXTITEM name="TEXT_DPI_Y"><RECT left="250" top="180" right="50" bottom="20"/></TEXTITEM>
  </TEXTLIST>
  <LISTLIST>
    <COMBO name="LIST_DROPDOWN_POPUP" fontclr="WHITE" fontclrhi="YELLOW" backclr="BLACK" backclrhi="BLUE"
           bdrclr="RED" disbbackclr="DARKGREY" disbbdrclr="MIDGREY" disbfontclr="MIDGREY" bdrwidth="2" lmargin="6"
           rmargin="-4" fontid="FONT_ARIAL14B" tooltip="combo tip">
      <CLIST height="80"/>
      <CBOX><RECT left="20" top="100" right="200" bottom="26"/></CBOX>
      <COMBOITEMS><COMBOITEM> Left </COMBOITEM><COMBOITEM>Middle</COMBOITEM><COMBOITEM>Right</COMBOITEM></COMBOITEMS>
    </COMBO>
    <COMBO name="BUTTON_DROPDOWN_PROFILESELECT"><CBOX><RECT left="240" top="100" right="100" bottom="26"/></CBOX></COMBO>
    <COMBO name="LIST_GLOBALMACROLIST"><CLIST/><CBOX><RECT left="240" top="140" right="100" bottom="26"/></CBOX></COMBO>
  </LISTLIST>
  <LISTPANELLIST>
    <LISTPANEL name="LISTPANEL_ASSIGNSUBMENU_PR" fontclr="WHITE" backclr="BLACK" bdrclr="RED">
      <RECT left="0" top="0" right="100" bottom="40"/>
      <LISTPANELITEMS><LISTPANELITEM>Slow</LISTPANELITEM><LISTPANELITEM>Fast</LISTPANELITEM></LISTPANELITEMS>
    </LISTPANEL>
  </LISTPANELLIST>
</GUIPANEL>
)");
}

struct Scene : controltest::LayoutScene
{
    Scene() : LayoutScene(L"Items.xml", WriteItemSkin, 50, 50) {}
};

// A popup of the popup base over the item layout: its items are bound before the dialog's own
// initialisation runs.
class CItemsPopup : public CPopupBox
{
public:
    explicit CItemsPopup(CWnd* owner) : CPopupBox(L"Items.xml", owner) {}
    CBitmapBtn* ok = nullptr;
    bool boundFirst = false;
    bool ownerDisabled = false;

protected:
    void BindItems() override
    {
        ok = Items().FindAs<CBitmapBtn>(FindItemIdByName(L"BUTTON_DPISTAGES_OK"), ItemKind::BitmapBtn);
        boundFirst = !m_initialised;
    }
    BOOL OnInitDialog() override
    {
        m_initialised = false;
        BOOL result = CPopupBox::OnInitDialog();
        m_initialised = true;
        ownerDisabled = m_owner && !m_owner->IsWindowEnabled();
        return result;
    }

private:
    bool m_initialised = false;
};

// The shown popup of the popup base over the item layout, or null.
HWND ShownItemsPopup()
{
    return hvtest::ThreadWindow([](HWND hwnd) { return dynamic_cast<CItemsPopup*>(CWnd::FromHandlePermanent(hwnd)); });
}

} // namespace

TEST(Items, PopupBaseBindsItsLayoutAndRunsModally)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    for (UINT message : {UINT(WM_COMMAND), UINT(WM_CLOSE)}) {
        CItemsPopup popup(&scene.panel);
        // Posted to the popup from inside its modal loop once it shows.
        hvtest::ModalScript script(ShownItemsPopup, [](HWND shown) { PostMessageW(shown, WM_CLOSE, 0, 0); });
        script.ExpectOnce([message](HWND shown) {
            if (message == WM_CLOSE)
                PostMessageW(shown, WM_CLOSE, 0, 0);
            else
                PostMessageW(shown, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        const INT_PTR result = popup.DoModal();
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(result, message == WM_CLOSE ? IDCANCEL : IDOK);
        EXPECT_NE(popup.ok, nullptr) << "the popup's own layout was loaded";
        EXPECT_TRUE(popup.boundFirst) << "items are bound before the dialog's initialisation";
        EXPECT_TRUE(popup.ownerDisabled);
        EXPECT_TRUE(scene.panel.IsWindowEnabled());
        EXPECT_FALSE(popup.IsWindow());
    }
    // The template is an empty popup.
    const DLGTEMPLATE* empty = EmptyPopupTemplate();
    EXPECT_EQ(empty->style & (WS_POPUP | WS_CHILD | WS_CAPTION), static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(empty->cdit, 0);
}

TEST(Items, TextIsTheLabelOfItsCheckBox)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    auto* text = scene.Find<CTextItem>(L"TEXT_ENABLEXY_POPUP", ItemKind::TextItem);
    auto* box = scene.Find<CBitmapBtn>(L"BUTTON_ENABLEXY_POPUP", ItemKind::BitmapBtn);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->IsCheckBox());
    EXPECT_TRUE(box->IsToggle()) << "a layout check box toggles";
    EXPECT_EQ(text->CheckBox(), box);
    EXPECT_EQ(text->GetText(), L"Separate X and Y");
    EXPECT_EQ(text->GetDlgCtrlID(), text->id);
    EXPECT_EQ(text->GetStyle() & 0xFFFF01FF, static_cast<DWORD>(0x5000010D));
    EXPECT_EQ(text->Format(), 0u) << "a single-line left text is drawn with TextOut";
    EXPECT_EQ(text->ToolTip().Text(), L"label tip");
    EXPECT_EQ(ItemIdOfWindow(*box), box->id) << "a button's command names its item through the window";
    EXPECT_EQ(box->GetDlgCtrlID(), 0);

    // The text in its colour, over the panel's picture.
    hvtest::Bitmap shot = hvtest::CaptureClient(*text);
    ASSERT_FALSE(shot.Empty());
    EXPECT_GT(hvtest::CountPixelsNear(shot, CRect(0, 0, 160, 24), kWhite, 8), 30);
    EXPECT_GT(hvtest::CountPixelsNear(shot, CRect(0, 0, 160, 24), kPanel, 4), 160 * 24 / 2);

    // Hovering the text highlights the box and shows the text's hover colour.
    hvtest::MoveCursorTo(ScreenPoint(scene.panel, 440, 290));
    ASSERT_TRUE(hvtest::PrepareTarget(*text, {40, 12}));
    hvtest::FlushMessages();
    EXPECT_TRUE(text->IsHover());
    EXPECT_TRUE(box->IsHighlighted());
    EXPECT_EQ(text->CurrentColor(), kYellow);
    shot = hvtest::CaptureClient(*text);
    EXPECT_GT(hvtest::CountPixelsNear(shot, CRect(0, 0, 160, 24), kYellow, 8), 30);
    hvtest::ExpectRectNear(hvtest::CaptureClient(*box), CRect(0, 0, 20, 20), kOver, 2);
    hvtest::CaptureClient(scene.panel).SaveToTestDir(L"items_panel.bmp");
    hvtest::MoveCursorTo(ScreenPoint(scene.panel, 440, 290));
    hvtest::FlushMessages();
    EXPECT_FALSE(text->IsHover());
    EXPECT_FALSE(box->IsHighlighted());

    // Clicking the text toggles the box and sends the box's own command (after the text's own
    // STN_CLICKED: an interactive text reports clicks).
    auto boxCommands = [&] {
        std::vector<hvtest::RecordedMsg> found;
        for (const hvtest::RecordedMsg& r : scene.panel.Of(WM_COMMAND)) {
            if (reinterpret_cast<HWND>(r.lParam) == box->GetSafeHwnd())
                found.push_back(r);
        }
        return found;
    };
    scene.panel.received.clear();
    ASSERT_TRUE(hvtest::Click(*text, {40, 12}));
    EXPECT_TRUE(box->IsChecked());
    ASSERT_EQ(boxCommands().size(), 1u);
    EXPECT_EQ(boxCommands()[0].wParam, MAKEWPARAM(0, BN_CLICKED));
    EXPECT_EQ(ItemIdOfWindow(reinterpret_cast<HWND>(boxCommands()[0].lParam)), Id(L"BUTTON_ENABLEXY_POPUP"));
    ASSERT_EQ(scene.panel.Of(WM_COMMAND).size(), 2u);
    EXPECT_EQ(scene.panel.Of(WM_COMMAND)[0].wParam, MAKEWPARAM(text->id, STN_CLICKED));
    hvtest::ExpectRectNear(hvtest::CaptureClient(*box), CRect(0, 0, 20, 20), kOn, 2);
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::Click(*text, {40, 12}));
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(boxCommands().size(), 2u);

    // A box that does not toggle stays checked, but still hears of the click.
    box->SetToggle(false);
    box->SetState(true);
    WaitPastDoubleClick();
    ASSERT_TRUE(hvtest::Click(*text, {40, 12}));
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(boxCommands().size(), 3u);
    box->SetToggle(true);

    // A disabled text, or a disabled box, toggles nothing.
    text->SetDisabled(true);
    EXPECT_EQ(text->CurrentColor(), kRed);
    WaitPastDoubleClick();
    hvtest::Click(*text, {40, 12});
    EXPECT_TRUE(box->IsChecked());
    text->SetDisabled(false);
    box->EnableWindow(FALSE);
    WaitPastDoubleClick();
    hvtest::Click(*text, {40, 12});
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(boxCommands().size(), 3u);
    box->EnableWindow(TRUE);

    // New text repaints what lies under the old one.
    text->SetText(L"Linked", 1);
    EXPECT_EQ(text->GetText(), L"LINKED");
    shot = hvtest::CaptureClient(*text);
    EXPECT_GT(hvtest::CountPixelsNear(shot, CRect(0, 0, 160, 24), kPanel, 4), 160 * 24 * 2 / 3);

    // A check box named by a text must be one: TEXT_NUMSTAGES names a plain button.
    auto* unbound = scene.Find<CTextItem>(L"TEXT_NUMSTAGES", ItemKind::TextItem);
    ASSERT_NE(unbound, nullptr);
    EXPECT_EQ(unbound->CheckBox(), nullptr);

    // Formats: centred single line, left multiline, right multiline; a host bitmap item is the
    // parent and the owner; without "interactive" the text lets clicks through (no SS_NOTIFY).
    auto* heading = scene.Find<CTextItem>(L"TEXT_WARNDLG_HEADING", ItemKind::TextItem);
    auto* message = scene.Find<CTextItem>(L"TEXT_WARNDLG_MESSAGE", ItemKind::TextItem);
    auto* hosted = scene.Find<CTextItem>(L"TEXT_DPI_X", ItemKind::TextItem);
    auto* plain = scene.Find<CTextItem>(L"TEXT_DPI_Y", ItemKind::TextItem);
    ASSERT_TRUE(heading && message && hosted && plain);
    EXPECT_EQ(heading->Format(), static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
    EXPECT_EQ(heading->GetText(), L"Heading\r\nnext");
    EXPECT_EQ(message->Format(), static_cast<UINT>(DT_WORDBREAK));
    EXPECT_EQ(message->GetText(), L"");
    EXPECT_EQ(hosted->Format(), static_cast<UINT>(DT_RIGHT | DT_WORDBREAK));
    auto* host = scene.Find<CWnd>(L"BITMAP_MECHKBD", ItemKind::BitmapItem);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(hosted->GetParent(), host->GetSafeHwnd());
    EXPECT_EQ(hosted->owner, host);
    EXPECT_EQ(plain->GetStyle() & SS_NOTIFY, 0u);
    EXPECT_EQ(plain->owner, &scene.panel);
}

TEST(Items, DropDownOpensChoosesAndCancels)
{
    Scene scene;
    ASSERT_TRUE(scene.created);
    auto* dropdown = scene.Find<CDropdownListItem>(L"LIST_DROPDOWN_POPUP", ItemKind::DropdownList);
    ASSERT_NE(dropdown, nullptr);
    EXPECT_EQ(dropdown->GetDlgCtrlID(), dropdown->id);
    EXPECT_EQ(dropdown->GetStyle(), static_cast<DWORD>(WS_CHILD | WS_VISIBLE | SS_NOTIFY));
    EXPECT_EQ(dropdown->GetWindowRect().Size(), CSize(200, 26));
    EXPECT_EQ(ItemIdOfWindow(*dropdown), dropdown->id);
    ASSERT_EQ(dropdown->Entries().size(), 3u);
    EXPECT_EQ(dropdown->GetEntryText(0), L"Left");
    EXPECT_EQ(dropdown->GetCurSel(), -1);
    EXPECT_EQ(dropdown->ToolTip().Text(), L"combo tip");
    EXPECT_EQ(dropdown->ListLook().borderWidth, 2);
    EXPECT_EQ(dropdown->ListLook().colors.hotText, kYellow);

    // A press: CLICKED first (before the list opens), the list under the field, a choice after
    // the acknowledgement, then SELCHANGE.
    bool clickedBeforeOpen = false;
    CRect listRect;
    ModalScript choose({[&](CListPanel& shown) {
        clickedBeforeOpen = scene.panel.Of(WM_DROPDOWN_CLICKED).size() == 1;
        listRect = shown.GetWindowRect();
        EXPECT_TRUE(dropdown->IsOpen());
        hvtest::Bitmap open = hvtest::CaptureClient(shown);
        hvtest::ExpectRectNear(open, CRect(0, open.Height() - 2, open.Width(), open.Height()), kRed, 2);
        EXPECT_EQ(hvtest::CountPixelsNear(open, CRect(10, 0, 60, 1), kRed, 2), 0) << "no top line under the field";
        hvtest::Click(shown.List(), RowCentre(shown.List(), 1));
    }});
    scene.panel.received.clear();
    ASSERT_TRUE(hvtest::Click(*dropdown, {30, 13}));
    hvtest::FlushMessages();
    EXPECT_TRUE(choose.Done());
    EXPECT_TRUE(clickedBeforeOpen);
    const CRect field = dropdown->GetWindowRect();
    EXPECT_EQ(listRect, CRect(field.left, field.bottom, field.right, field.bottom + 80));
    ASSERT_EQ(scene.panel.received.size(), 2u);
    EXPECT_EQ(scene.panel.received[0].message, WM_DROPDOWN_CLICKED);
    EXPECT_EQ(scene.panel.received[0].wParam, 0u);
    EXPECT_EQ(scene.panel.received[0].lParam, reinterpret_cast<LPARAM>(dropdown->GetSafeHwnd()));
    EXPECT_EQ(scene.panel.received[1].message, WM_DROPDOWN_SELCHANGE);
    EXPECT_EQ(scene.panel.received[1].wParam, 1u);
    EXPECT_EQ(scene.panel.received[1].lParam, reinterpret_cast<LPARAM>(dropdown->GetSafeHwnd()));
    EXPECT_EQ(dropdown->ShownText(), L"Middle");
    EXPECT_EQ(dropdown->GetCurSel(), 1);
    EXPECT_FALSE(dropdown->IsOpen());

    // Closing the list without a choice sends no SELCHANGE and changes nothing.
    WaitPastDoubleClick();
    scene.panel.received.clear();
    ModalScript cancel({[&](CListPanel& shown) { hvtest::Click(shown.List(), RowCentre(shown.List(), 0), hvtest::Button::Right); }});
    ASSERT_TRUE(hvtest::Click(*dropdown, {30, 13}));
    hvtest::FlushMessages();
    EXPECT_TRUE(cancel.Done());
    ASSERT_EQ(scene.panel.received.size(), 1u);
    EXPECT_EQ(scene.panel.received[0].message, WM_DROPDOWN_CLICKED);
    EXPECT_EQ(dropdown->ShownText(), L"Middle");

    // The parent may refill the entries when it hears of the press; an entry naming a list panel
    // item opens it, and its choice shows as the secondary text.
    auto* speeds = scene.Find<CListPanelItem>(L"LISTPANEL_ASSIGNSUBMENU_PR", ItemKind::ListPanelItem);
    ASSERT_NE(speeds, nullptr);
    scene.panel.onReceived = [&](const hvtest::RecordedMsg& r) {
        if (r.message == WM_DROPDOWN_CLICKED && dropdown->Entries().size() == 3)
            dropdown->AddEntry(L"Speed", speeds->EntryValue());
    };
    WaitPastDoubleClick();
    scene.panel.received.clear();
    ModalScript nested({[&](CListPanel& shown) {
                            EXPECT_EQ(shown.List().GetItemCount(), 4);
                            hvtest::Click(shown.List(), RowCentre(shown.List(), 3));
                        },
                        [&](CListPanel& inner) { hvtest::Click(inner.List(), RowCentre(inner.List(), 1)); }});
    ASSERT_TRUE(hvtest::Click(*dropdown, {30, 13}));
    hvtest::FlushMessages();
    EXPECT_TRUE(nested.Done());
    ASSERT_EQ(scene.panel.Of(WM_DROPDOWN_SELCHANGE).size(), 1u);
    EXPECT_EQ(scene.panel.Of(WM_DROPDOWN_SELCHANGE)[0].wParam, 3u);
    std::wstring secondary;
    EXPECT_EQ(dropdown->GetCurSelWithData(secondary), 3);
    EXPECT_EQ(secondary, L"Fast");
    EXPECT_EQ(speeds->GetCurSel(), 1);
    hvtest::FlushMessages();
    hvtest::Bitmap shown = hvtest::CaptureClient(*dropdown);
    shown.SaveToTestDir(L"dropdown_secondary.bmp");
    hvtest::ExpectRectNear(shown, CRect(0, 0, 200, 2), kRed, 2);
    EXPECT_GT(hvtest::CountPixelsNear(shown, CRect(6, 4, 180, 22), kWhite, 8), 40) << "Speed: Fast";
    // The arrow: lines of 7, 5, 3 and 1 pixels in the text colour at the right.
    EXPECT_GE(hvtest::CountPixelsNear(shown, CRect(180, 8, 198, 18), kWhite, 8), 16);

    // A nested list closed without a choice changes nothing and sends nothing.
    WaitPastDoubleClick();
    scene.panel.received.clear();
    ModalScript nestedCancel(
        {[&](CListPanel& outer) { hvtest::Click(outer.List(), RowCentre(outer.List(), 3)); },
         [&](CListPanel& inner) { hvtest::Click(inner.List(), RowCentre(inner.List(), 0), hvtest::Button::Right); }});
    ASSERT_TRUE(hvtest::Click(*dropdown, {30, 13}));
    hvtest::FlushMessages();
    EXPECT_TRUE(nestedCancel.Done());
    EXPECT_TRUE(scene.panel.Of(WM_DROPDOWN_SELCHANGE).empty());
    EXPECT_EQ(dropdown->GetCurSelWithData(secondary), 3);
    EXPECT_EQ(secondary, L"Fast");
    scene.panel.onReceived = nullptr;

    // Disabled, it neither tells of the press nor opens.
    dropdown->SetDisabled(true);
    WaitPastDoubleClick();
    scene.panel.received.clear();
    ModalScript never({[&](CListPanel& shown) { shown.PostMessage(WM_LISTPANEL_SELECT, 0, -1); }});
    hvtest::Click(*dropdown, {30, 13});
    hvtest::FlushMessages(100, 800);
    EXPECT_FALSE(never.Done()) << "no list opened";
    EXPECT_TRUE(scene.panel.received.empty());
    dropdown->SetDisabled(false);

    // The entries themselves.
    EXPECT_FALSE(dropdown->SetCurSel(static_cast<int>(dropdown->Entries().size())));
    EXPECT_EQ(dropdown->GetCurSel(), 3);
    EXPECT_TRUE(dropdown->SetCurSel(0));
    EXPECT_EQ(dropdown->SecondaryText(), L"") << "a new choice clears the secondary text";
    EXPECT_FALSE(dropdown->InsertEntry(-1, L"never"));
    EXPECT_TRUE(dropdown->InsertEntry(1, L"Inserted"));
    EXPECT_TRUE(dropdown->InsertEntry(99, L"Last"));
    EXPECT_EQ(dropdown->GetEntryText(1), L"Inserted");
    EXPECT_EQ(dropdown->GetEntryText(99), L"");
    EXPECT_EQ(dropdown->FindEntry(L"Last"), static_cast<int>(dropdown->Entries().size()) - 1);
    EXPECT_EQ(dropdown->FindEntry(L"Nowhere"), -1);
    dropdown->ClearEntries();
    EXPECT_EQ(dropdown->GetCurSel(), -1) << "the shown text matches no entry";
    EXPECT_EQ(dropdown->AddEntry(L"Only"), 0);

    // A COMBO without CLIST is skipped; one without COMBOITEMS has no entries.
    EXPECT_EQ(scene.panel.Items().FindById(Id(L"BUTTON_DROPDOWN_PROFILESELECT")), nullptr);
    auto* empty = scene.Find<CDropdownListItem>(L"LIST_GLOBALMACROLIST", ItemKind::DropdownList);
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->Entries().empty());
}

TEST(Items, ButtonsAndAnimatedButtonsFromTheLayout)
{
    Scene scene;
    ASSERT_TRUE(scene.created);

    // Centred multiline caption: the style's justify bits and the caption's format.
    auto* ok = scene.Find<CBitmapBtn>(L"BUTTON_DPISTAGES_OK", ItemKind::BitmapBtn);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetStyle() & ~static_cast<DWORD>(WS_CHILD), 0x10002C0Bu | BS_CENTER);
    EXPECT_EQ(ok->Format(), 0x12011u);
    EXPECT_EQ(ok->Caption(), L"OK\r\nGO");
    EXPECT_FALSE(ok->IsCheckBox());
    EXPECT_EQ(ok->GetParent(), scene.panel.GetSafeHwnd());
    hvtest::Bitmap okShot = hvtest::CaptureClient(*ok);
    EXPECT_GT(hvtest::CountPixelsNear(okShot, CRect(0, 0, 90, 40), kYellow, 8), 20) << "the normal state's caption colour";

    // Right-justified single line; a check box only when asked.
    auto* dec = scene.Find<CBitmapBtn>(L"BUTTON_DPISTAGES_DEC", ItemKind::BitmapBtn);
    ASSERT_NE(dec, nullptr);
    EXPECT_EQ(dec->GetStyle() & 0x300, static_cast<DWORD>(BS_RIGHT));
    EXPECT_EQ(dec->Format(), 0x12036u);
    EXPECT_FALSE(dec->IsCheckBox());

    // A button inside a bitmap item: its child, owned by it; without a caption the state colours
    // are not taken (a caption set later shows in the fallback colour, not RED).
    auto* hosted = scene.Find<CBitmapBtn>(L"BUTTON_DPISTAGES_CANCEL", ItemKind::BitmapBtn);
    auto* host = scene.Find<CWnd>(L"BITMAP_MECHKBD", ItemKind::BitmapItem);
    ASSERT_TRUE(hosted && host);
    EXPECT_EQ(hosted->GetParent(), host->GetSafeHwnd());
    EXPECT_EQ(hosted->owner, host);
    EXPECT_EQ(ItemIdOfWindow(*hosted), hosted->id);
    EXPECT_EQ(hosted->ToolTip().Text(), L"hosted");
    hosted->SetCaption(L"X", 0);
    hvtest::FlushMessages();
    hvtest::Bitmap hostedShot = hvtest::CaptureClient(*hosted);
    EXPECT_EQ(hvtest::CountPixelsNear(hostedShot, CRect(0, 0, 90, 40), kRed, 30), 0);
    EXPECT_GT(hvtest::CountPixelsNear(hostedShot, CRect(0, 0, 90, 40), kFallbackTextColor, 8), 5);

    // Only the first AVIBUTTON is built; its file names are trimmed, empty ones not handed over.
    auto* animated = scene.Find<CAVIButton>(L"BUTTON_DPISTAGES_INC", ItemKind::AVIButton);
    ASSERT_NE(animated, nullptr);
    EXPECT_EQ(animated->Video(), L"intro.avi");
    EXPECT_EQ(animated->Sound(), L"");
    EXPECT_EQ(animated->GetStyle(), 0x5000000Bu);
    EXPECT_EQ(animated->GetDlgCtrlID(), 0);
    EXPECT_EQ(ItemIdOfWindow(*animated), animated->id);
    EXPECT_EQ(scene.panel.Items().FindById(Id(L"BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT")), nullptr);
}
