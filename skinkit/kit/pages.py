"""The main window and its nine pages.

All pages share the main window's client area: their items are children of the main dialog and
are placed in window coordinates inside the content panel drawn by MainPage.xml's background.
Sibling windows never overlap; an item drawn inside a picture is made a child of that picture's
bitmap item (which is then enabled so that it passes the mouse on).
"""

from . import art, figures
from .layout import Layout

W, H = 1000, 680
CONTENT = (20, 124, 980, 612)
FOOTER_Y = 620
X0, Y0 = 44, 140          # first column and first row inside the content panel

# Colours of the items the programs draw themselves.
COMBO = dict(fontclr="WHITE", fontclrhi="VEXA_TAB_SELECT", backclr="VEXA_COMBO_BK",
             backclrhi="VEXA_PANEL_HIGHLIGHT", bdrclr="VEXA_PANEL_BORDER", disbbackclr="BLACK2",
             disbbdrclr="DARKGREY2", disbfontclr="MIDGREY")
PANELCLR = dict(fontclr="WHITE", fontclrhi="BLACK2", fontclrsel="BLACK2", disbfontclr="MIDGREY",
                backclr="VEXA_COMBO_BK", backclrhi="VEXA_TAB_SELECT", backclrsel="VEXA_TAB_SELECT",
                disbbackclr="BLACK2", bdrclr="VEXA_PANEL_BORDER")
EDIT = dict(fontclr="WHITE", fontclrhi="VEXA_TAB_SELECT", backclr="VEXA_COMBO_BK",
            backclrhi="VEXA_PROFILE_HIGHLIGHT", bdrclr="VEXA_PANEL_BORDER", disbbackclr="BLACK2",
            disbbdrclr="DARKGREY2", disbfontclr="MIDGREY")
LIST = dict(fontclr="WHITE", fontclrhi="WHITE", backclr="VEXA_COMBO_BK",
            backclrhi="VEXA_PANEL_HIGHLIGHT", bdrclr="VEXA_PANEL_BORDER")
HEADER = dict(backclr="VEXA_PANEL_BACKGROUND", fontclr="GREY_VX_HEADING")
BTN_COLORS = {"SBMN": "WHITE", "SBMO": "VEXA_TAB_SELECT", "SBMD": "WHITE", "SBMDS": "MIDGREY"}
TAB_COLORS = {"SBMN": "GREY_VX_HEADING", "SBMO": "WHITE", "SBMD": "VEXA_TAB_SELECT", "SBMDS": "DARKGREY"}


class Kit:
    """The shared pieces of artwork, drawn once."""

    def __init__(self):
        self.btn = art.button(136, 32)
        self.btn_wide = art.button(180, 32)
        self.btn_small = art.button(100, 30)
        self.btn_footer = art.button(104, 32, art.BG)
        self.btn_footer_wide = art.button(124, 32, art.BG)
        self.check = art.checkbox()
        self.seg = art.segment(96, 30)
        self.seg_wide = art.segment(150, 30)
        self.scroll = art.scrollbar()
        self.tab = art.tab(150, 40)
        self.rule = art.rule(420)
        self.rule_short = art.rule(300)


def heading(L, name, x, y, key, w=420, bind=None, rule=None):
    L.text(name, x, y, w, 26, key, font="FONT_TERMINATORTWO13B", color="VEXA_TAB_SELECT",
           caps="U", bind=bind)
    if rule is not None:
        L.bitmap("BITMAP_HORIZONTALBARLONG", x, y + 28, rule)


def label(L, name, x, y, w, key, h=24, justify="L", bind=None, font="FONT_ARIAL14",
          color="GREY_VX_HEADING", multiline=False):
    L.text(name, x, y, w, h, key, font=font, color=color, justify=justify, bind=bind,
           multiline=multiline)


