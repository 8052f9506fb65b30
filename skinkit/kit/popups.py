"""The popups: notices and questions, entry forms, choices, the preview and the DPI stages popup.

A popup is a shaped panel of its own (background and mask); its items are placed in its client
coordinates.
"""

from . import art, figures
from .layout import Layout
from .pages import BTN_COLORS, COMBO, EDIT

# Notices and questions: file -> (heading key, message key, question?). A question answers with
# Yes (1) or No (2); a notice closes with OK.
NOTICES = {
    "NoMousePopup.xml": ("$NoDeviceHeading", "$NoDeviceMessage", False),
    "RefreshBeforeProductSwitchPopup.xml": ("$UnsavedHeading", "$UnsavedMessage", True),
    "NoClickPopup.xml": ("$NoClickHeading", "$NoClickMessage", False),
    "RestorePopup.xml": ("$RestoreHeading", "$RestoreMessage", True),
    "DuplicateMacroWarningPopup.xml": ("$DuplicateMacroHeading", "$DuplicateMacroMessage", False),
    "PathLengthLimitReachedPopUp.xml": ("$PathTooLongHeading", "$PathTooLongMessage", False),
    "FileErrorPopUp.xml": ("$FileErrorHeading", "$FileErrorMessage", False),
    "ExportMacroWarningPopup.xml": ("$ExportMacroHeading", "$ExportMacroMessage", False),
    "ConfirmDeleteMacroPopup.xml": ("$DeleteMacroHeading", "$DeleteMacroMessage", True),
    "DefaultDelayWarningPopup.xml": ("$DefaultDelayHeading", "$DefaultDelayMessage", False),
    "ProfileLimitReachedPopup.xml": ("$ProfileLimitHeading", "$ProfileLimitMessage", False),
    "DuplicateProfileWarningPopup.xml": ("$DuplicateProfileHeading", "$DuplicateProfileMessage", False),
    "ExportProfileWarningPopup.xml": ("$ExportProfileHeading", "$ExportProfileMessage", False),
    "ImporttProfileWarningPopup.xml": ("$ImportProfileHeading", "$ImportProfileMessage", False),
    "DisallowDeletePopup.xml": ("$DisallowDeleteHeading", "$DisallowDeleteMessage", False),
    "ConfirmDeletePopup.xml": ("$DeleteProfileHeading", "$DeleteProfileMessage", True),
    "FileNameLengthLimitReachedPopUp.xml": ("$FileNameTooLongHeading", "$FileNameTooLongMessage", False),
    "SelectApplicationWarningPopup.xml": ("$SelectApplicationHeading", "$SelectApplicationMessage", False),
}


class PopupKit:
    def __init__(self, kit):
        self.kit = kit
        self.btn = art.button(112, 32)
        self.bgs = {}

    def background(self, w, h):
        if (w, h) not in self.bgs:
            self.bgs[(w, h)] = art.popup_background("popup_%dx%d" % (w, h), w, h)
        return self.bgs[(w, h)]

    def new(self, file, w, h):
        bg, mask = self.background(w, h)
        return Layout(file, "GUIPANEL", bg.file, mask.file)


def heading(L, w, key, bind="heading"):
    L.text("TEXT_WARNDLG_HEADING", 20, 14, w - 40, 26, key, font="FONT_TERMINATORTWO12B",
           color="VEXA_TAB_SELECT", justify="C", caps="U", bind=bind)


def message(L, w, y, h, key):
    L.text("TEXT_WARNDLG_MESSAGE", 28, y, w - 56, h, key, font="FONT_ARIAL14", color="WHITE",
           justify="C", multiline=True)


def two_buttons(P, L, w, h, first, second, first_key, second_key, bind=True):
    y = h - 50
    L.button(first, w // 2 - 122, y, P.btn, first_key, colors=BTN_COLORS, bind=bind and "confirm")
    L.button(second, w // 2 + 10, y, P.btn, second_key, colors=BTN_COLORS, bind=bind and "dismiss")


def notices(P):
    out = []
    w, h = 440, 210
    for file, (head, msg, question) in NOTICES.items():
        L = P.new(file, w, h)
        heading(L, w, head)
        message(L, w, 60, 86, msg)
        if question:
            two_buttons(P, L, w, h, "BUTTON_POPUP_YES", "BUTTON_POPUP_NO", "$Yes", "$No")
        else:
            L.button("BUTTON_POPUP_SINGLE_OK", w // 2 - 56, h - 50, P.btn, "$OK", colors=BTN_COLORS,
                     bind="close")
        out.append(L)
    return out


def entry_popups(P):
    kit = P.kit
    out = []
    w, h = 440, 220
    for file, head, msg in (("MacroNamePopup.xml", "$NewMacroHeading", "$EnterMacroName"),
                            ("ProfileNamePopup.xml", "$NewProfileHeading", "$EnterProfileName"),
                            ("ProfileRenamePopup.xml", "$RenameProfileHeading", "$EnterNewName")):
        L = P.new(file, w, h)
        heading(L, w, head)
        message(L, w, 56, 40, msg)
        L.edit("EDITCTRL_POPUP_NAMEENTRY", 70, 104, w - 140, 30, "FONT_ARIAL16B", EDIT, maxlen=20,
               bind="name entry")
        two_buttons(P, L, w, h, "BUTTON_POPUP_OK", "BUTTON_POPUP_CANCEL", "$OK", "$Cancel")
        out.append(L)
    L = P.new("MacroRepeatEntryPopup.xml", w, h)
    heading(L, w, "$RepeatHeading")
    message(L, w, 56, 40, "$EnterRepeatCount")
    L.edit("EDITCTRL_POPUP_NUMENTRY", w // 2 - 60, 104, 120, 30, "FONT_ARIAL16B", EDIT, maxlen=3,
           bind="number entry")
    two_buttons(P, L, w, h, "BUTTON_POPUP_OK", "BUTTON_POPUP_CANCEL", "$OK", "$Cancel")
    out.append(L)
    L = P.new("SingleKeyPopup.xml", w, h)
    heading(L, w, "$SingleKeyHeading")
    message(L, w, 56, 40, "$PressAKey")
    L.edit("EDITCTRL_POPUP_SINGLEKEYENTRY", 70, 104, w - 140, 30, "FONT_ARIAL16B", EDIT,
           tag="EDITCTRLSKMMO", bind="key-combination capture")
    two_buttons(P, L, w, h, "BUTTON_POPUP_OK", "BUTTON_POPUP_CANCEL", "$OK", "$Cancel")
    out.append(L)
    return out


def choice_popups(P):
    kit = P.kit
    out = []
    w, h = 440, 220
    L = P.new("SelectProfilePopup.xml", w, h)
    heading(L, w, "$SelectProfileHeading")
    message(L, w, 56, 40, "$SelectProfileMessage")
    L.combo("LIST_DROPDOWN_POPUP", 70, 104, w - 140, 28, 160, kit.scroll, "FONT_ARIAL14B", COMBO,
            bind="profile choice")
    two_buttons(P, L, w, h, "BUTTON_POPUP_OK", "BUTTON_POPUP_CANCEL", "$OK", "$Cancel")
    out.append(L)

    w, h = 460, 340
    L = P.new("SelectMacroPopup.xml", w, h)
    heading(L, w, "$SelectMacroHeading")
    L.text("TEXT_MACRO_NAME", 40, 62, 110, 24, "$MacroLabel", font="FONT_ARIAL14", color="GREY_VX_HEADING")
    L.combo("LIST_DROPDOWN_POPUP", 150, 60, 270, 28, 160, kit.scroll, "FONT_ARIAL14B", COMBO,
            bind="macro choice")
    L.text("TEXT_WARNDLG_MESSAGE", 40, 104, 380, 24, "$PlayMode", font="FONT_ARIAL14", color="GREY_VX_HEADING")
    seg = art.segment(186, 32)
    modes = [("BUTTON_MACRO_PLAY_ONCE", "$PlayOnce"), ("BUTTON_MACRO_PLAY_MULTIPLE", "$PlayRepeat"),
             ("BUTTON_MACRO_PLAY_WHILEPRESSED", "$PlayWhileHeld"),
             ("BUTTON_MACRO_PLAY_UNTILPRESSED", "$PlayUntilPressed")]
    for i, (name, key) in enumerate(modes):
        L.button(name, 40 + (i % 2) * 194, 136 + (i // 2) * 42, seg, key, font="FONT_ARIAL13B",
                 colors=BTN_COLORS, checkbox=True, bind="play mode")
    two_buttons(P, L, w, h, "BUTTON_POPUP_OK", "BUTTON_POPUP_CANCEL", "$OK", "$Cancel")
    out.append(L)

    w, h = 480, 290
    L = P.new("AdvancedMacroPopup.xml", w, h)
    heading(L, w, "$PredefinedHeading")
    addb = art.button(80, 28)
    for i, (lab, key, lst, add) in enumerate((
            ("TEXT_INSERT_BASIC_COMMAND", "$EditingCommands", "LIST_GLOBAL_BASIC_COMMANDS", "BUTTON_ADD_BASIC_MACRO_CMDS"),
            ("TEXT_INSERT_ADDITIONAL_COMMAND", "$WindowsCommands", "LIST_GLOBAL_ADDITIONAL_COMMANDS",
             "BUTTON_ADD_ADV_MACRO_CMDS"))):
        y = 62 + i * 74
        L.text(lab, 34, y, 400, 22, key, font="FONT_ARIAL14", color="GREY_VX_HEADING")
        L.combo(lst, 34, y + 26, 316, 28, 200, kit.scroll, "FONT_ARIAL14B", COMBO, bind="command list")
        L.button(add, 362, y + 26, addb, "$Add", colors=BTN_COLORS, bind="add command")
    L.button("BUTTON_POPUP_SINGLE_OK", w // 2 - 56, h - 50, P.btn, "$Close", colors=BTN_COLORS, bind="close")
    out.append(L)
    return out


def preview(P):
    w, h = 560, 470
    L = P.new("PreviewPopup.xml", w, h)
    heading(L, w, "$PreviewHeading")
    rows = ["$LeftButton", "$RightButton", "$Wheel", "$LeftSideFrontButton", "$LeftSideRearButton", "$RightSideFrontButton",
            "$RightSideRearButton", "$WheelForward", "$WheelBackward"]
    pic, _ = figures.mouse_picture("mouse_preview.bmp", 150, 230, 75, 20, 96, 180, badges=range(1, 10))
    L.bitmap("BITMAP_SABREL_MOUSE_NORM", 24, 64, pic)
    strip = art.badge_strip("numstrip_preview.bmp", range(1, 10), 32, w=24)
    L.bitmap("BITMAP_BUTTONNUMSTRIP1_7", 190, 58, strip)
    for i, key in enumerate(rows):
        L.text("TEXT_PREVIEW_%02d" % (i + 1), 222, 58 + i * 32, 310, 32, "", font="FONT_ARIAL13B",
               color="WHITE", bind="button %d" % (i + 1), tooltip=key)
    L.text("TEXT_HEADING_MAIN_PREVIEW", 24, 356, 170, 24, "$Lighting", font="FONT_TERMINATORTWO12B",
           color="VEXA_TAB_SELECT", caps="U")
    for i, name in enumerate(("TEXT_HEADING_MAIN", "TEXT_HEADING_SIDE", "TEXT_HEADING_BASE")):
        L.text(name, 190 + i * 120, 356, 116, 24, "", font="FONT_ARIAL13B", color="WHITE", bind="light")
    L.button("BUTTON_POPUP_SINGLE_OK", w // 2 - 56, h - 50, P.btn, "$Close", colors=BTN_COLORS, bind="close")
    return L


def dpi_stages(P):
    kit = P.kit
    w, h = 780, 470
    L = P.new("DPIStagesPopup.xml", w, h)
    L.text("TEXT_SENSITIVITYSTAGE_HEADING", 20, 14, w - 40, 26, "$SensitivityStagesHeading",
           font="FONT_TERMINATORTWO12B", color="VEXA_TAB_SELECT", justify="C", caps="U")
    sw, sh = 136, 132
    pieces = figures.dpi_stage_pieces(sw, sh)
    bx = 12
    for i in range(5):
        bitmaps = [("DPIFRAME", pieces["DPIFRAME"], 0, 0), ("DPIFRAMESELECTED", pieces["DPIFRAMESELECTED"], 0, 0),
                   ("DPIWIN", pieces["DPIWIN"], bx, 56), ("DPIWINX", pieces["DPIWINX"], bx, 40),
                   ("DPIWINY", pieces["DPIWINY"], bx, 86)]
        texts = [("HEADING", "$dpistage%d" % (i + 1), 6, 4, sw - 12, 24),
                 ("DPI", "$DPI", 6, 34, sw - 12, 18),
                 ("X", "X", 0, 40, 12, 30), ("Y", "Y", 0, 86, 12, 30),
                 ("DPIX", "", bx, 40, sw - 24, 30), ("DPIY", "", bx, 86, sw - 24, 30)]
        L.dpi_stage("DPISTAGEWINDOW_%02d" % (i + 1), 30 + i * 146, 60, sw, sh, bitmaps, texts,
                    "FONT_ARIAL14B", tooltip="$tipStageWindow", bind="stage window %d" % (i + 1))
    # number of active stages
    L.text("TEXT_NUMSTAGES_LABEL", 30, 212, 200, 30, "$NumberOfStages", font="FONT_ARIAL14B",
           color="GREY_VX_HEADING")
    L.button("BUTTON_DPISTAGES_DEC", 232, 211, art.step_button(32, "-"), tooltip="$tipFewerStages",
             bind="fewer stages")
    L.bitmap("BITMAP_STAGECOUNT_DISPLAY", 270, 211, figures.display_box("stagecount.bmp", 50, 32),
             host_children=True)
    L.text("TEXT_NUMSTAGES", 272, 213, 46, 28, "", font="FONT_ARIAL16B", color="VEXA_TAB_SELECT",
           justify="C", host="BITMAP_STAGECOUNT_DISPLAY", bind="stage count")
    L.button("BUTTON_DPISTAGES_INC", 326, 211, art.step_button(32, "+"), tooltip="$tipMoreStages",
             bind="more stages")
    L.button("BUTTON_ENABLEXY_POPUP", 440, 218, kit.check, checkbox=True, bind="separate X/Y check box")
    L.text("TEXT_ENABLEXY_POPUP", 466, 215, 290, 24, "$EnableXY", font="FONT_ARIAL14", color="WHITE",
           colorhi="VEXA_TAB_SELECT", checkbox="BUTTON_ENABLEXY_POPUP")
    # sliders of the selected stage
    thumb, hot = art.slider_thumb(), art.slider_thumb(hot=True)
    trk, fill = art.slider_track(560)
    path = (13, 0, trk.w - 26, 26)
    tx = 110
    L.track("BITMAP_SLSENSTRK_XY_POPUP", tx, 280, trk, fill, "VEXA_TAB_SELECT", bind="track (X and Y)")
    L.track("BITMAP_SLSENSTRK_X_POPUP", tx, 280, trk, fill, "VEXA_TAB_SELECT", bind="track (X)")
    L.track("BITMAP_SLSENSTRK_Y_POPUP", tx, 326, trk, fill, "VEXA_TAB_SELECT", bind="track (Y)")
    for name, stage, track, tip in (("SLIDER_DPI_MULTI_POPUP", "SLIDER_DPI_MULTI_POPUP_STAGE1",
                                     "BITMAP_SLSENSTRK_XY_POPUP", "$tipSensitivity"),
                                    ("SLIDER_DPI_MULTI_X_POPUP", "SLIDER_DPI_MULTI_X_POPUP_STAGE1",
                                     "BITMAP_SLSENSTRK_X_POPUP", "$tipSensitivityX"),
                                    ("SLIDER_DPI_MULTI_Y_POPUP", "SLIDER_DPI_MULTI_Y_POPUP_STAGE1",
                                     "BITMAP_SLSENSTRK_Y_POPUP", "$tipSensitivityY")):
        L.multi_slider(name, track, [stage], thumb.file, hot.file, path, tooltip=tip, bind="slider")
    L.text("TEXT_CURRENTDPI", 30, 281, 76, 24, "$DPI", font="FONT_ARIAL14B", color="GREY_VX_HEADING",
           justify="R", bind="linked-mode caption")
    L.text("TEXT_DPI_X", 30, 281, 76, 24, "$DPIX", font="FONT_ARIAL14B", color="GREY_VX_HEADING",
           justify="R", bind="X caption")
    L.text("TEXT_DPI_Y", 30, 327, 76, 24, "$DPIY", font="FONT_ARIAL14B", color="GREY_VX_HEADING",
           justify="R", bind="Y caption")
    L.text("TEXT_WARNDLG_MESSAGE", 30, 362, w - 60, 36, "$StagesHint", font="FONT_ARIAL12",
           color="MIDGREY2", multiline=True, justify="C")
    two_buttons(P, L, w, h, "BUTTON_DPISTAGES_OK", "BUTTON_DPISTAGES_CANCEL", "$OK", "$Cancel")
    return L


def all_popups(kit):
    P = PopupKit(kit)
    return notices(P) + entry_popups(P) + choice_popups(P) + [preview(P), dpi_stages(P)]