def check_row(L, kit, button, text, x, y, key, w=340, bind_button=None, bind_text=None):
    """A check box with its label; clicking the label works the box."""
    L.button(button, x, y + 3, kit.check, checkbox=True, bind=bind_button)
    L.text(text, x + 26, y, w, 24, key, font="FONT_ARIAL14", color="WHITE",
           colorhi="VEXA_TAB_SELECT", checkbox=button, bind=bind_text)


def profile_selector(L, kit, name, bind="profile selector"):
    label(L, "TEXT_HEADING_CURRENTPROFILE", 560, Y0 + 1, 150, "$ProfileLabel", justify="R")
    L.combo(name, 720, Y0, 236, 26, 180, kit.scroll, "FONT_ARIAL14B", COMBO, bind=bind,
            tooltip="$tipProfileSelect")


# -- MainPage.xml ----------------------------------------------------------------------------
def main_page(kit):
    bg = art.register("main_bg.bmp", art.main_background(W, H, CONTENT, FOOTER_Y))
    mask = art.register("main_mask.bmp", art.mask_from(art.SKINS["main_bg.bmp"]))
    L = Layout("MainPage.xml", "GUIPANEL", bg.file, mask.file)
    # product switch and close button in the header
    L.button("BUTTON_PRODSELECT_MOUSE", 596, 16, art.product_tab(160, 44, "mouse"), "$Mouse",
             font="FONT_TERMINATORTWO12B", colors=TAB_COLORS, bind="product tab (mouse)")
    L.button("BUTTON_PRODSELECT_KEYBOARD", 768, 16, art.product_tab(160, 44, "keyboard"), "$Keyboard",
             font="FONT_TERMINATORTWO12B", colors=TAB_COLORS, bind="product tab (keyboard)")
    L.button("BUTTON_EXIT", 950, 10, art.close_button(30), tooltip="$tipExit", bind="close")
    # page tabs: the mouse's five and the keyboard's four share the strip
    mouse_tabs = [("BUTTON_ASSIGNBUTTONS", "$AssignButtons"), ("BUTTON_ADJUSTPERFORMANCE", "$Performance"),
                  ("BUTTON_MANAGEPROFILES", "$Profiles"), ("BUTTON_MANAGEMACROS", "$Macros"),
                  ("BUTTON_LIGHTINGMAINTENANCE", "$Lighting")]
    kbd_tabs = [("BUTTON_ASSIGNKEYS", "$AssignKeys"), ("BUTTON_MANAGEPROFILES_KEYBOARD", "$Profiles"),
                ("BUTTON_MANAGEMACROS_KEYBOARD", "$Macros"),
                ("BUTTON_LIGHTINGMAINTENANCE_KEYBOARD", "$Lighting")]
    for tabs in (mouse_tabs, kbd_tabs):
        for i, (name, key) in enumerate(tabs):
            L.button(name, 28 + i * 154, 84, kit.tab, key, font="FONT_TERMINATORTWO12B",
                     colors=TAB_COLORS, caps="U", bind="page tab")
    # footer
    L.bitmap("BITMAP_MOUSE_FOOTNOTE", 26, 628, art.footnote("foot_mouse.bmp", "mouse"), bind="mouse footnote")
    L.bitmap("BITMAP_KEYBOARD_FOOTNOTE", 26, 628, art.footnote("foot_kbd.bmp", "keyboard"),
             bind="keyboard footnote")
    L.text("TEXT_FIRMWAREVER_PERSIST", 250, 628, 230, 18, "$FirmwareVersion", font="FONT_ARIAL12",
           color="MIDGREY2", bind="firmware version")
    L.text("TEXT_DRIVERVER_PERSIST", 250, 648, 230, 18, "$DriverVersion", font="FONT_ARIAL12",
           color="MIDGREY2", bind="driver version")
    L.button("BUTTON_UPDATE", 482, 630, kit.btn_footer_wide, "$CheckForUpdates", font="FONT_ARIAL12B",
             colors=BTN_COLORS, tooltip="$tipUpdate", bind="support page")
    L.button("BUTTON_HELP", 612, 630, art.help_button(32), tooltip="$tipHelp", bind="manual")
    L.button("BUTTON_OK", 652, 630, kit.btn_footer, "$OK", colors=BTN_COLORS, bind="OK")
    L.button("BUTTON_CANCEL", 762, 630, kit.btn_footer, "$Cancel", colors=BTN_COLORS, bind="Cancel")
    L.button("BUTTON_APPLY", 872, 630, kit.btn_footer, "$Apply", colors=BTN_COLORS, bind="Apply")
    return L


# -- page 1: mouse buttons -------------------------------------------------------------------
BUTTON_ROWS = [  # (button number, dropdown, label item, name key)
    (1, "BUTTON_ASSNLEFTCLICK", "TEXT_PREVIEW_01", "$LeftButton"),
    (2, "BUTTON_ASSNRIGHTCLICK", "TEXT_PREVIEW_02", "$RightButton"),
    (3, "BUTTON_ASSNSCROLLBUTTON", "TEXT_PREVIEW_03", "$Wheel"),
    (4, "BUTTON_ASSNBUTTON4", "TEXT_PREVIEW_04", "$LeftSideFrontButton"),
    (5, "BUTTON_ASSNBUTTON5", "TEXT_PREVIEW_05", "$LeftSideRearButton"),
    (6, "BUTTON_ASSNRSIDEFRONT", "TEXT_PREVIEW_06", "$RightSideFrontButton"),
    (7, "BUTTON_ASSNRSIDEREAR", "TEXT_PREVIEW_07", "$RightSideRearButton"),
    (8, "BUTTON_ASSNSCROLLUP", "TEXT_PREVIEW_08", "$WheelForward"),
    (9, "BUTTON_ASSNSCROLLDOWN", "TEXT_PREVIEW_09", "$WheelBackward"),
]


def mouse_buttons(kit):
    L = Layout("Mouse_AssnBtns.xml")
    heading(L, "TEXT_ASSIGNBUTTONS_HEADING", X0, Y0, "$AssignButtonsHeading")
    profile_selector(L, kit, "BUTTON_DROPDOWN_PROFILESELECT")
    pic, _ = figures.mouse_picture("mouse_buttons.bmp", 360, 430, 180, 40, 190, 340,
                                   badges=range(1, 10))
    L.bitmap("BITMAP_SABREL_MOUSE_NORM", 40, 176, pic, tooltip="$tipMousePicture")
    pitch = 38
    L.bitmap("BITMAP_BUTTONNUMSTRIP1_7", 430, 182, art.badge_strip("numstrip1_7.bmp", range(1, 8), pitch))
    L.bitmap("BITMAP_BUTTONNUMSTRIP8_9", 430, 508, art.badge_strip("numstrip8_9.bmp", (8, 9), pitch))
    heading(L, "TEXT_MOUSEWHEEL_OPTIONS_HEADING", 430, 474, "$ScrollWheelHeading", w=360)
    for i, (num, dd, lab, key) in enumerate(BUTTON_ROWS):
        y = 182 + i * pitch if num <= 7 else 508 + (num - 8) * pitch
        label(L, lab, 466, y + 7, 190, key, color="WHITE")
        L.combo(dd, 660, y + 5, 296, 28, 260, kit.scroll, "FONT_ARIAL14B", COMBO,
                bind="dropdown of button %d" % num, tooltip=key)
    for name in ("LISTPANEL_ASSIGNSUBMENU_PR", "LISTPANEL_ASSIGNSUBMENU_MA"):
        L.list_panel(name, 0, 0, 220, 140, kit.scroll, "FONT_ARIAL14", PANELCLR, bind="submenu panel")
    return L


# -- page 2: performance ---------------------------------------------------------------------
def mouse_performance(kit):
    L = Layout("Mouse_AdjPerf.xml")
    heading(L, "TEXT_CURRENTDPI", X0, Y0, "$Sensitivity", bind="sensitivity heading")
    profile_selector(L, kit, "BUTTON_DROPDOWN_PROFILESELECT")
    L.bitmap("BITMAP_SENSWINDOW2", X0, 184, figures.sensor_window("senswindow.bmp", 120, 120),
             bind="sensitivity window")
    thumb, hot = art.slider_thumb(), art.slider_thumb(hot=True)
    trk, fill = art.slider_track(440)
    tx = 214
    # linked mode: one slider on the first row; separate mode: X there and Y below
    L.track("BITMAP_SLSENSTRK_XY", tx, 192, trk, fill, "VEXA_TAB_SELECT", bind="track (X and Y)")
    L.track("BITMAP_SLSENSTRK_X", tx, 192, trk, fill, "VEXA_TAB_SELECT", bind="track (X)")
    L.track("BITMAP_SLSENSTRK_Y", tx, 244, trk, fill, "VEXA_TAB_SELECT", bind="track (Y)")
    path = (13, 0, trk.w - 26, 26)
    L.multi_slider("SLIDER_DPI_MULTI", "BITMAP_SLSENSTRK_XY", ["SLIDER_DPI_MULTI_STAGE1"], thumb.file,
                   hot.file, path, tooltip="$tipSensitivity", bind="slider (X and Y)")
    L.multi_slider("SLIDER_DPI_MULTI_X", "BITMAP_SLSENSTRK_X", ["SLIDER_DPI_MULTI_X_STAGE1"], thumb.file,
                   hot.file, path, tooltip="$tipSensitivityX", bind="slider (X)")
    L.multi_slider("SLIDER_DPI_MULTI_Y", "BITMAP_SLSENSTRK_Y", ["SLIDER_DPI_MULTI_Y_STAGE1"], thumb.file,
                   hot.file, path, tooltip="$tipSensitivityY", bind="slider (Y)")
    L.text("TEXT_HEADING_X", 180, 193, 30, 24, "X", font="FONT_TERMINATORTWO13B", color="VEXA_TAB_SELECT",
           justify="C", bind="X heading")
    L.text("TEXT_HEADING_Y", 180, 245, 30, 24, "Y", font="FONT_TERMINATORTWO13B", color="VEXA_TAB_SELECT",
           justify="C", bind="Y heading")
    L.text("TEXT_DPIVALUE1", 664, 193, 70, 24, "", font="FONT_ARIAL16B", color="WHITE", justify="R",
           bind="first value")
    L.text("TEXT_DPIVALUE2", 664, 245, 70, 24, "", font="FONT_ARIAL16B", color="WHITE", justify="R",
           bind="second value")
    label(L, "TEXT_DPI_X", 740, 193, 60, "$DPI", bind="X caption")
    label(L, "TEXT_DPI_Y", 740, 245, 60, "$DPI", bind="Y caption")
    check_row(L, kit, "BUTTON_ENABLEXY", "TEXT_ENABLEXY", 214, 284, "$EnableXY",
              bind_button="separate X/Y check box", bind_text="separate X/Y label")
    check_row(L, kit, "BUTTON_ENABLE_DPI_OSD", "TEXT_ENABLE_DPI_OSD", 214, 312, "$ShowDpiOnScreen",
              bind_button="on-screen DPI check box")
    L.button("BUTTON_SENSITIVITY_STAGES", 780, 286, kit.btn_wide, "$SensitivityStagesButton",
             colors=BTN_COLORS, tooltip="$tipSensitivityStages", bind="stages popup")
    # acceleration
    heading(L, "TEXT_ACCELERATION", X0, 356, "$Acceleration", w=400)
    check_row(L, kit, "BUTTON_ENABLEACCELERATION", "TEXT_ENABLEACCELERATION", X0, 394, "$EnableAcceleration",
              w=300, bind_button="acceleration check box")
    atrk, afill = art.slider_track(360)
    atrk_off, _ = art.slider_track(360, disabled=True)
    L.track("BITMAP_SLACCLTRK", X0, 430, atrk, afill, "VEXA_TAB_SELECT", bind="acceleration track")
    L.track("BITMAP_SLACCLTRKDISB", X0, 430, atrk_off, afill, "MIDGREY", bind="acceleration track (off)")
    apath = (13, 0, atrk.w - 26, 26)
    L.multi_slider("SLIDER_ID_ACCEL", "BITMAP_SLACCLTRK", ["SLIDER_ACCEL_STAGE1"], thumb.file, hot.file,
                   apath, tooltip="$tipAcceleration", bind="acceleration slider")
    off = art.slider_thumb(disabled=True)
    L.multi_slider("SLIDER_ID_ACCELDISB", "BITMAP_SLACCLTRKDISB", ["SLIDER_ACCEL_STAGE1"], off.file,
                   off.file, apath, interactive=False, bind="acceleration slider (off)")
    label(L, "TEXT_APPLIESTOALL", X0, 466, 380, "$AccelerationHint", h=40, multiline=True,
          font="FONT_ARIAL12", color="MIDGREY2")
    # polling rate
    heading(L, "TEXT_POLLINGRATE", 500, 356, "$PollingRate", w=400)
    for i, name in enumerate(("BUTTON_RATE1", "BUTTON_RATE2", "BUTTON_RATE3")):
        L.button(name, 500 + i * 104, 396, kit.seg, "", font="FONT_ARIAL14B", colors=BTN_COLORS,
                 checkbox=True, tooltip="$tipPollingRate", bind="polling rate %d" % (i + 1))
    label(L, "TEXT_INFO_PROFILE_OPTIONS", 500, 436, 420, "$PollingRateHint", h=40, multiline=True,
          font="FONT_ARIAL12", color="MIDGREY2")
    return L


# -- pages 3 and 7: profiles -----------------------------------------------------------------
PROFILE_MENU = ["$SetActive", "$New", "$Rename", "$Copy", "$Delete", "$Import", "$Export",
                "$RestoreDefault", "$AssignApplication", "$UnassignApplication"]


def profiles(kit, keyboard):
    L = Layout("Keyboard_MgProfs.xml" if keyboard else "Mouse_MgProfs.xml")
    sfx = "_KEYBOARD" if keyboard else "_MOUSE"
    heading(L, "TEXT_HEADING_CURRENTPROFILE", X0, Y0, "$ManageProfiles")
    label(L, "TEXT_INFO_PROFILE_OPTIONS", X0, Y0 + 30, 700, "$ProfileListHint", font="FONT_ARIAL12",
          color="MIDGREY2")
    off, on = art.list_check()
    cols = [("LCITEM_PROFILECURRENT", "CHECKBOX", 70, "$Active", {"exclusive": "1", "tooltip": "$tipActive"},
             (off, on)),
            ("LCITEM_PROFILEID", "STATIC", 44, "#", {}, None),
            ("LCITEM_PROFILENAME", "STATIC", 300, "$ProfileName", {}, None),
            ("LCITEM_PROFILEEXE", "FILEDIALOG", 320, "$LinkedProgram", {"tooltip": "$tipLinkedProgram"}, None),
            ("LCITEM_AUTOSWITCH", "CHECKBOX", 120, "$AutoSwitch", {"tooltip": "$tipAutoSwitch"}, (off, on))]
    lst = "LIST_PROFILELIST_KEYBOARD" if keyboard else "LIST_PROFILELIST"
    L.list_ctrl(lst, X0, 196, 300, kit.scroll, cols, "FONT_ARIAL14", LIST, HEADER, bind="profile list")
    menu = [m for m in PROFILE_MENU] + ([] if keyboard else ["$Preview"])
    L.list_panel("LISTPANEL_PROFILEOPTIONS", 0, 0, 220, 18 * len(menu) + 4, kit.scroll, "FONT_ARIAL14",
                 PANELCLR, [(m, None) for m in menu],
                 bind="profile menu" if keyboard else "profile menu (context menu of the list)")
    names = [("BUTTON_NEWPROFILE", "$New", "$tipNewProfile"), ("BUTTON_IMPORTPROFILE", "$Import", "$tipImportProfile"),
             ("BUTTON_EXPORTPROFILE", "$Export", "$tipExportProfile"),
             ("BUTTON_DELETEPROFILE", "$Delete", "$tipDeleteProfile")]
    for i, (n, key, tip) in enumerate(names):
        L.button(n + sfx, X0 + i * 150, 520, kit.btn, key, colors=BTN_COLORS, tooltip=tip,
                 bind="profile command")
    osd = "BUTTON_ENABLE_PROFILE_OSD_KEYBOARD" if keyboard else "BUTTON_ENABLE_PROFILE_OSD"
    check_row(L, kit, osd, "TEXT_ENABLE_PROFILE_OSD", 660, 524, "$ShowProfileOnScreen", w=290,
              bind_button="profile on-screen display")
    return L


# -- pages 4 and 8: macros -------------------------------------------------------------------
def macros(kit, keyboard):
    L = Layout("Keyboard_MgMcrs.xml" if keyboard else "Mouse_MgMcrs.xml")
    k = "_KEYBOARD" if keyboard else ""
    heading(L, "TEXT_CURRENTMACROASSIGNMENT", X0, Y0, "$ManageMacros")
    label(L, "TEXT_MACRO_NAME", X0, 186, 110, "$MacroLabel")
    L.combo("LIST_GLOBALMACROLIST" + k, X0 + 110, 184, 300, 28, 240, kit.scroll, "FONT_ARIAL14B", COMBO,
            bind="macro list", tooltip="$tipMacroList")
    # the recorded events, framed by four bars
    dx, dy, dw, dh = X0 + 500, 184, 400, 300
    L.bitmap("BITMAP_VBAR_MACRODISP_HT", dx, dy - 6, art.bar("mdframe_h.bmp", dw, 3, art.ACCENT_MID))
    L.bitmap("BITMAP_VBAR_MACRODISP_HB", dx, dy + dh + 3, art.bar("mdframe_h.bmp", dw, 3, art.ACCENT_MID))
    L.bitmap("BITMAP_VBAR_MACRODISP_VL", dx - 6, dy - 6, art.bar("mdframe_v.bmp", 3, dh + 12, art.ACCENT_MID))
    L.bitmap("BITMAP_VBAR_MACRODISP_VR", dx + dw + 3, dy - 6, art.bar("mdframe_v.bmp", 3, dh + 12, art.ACCENT_MID))
    icons = art.macro_icons()
    display = "MACRO_DISPLAY_KEYBOARD" if keyboard else "MACRO_DISPLAY"
    L.macro_display(display, dx, dy, dw, dh, kit.scroll, icons,
                    [("LCITEM_MCREVENT_ICON", "ICON", 34, "C"), ("LCITEM_MCREVENT_DESCRIP", "STATIC", dw - 34 - 16, "L")],
                    "FONT_ARIAL14", dict(fontclr="WHITE", fontclrhi="WHITE", backclr="VEXA_COMBO_BK",
                                         backclrhi="VEXA_PANEL_HIGHLIGHT", bdrclr="VEXA_PANEL_BORDER"),
                    bind="macro display", tooltip="$tipMacroDisplay")
    label(L, "TEXT_HEADING_MAIN_PREVIEW", dx, dy + dh + 10, dw, "$MacroDisplayHint", font="FONT_ARIAL12",
          color="MIDGREY2")
    pk = "_KEYBOARD" if keyboard else ""
    panels = [("LISTPANEL_MACROOPTIONS%s_KEYSTROKE" % pk, ["$Edit", "$InsertDelay", "$Delete"]),
              ("LISTPANEL_MACROOPTIONS%s_DELAY" % pk, ["$Edit", "$InsertDelay", "$Delete"]),
              ("LISTPANEL_MACROOPTIONS%s_MOUSECLICK" % pk, ["$InsertDelay", "$Delete"])]
    for name, entries in panels:
        L.list_panel(name, 0, 0, 180, 18 * len(entries) + 4, kit.scroll, "FONT_ARIAL14", PANELCLR,
                     [(e, None) for e in entries], bind="event menu")
    b = [("BUTTON_MACRO_CREATE", "$New", "$tipNewMacro"), ("BUTTON_MACRO_IMPORT", "$Import", "$tipImportMacro"),
         ("BUTTON_MACRO_EXPORT", "$Export", "$tipExportMacro"), ("BUTTON_MACRO_DELETE", "$Delete", "$tipDeleteMacro")]
    for i, (n, key, tip) in enumerate(b):
        L.button(n + k, X0 + (i % 2) * 150, 232 + (i // 2) * 42, kit.btn, key, colors=BTN_COLORS, tooltip=tip,
                 bind="macro command")
    L.button("BUTTON_MACRO_RECORD" + k, X0, 330, kit.btn, "$Record", colors=BTN_COLORS, tooltip="$tipRecord",
             bind="record")
    L.button("BUTTON_MACRO_ADVANCED" + k, X0 + 150, 330, kit.btn, "$AdvancedCommands", colors=BTN_COLORS,
             tooltip="$tipAdvanced", bind="predefined commands")
    heading(L, "TEXT_INSERT_BASIC_COMMAND", X0, 384, "$RecordingOptions", w=400)
    check_row(L, kit, "BUTTON_IGNORE_DELAY" + k, "TEXT_IGNORE_DELAY", X0, 420, "$IgnoreDelays",
              bind_button="ignore delays")
    check_row(L, kit, "BUTTON_INSERTDEFAULT_DELAY" + k, "TEXT_INSERTDEFAULT_DELAY", X0, 452,
              "$InsertDefaultDelay", w=220, bind_button="default delay")
    ex, ey = X0 + 260, 450
    L.bitmap("BITMAP_VBAR_MACROMSEC_HT", ex - 2, ey - 3, art.bar("msframe_h.bmp", 74, 2, art.ACCENT_DEEP))
    L.bitmap("BITMAP_VBAR_MACROMSEC_HB", ex - 2, ey + 27, art.bar("msframe_h.bmp", 74, 2, art.ACCENT_DEEP))
    L.bitmap("BITMAP_VBAR_MACROMSEC_VL", ex - 3, ey - 3, art.bar("msframe_v.bmp", 2, 32, art.ACCENT_DEEP))
    L.bitmap("BITMAP_VBAR_MACROMSEC_VR", ex + 71, ey - 3, art.bar("msframe_v.bmp", 2, 32, art.ACCENT_DEEP))
    L.edit("EDITCTRL_DEFAULT_DELAY" + k, ex, ey, 70, 26, "FONT_ARIAL14B", EDIT, maxlen=7,
           bind="default delay edit", tooltip="$tipDefaultDelay")
    label(L, "TEXT_INSERTDEFAULT_DELAY_MS", ex + 80, ey + 1, 40, "$ms")
    return L


# -- pages 5 and 9: lighting -----------------------------------------------------------------
def lighting(kit, keyboard):
    L = Layout("Keyboard_Lighting.xml" if keyboard else "Mouse_Lighting.xml")
    heading(L, "TEXT_LIGHTINGHEADING", X0, Y0, "$LightingHeading")
    if keyboard:
        profile_selector(L, kit, "BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT")
        lights = [("TEXT_HEADING_MAIN", "$MainLight", "BUTTON_VXKBD_LTMAIN_ON", "BUTTON_VXKBD_LTMAIN_OFF"),
                  ("TEXT_HEADING_SIDE", "$SideLight", "BUTTON_VXKBD_LTSIDE_ON", "BUTTON_VXKBD_LTSIDE_OFF")]
        c = art.Canvas(420, 220, art.PANEL)
        art.keyboard_icon(c, 40, 40, 340, 130, art.ACCENT_MID)
        c.rect(44, 172, 376, 176, art.ACCENT)
        L.bitmap("BITMAP_SABREL_MOUSE_NORM", 500, 200, art.register("kbd_lights.bmp", c),
                 tooltip="$tipLightingPicture")
    else:
        profile_selector(L, kit, "BUTTON_DROPDOWN_PROFILESELECT")
        lights = [("TEXT_HEADING_MAIN", "$MainLight", "BUTTON_VXMOUSE_LTMAIN_ON", "BUTTON_VXMOUSE_LTMAIN_OFF"),
                  ("TEXT_HEADING_SIDE", "$SideLight", "BUTTON_VXMOUSE_LTSIDE_ON", "BUTTON_VXMOUSE_LTSIDE_OFF"),
                  ("TEXT_HEADING_BASE", "$BaseLight", "BUTTON_VXMOUSE_LTBASE_ON", "BUTTON_VXMOUSE_LTBASE_OFF")]
        pic, _ = figures.mouse_picture("mouse_lights.bmp", 360, 400, 180, 30, 190, 340,
                                       lights=("main", "side", "base"))
        L.bitmap("BITMAP_SABREL_MOUSE_NORM", 560, 180, pic, tooltip="$tipLightingPicture")
    for i, (head, key, on, off) in enumerate(lights):
        y = 196 + i * 70
        label(L, head, X0, y, 260, key, font="FONT_ARIAL16B", color="WHITE")
        L.button(on, X0 + 260, y - 3, kit.seg, "$On", colors=BTN_COLORS, checkbox=True, bind="light on")
        L.button(off, X0 + 364, y - 3, kit.seg, "$Off", colors=BTN_COLORS, checkbox=True, bind="light off")
        L.bitmap("BITMAP_HORIZONTALBARLONG", X0, y + 40, kit.rule)
    reset = "BUTTON_RESET_KEYBOARD" if keyboard else "BUTTON_RESET_PROFILE"
    L.button(reset, X0, 430, kit.btn_wide, "$RestoreDefaults", colors=BTN_COLORS, tooltip="$tipRestoreDefaults",
             bind="restore defaults")
    label(L, "TEXT_FIRMWAREVER", X0, 520, 400, "$FirmwareVersion", bind="firmware version")
    label(L, "TEXT_DRIVERVER", X0, 546, 400, "$DriverVersion", bind="driver version")
    return L


# -- page 6: keys ----------------------------------------------------------------------------
def keyboard_keys(kit):
    """The page around the keyboard picture; the picture and its keys come from the key layout
    file of the active keyboard layout."""
    L = Layout("Keyboard_AssnKeys.xml")
    y = 404
    label(L, "TEXT_HEADING_CURRENTPROFILE", X0, y + 2, 90, "$ProfileLabel")
    L.combo("BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT", X0 + 90, y, 200, 26, 180, kit.scroll,
            "FONT_ARIAL14B", COMBO, bind="profile selector", tooltip="$tipProfileSelect")
    L.button("BUTTON_RESET_KEYBOARD_KEYS", X0, y + 44, kit.btn_wide, "$ResetKeys", colors=BTN_COLORS,
             tooltip="$tipResetKeys", bind="reset keys")
    label(L, "TEXT_INFO_PROFILE_OPTIONS", X0, y + 90, 290, "$KeyPageHint", h=100, multiline=True,
          font="FONT_ARIAL12", color="MIDGREY2")
    label(L, "TEXT_CURRENTASSIGNMENT_HEADING", 360, y, 330, "$CurrentAssignment")
    L.bitmap_window("BITMAPWIN_ASSIGNKEY", 360, y + 28, figures.key_window(330, 72), "FONT_ARIAL14B",
                    "WHITE", figures.assignment_icons(), bind="key description")
    L.text("TEXT_CURRENTASSIGNMENT_TEXT", 360, y + 108, 330, 24, "", font="FONT_ARIAL14", color="WHITE",
           bind="current assignment (hidden)")
    label(L, "TEXT_ASSIGNBUTTONS_HEADING", 716, y, 240, "$AssignOptions")
    L.list_panel("LISTPANEL_ASSIGNOPTIONS", 716, y + 28, 240, 168, kit.scroll, "FONT_ARIAL14B", PANELCLR,
                 dynamic=False, bind="assignment options", tooltip="$tipAssignOptions")
    return L
