#include "NameTables.h"

#include <cwchar>
#include <iterator>
#include <utility>

namespace {

// Item ids that layouts give their items by name. Ids 243, 443 and 449 are not used.
const NameRow kItemIdRows[] = {
    { 0, L"LANGUAGE_ENGLISH" },
    { 0, L"LANGUAGE_DEFAULT" },
    { 1, L"LANGUAGE_CHINESE_SIMPLIFIED" },
    { 2, L"LANGUAGE_CHINESE_TRADITIONAL" },
    { 3, L"LANGUAGE_FRENCH" },
    { 4, L"LANGUAGE_FRENCHCANADIAN" },
    { 5, L"LANGUAGE_GERMAN" },
    { 6, L"LANGUAGE_KOREAN" },
    { 7, L"LANGUAGE_RUSSIAN" },
    { 8, L"LANGUAGE_JAPANESE" },
    { 9, L"LANGUAGE_SPANISH" },
    { 10, L"LANGUAGE_THAI" },
    { 11, L"LANGUAGE_NORDIC" },
    { 12, L"LANGUAGE_UK" },
    { 13, L"LANGUAGE_TURKISH" },
    { 14, L"LANGUAGE_GREEK" },
    { 15, L"KBLAYOUT_ENGLISH" },
    { 16, L"KBLAYOUT_CHINESE_SIMPLIFIED" },
    { 17, L"KBLAYOUT_CHINESE_TRADITIONAL" },
    { 18, L"KBLAYOUT_FRENCH" },
    { 19, L"KBLAYOUT_FRENCHCANADIAN" },
    { 20, L"KBLAYOUT_GERMAN" },
    { 21, L"KBLAYOUT_KOREAN" },
    { 22, L"KBLAYOUT_RUSSIAN" },
    { 23, L"KBLAYOUT_JAPANESE" },
    { 24, L"KBLAYOUT_SPANISH" },
    { 25, L"KBLAYOUT_THAI" },
    { 26, L"KBLAYOUT_NORDIC" },
    { 27, L"KBLAYOUT_UK" },
    { 28, L"KBLAYOUT_TURKISH" },
    { 29, L"KBLAYOUT_GREEK" },
    { 30, L"FONT_ARIAL12B" },
    { 31, L"FONT_ARIAL12" },
    { 32, L"FONT_ARIAL14" },
    { 33, L"FONT_ARIAL16" },
    { 34, L"FONT_ARIAL13B" },
    { 35, L"FONT_ARIAL14B" },
    { 36, L"FONT_ARIAL16B" },
    { 37, L"FONT_TERMINATORTWO10" },
    { 38, L"FONT_TERMINATORTWO11" },
    { 39, L"FONT_TERMINATORTWO12" },
    { 40, L"FONT_TERMINATORTWO12B" },
    { 41, L"FONT_TERMINATORTWO13B" },
    { 42, L"FONT_TERMINATORTWO14B" },
    { 43, L"FONT_HALVOREG13" },
    { 44, L"FONT_HALVOREG15" },
    { 45, L"FONT_HALVOREG15B" },
    { 46, L"BUTTON_OK" },
    { 47, L"BUTTON_CANCEL" },
    { 48, L"BUTTON_APPLY" },
    { 49, L"BUTTON_UPDATE" },
    { 50, L"BUTTON_HELP" },
    { 51, L"BUTTON_EXIT" },
    { 52, L"BUTTON_POPUP_YES" },
    { 53, L"BUTTON_POPUP_NO" },
    { 54, L"BUTTON_POPUP_OK" },
    { 55, L"BUTTON_POPUP_SINGLE_OK" },
    { 56, L"BUTTON_POPUP_CANCEL" },
    { 57, L"BUTTON_POPUP_SINGLE_CANCEL" },
    { 58, L"BUTTON_DPISTAGES_OK" },
    { 59, L"BUTTON_DPISTAGES_CANCEL" },
    { 60, L"BUTTON_ADD_BASIC_MACRO_CMDS" },
    { 61, L"BUTTON_ADD_ADV_MACRO_CMDS" },
    { 62, L"BUTTON_DPISTAGES_DEC" },
    { 63, L"BUTTON_DPISTAGES_INC" },
    { 64, L"BUTTON_ENABLEXY_POPUP" },
    { 65, L"BUTTON_RESET_KEYBOARD_KEYS" },
    { 66, L"BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT" },
    { 67, L"BUTTON_VXKBD_LTMAIN_ON" },
    { 68, L"BUTTON_VXKBD_LTMAIN_OFF" },
    { 69, L"BUTTON_VXKBD_LTSIDE_ON" },
    { 70, L"BUTTON_VXKBD_LTSIDE_OFF" },
    { 71, L"BUTTON_VXKBD_LTBASE_ON" },
    { 72, L"BUTTON_VXKBD_LTBASE_OFF" },
    { 73, L"BUTTON_RESET_KEYBOARD" },
    { 74, L"BUTTON_MACRO_CREATE_KEYBOARD" },
    { 75, L"BUTTON_MACRO_IMPORT_KEYBOARD" },
    { 76, L"BUTTON_MACRO_EXPORT_KEYBOARD" },
    { 77, L"BUTTON_MACRO_DELETE_KEYBOARD" },
    { 78, L"BUTTON_MACRO_RECORD_KEYBOARD" },
    { 79, L"BUTTON_MACRO_ADVANCED_KEYBOARD" },
    { 80, L"BUTTON_IGNORE_DELAY_KEYBOARD" },
    { 81, L"BUTTON_INSERTDEFAULT_DELAY_KEYBOARD" },
    { 82, L"BUTTON_NEWPROFILE_KEYBOARD" },
    { 83, L"BUTTON_IMPORTPROFILE_KEYBOARD" },
    { 84, L"BUTTON_EXPORTPROFILE_KEYBOARD" },
    { 85, L"BUTTON_DELETEPROFILE_KEYBOARD" },
    { 86, L"BUTTON_ENABLE_PROFILE_OSD_KEYBOARD" },
    { 87, L"BUTTON_PRODSELECT_MOUSE" },
    { 88, L"BUTTON_PRODSELECT_KEYBOARD" },
    { 89, L"BUTTON_ASSIGNBUTTONS" },
    { 90, L"BUTTON_ADJUSTPERFORMANCE" },
    { 91, L"BUTTON_MANAGEPROFILES" },
    { 92, L"BUTTON_MANAGEMACROS" },
    { 93, L"BUTTON_LIGHTINGMAINTENANCE" },
    { 94, L"BUTTON_ASSIGNKEYS" },
    { 95, L"BUTTON_MANAGEPROFILES_KEYBOARD" },
    { 96, L"BUTTON_MANAGEMACROS_KEYBOARD" },
    { 97, L"BUTTON_LIGHTINGMAINTENANCE_KEYBOARD" },
    { 98, L"BUTTON_ENABLEACCELERATION" },
    { 99, L"BUTTON_RATE1" },
    { 100, L"BUTTON_RATE2" },
    { 101, L"BUTTON_RATE3" },
    { 102, L"BUTTON_SENSITIVITY_STAGES" },
    { 103, L"BUTTON_ENABLE_DPI_OSD" },
    { 104, L"BUTTON_ENABLEXY" },
    { 105, L"BUTTON_RESET_PROFILE" },
    { 106, L"BUTTON_DROPDOWN_PROFILESELECT" },
    { 107, L"BUTTON_ASSNLEFTCLICK" },
    { 108, L"BUTTON_ASSNRIGHTCLICK" },
    { 109, L"BUTTON_ASSNSCROLLBUTTON" },
    { 110, L"BUTTON_ASSNBUTTON4" },
    { 111, L"BUTTON_ASSNBUTTON5" },
    { 112, L"BUTTON_ASSNRSIDEREAR" },
    { 113, L"BUTTON_ASSNRSIDEFRONT" },
    { 114, L"BUTTON_ASSNSCROLLUP" },
    { 115, L"BUTTON_ASSNSCROLLDOWN" },
    { 116, L"BUTTON_VXMOUSE_LTMAIN_ON" },
    { 117, L"BUTTON_VXMOUSE_LTMAIN_OFF" },
    { 118, L"BUTTON_VXMOUSE_LTSIDE_ON" },
    { 119, L"BUTTON_VXMOUSE_LTSIDE_OFF" },
    { 120, L"BUTTON_VXMOUSE_LTBASE_ON" },
    { 121, L"BUTTON_VXMOUSE_LTBASE_OFF" },
    { 122, L"BUTTON_MACRO_CREATE" },
    { 123, L"BUTTON_MACRO_IMPORT" },
    { 124, L"BUTTON_MACRO_EXPORT" },
    { 125, L"BUTTON_MACRO_DELETE" },
    { 126, L"BUTTON_MACRO_RECORD" },
    { 127, L"BUTTON_MACRO_ADVANCED" },
    { 128, L"BUTTON_IGNORE_DELAY" },
    { 129, L"BUTTON_INSERTDEFAULT_DELAY" },
    { 130, L"BUTTON_NEWPROFILE_MOUSE" },
    { 131, L"BUTTON_IMPORTPROFILE_MOUSE" },
    { 132, L"BUTTON_EXPORTPROFILE_MOUSE" },
    { 133, L"BUTTON_DELETEPROFILE_MOUSE" },
    { 134, L"BUTTON_ENABLE_PROFILE_OSD" },
    { 135, L"BUTTON_MACRO_PLAY_ONCE" },
    { 136, L"BUTTON_MACRO_PLAY_MULTIPLE" },
    { 137, L"BUTTON_MACRO_PLAY_WHILEPRESSED" },
    { 138, L"BUTTON_MACRO_PLAY_UNTILPRESSED" },
    { 139, L"BUTTON_KB_ESC" },
    { 140, L"BUTTON_KB_F1" },
    { 141, L"BUTTON_KB_F2" },
    { 142, L"BUTTON_KB_F3" },
    { 143, L"BUTTON_KB_F4" },
    { 144, L"BUTTON_KB_F5" },
    { 145, L"BUTTON_KB_F6" },
    { 146, L"BUTTON_KB_F7" },
    { 147, L"BUTTON_KB_F8" },
    { 148, L"BUTTON_KB_F9" },
    { 149, L"BUTTON_KB_F10" },
    { 150, L"BUTTON_KB_F11" },
    { 151, L"BUTTON_KB_F12" },
    { 152, L"BUTTON_KB_PRTSC" },
    { 153, L"BUTTON_KB_SCRLK" },
    { 154, L"BUTTON_KB_PAUSE" },
    { 155, L"BUTTON_KB_TILDE" },
    { 156, L"BUTTON_KB_1" },
    { 157, L"BUTTON_KB_2" },
    { 158, L"BUTTON_KB_3" },
    { 159, L"BUTTON_KB_4" },
    { 160, L"BUTTON_KB_5" },
    { 161, L"BUTTON_KB_6" },
    { 162, L"BUTTON_KB_7" },
    { 163, L"BUTTON_KB_8" },
    { 164, L"BUTTON_KB_9" },
    { 165, L"BUTTON_KB_0" },
    { 166, L"BUTTON_KB_MINUS" },
    { 167, L"BUTTON_KB_PLUS" },
    { 168, L"BUTTON_KB_BKSPC" },
    { 169, L"BUTTON_KB_INSRT" },
    { 170, L"BUTTON_KB_HOME" },
    { 171, L"BUTTON_KB_PGUP" },
    { 172, L"BUTTON_KB_TAB" },
    { 173, L"BUTTON_KB_Q" },
    { 174, L"BUTTON_KB_W" },
    { 175, L"BUTTON_KB_E" },
    { 176, L"BUTTON_KB_R" },
    { 177, L"BUTTON_KB_T" },
    { 178, L"BUTTON_KB_Y" },
    { 179, L"BUTTON_KB_U" },
    { 180, L"BUTTON_KB_I" },
    { 181, L"BUTTON_KB_O" },
    { 182, L"BUTTON_KB_P" },
    { 183, L"BUTTON_KB_LTCRBKT" },
    { 184, L"BUTTON_KB_RTCRBKT" },
    { 185, L"BUTTON_KB_VRTLINE" },
    { 186, L"BUTTON_KB_DEL" },
    { 187, L"BUTTON_KB_END" },
    { 188, L"BUTTON_KB_PGDOWN" },
    { 189, L"BUTTON_KB_CAPSLK" },
    { 190, L"BUTTON_KB_A" },
    { 191, L"BUTTON_KB_S" },
    { 192, L"BUTTON_KB_D" },
    { 193, L"BUTTON_KB_F" },
    { 194, L"BUTTON_KB_G" },
    { 195, L"BUTTON_KB_H" },
    { 196, L"BUTTON_KB_J" },
    { 197, L"BUTTON_KB_K" },
    { 198, L"BUTTON_KB_L" },
    { 199, L"BUTTON_KB_COLON" },
    { 200, L"BUTTON_KB_QUOTN" },
    { 201, L"BUTTON_KB_ENTER" },
    { 202, L"BUTTON_KB_LTSHFT" },
    { 203, L"BUTTON_KB_Z" },
    { 204, L"BUTTON_KB_X" },
    { 205, L"BUTTON_KB_C" },
    { 206, L"BUTTON_KB_V" },
    { 207, L"BUTTON_KB_B" },
    { 208, L"BUTTON_KB_N" },
    { 209, L"BUTTON_KB_M" },
    { 210, L"BUTTON_KB_LESSTHN" },
    { 211, L"BUTTON_KB_GRTRTHN" },
    { 212, L"BUTTON_KB_QTNMRK" },
    { 213, L"BUTTON_KB_RTSHFT" },
    { 214, L"BUTTON_KB_UPARW" },
    { 215, L"BUTTON_KB_LTCTRL" },
    { 216, L"BUTTON_KB_LTWIN" },
    { 217, L"BUTTON_KB_LTALT" },
    { 218, L"BUTTON_KB_SPACE" },
    { 219, L"BUTTON_KB_RTALT" },
    { 220, L"BUTTON_KB_MENU" },
    { 221, L"BUTTON_KB_RTCTRL" },
    { 222, L"BUTTON_KB_LTARW" },
    { 223, L"BUTTON_KB_DWNARW" },
    { 224, L"BUTTON_KB_RTARW" },
    { 225, L"BUTTON_KB_NUMLK" },
    { 226, L"BUTTON_KB_NUMSH" },
    { 227, L"BUTTON_KB_NUMSR" },
    { 228, L"BUTTON_KB_NUMMS" },
    { 229, L"BUTTON_KB_NUM7" },
    { 230, L"BUTTON_KB_NUM8" },
    { 231, L"BUTTON_KB_NUM9" },
    { 232, L"BUTTON_KB_NUMPLUS" },
    { 233, L"BUTTON_KB_NUM4" },
    { 234, L"BUTTON_KB_NUM5" },
    { 235, L"BUTTON_KB_NUM6" },
    { 236, L"BUTTON_KB_NUMEQ" },
    { 237, L"BUTTON_KB_NUM1" },
    { 238, L"BUTTON_KB_NUM2" },
    { 239, L"BUTTON_KB_NUM3" },
    { 240, L"BUTTON_KB_NUMENTR" },
    { 241, L"BUTTON_KB_NUM0" },
    { 242, L"BUTTON_KB_NUM_PT" },
    { 244, L"LIST_GLOBAL_BASIC_COMMANDS" },
    { 245, L"LIST_GLOBAL_ADDITIONAL_COMMANDS" },
    { 246, L"LIST_GLOBALMACROLIST" },
    { 247, L"LIST_GLOBALMACROLIST_KEYBOARD" },
    { 248, L"LIST_PROFILELIST" },
    { 249, L"LIST_PROFILELIST_KEYBOARD" },
    { 250, L"LIST_DROPDOWN_POPUP" },
    { 251, L"LISTPANEL_ASSIGNOPTIONS" },
    { 252, L"LISTPANEL_MACROOPTIONS_KEYSTROKE" },
    { 253, L"LISTPANEL_MACROOPTIONS_DELAY" },
    { 254, L"LISTPANEL_MACROOPTIONS_MOUSECLICK" },
    { 255, L"LISTPANEL_MACROOPTIONS_KEYBOARD_KEYSTROKE" },
    { 256, L"LISTPANEL_MACROOPTIONS_KEYBOARD_DELAY" },
    { 257, L"LISTPANEL_MACROOPTIONS_KEYBOARD_MOUSECLICK" },
    { 258, L"LISTPANEL_PROFILEOPTIONS" },
    { 259, L"LISTPANEL_ASSIGNSUBMENU_PR" },
    { 260, L"LISTPANEL_ASSIGNSUBMENU_MA" },
    { 261, L"TEXT_WARNDLG_HEADING" },
    { 262, L"TEXT_WARNDLG_MESSAGE" },
    { 263, L"TEXT_INSERT_BASIC_COMMAND" },
    { 264, L"TEXT_INSERT_ADDITIONAL_COMMAND" },
    { 265, L"TEXT_NUMSTAGES" },
    { 266, L"TEXT_ENABLEXY_POPUP" },
    { 267, L"TEXT_SENSITIVITYSTAGE_HEADING" },
    { 268, L"TEXT_NUMSTAGES_LABEL" },
    { 269, L"TEXT_DPI_X" },
    { 270, L"TEXT_DPI_Y" },
    { 271, L"TEXT_HEADING_CURRENTPROFILE" },
    { 272, L"TEXT_CURRENTASSIGNMENT_HEADING" },
    { 273, L"TEXT_CURRENTASSIGNMENT_TEXT" },
    { 274, L"TEXT_LIGHTINGHEADING" },
    { 275, L"TEXT_HEADING_MAIN_PREVIEW" },
    { 276, L"TEXT_HEADING_MAIN" },
    { 277, L"TEXT_HEADING_SIDE" },
    { 278, L"TEXT_HEADING_BASE" },
    { 279, L"TEXT_MACRO_NAME" },
    { 280, L"TEXT_CURRENTMACROASSIGNMENT" },
    { 281, L"TEXT_IGNORE_DELAY" },
    { 282, L"TEXT_INSERTDEFAULT_DELAY" },
    { 283, L"TEXT_INSERTDEFAULT_DELAY_MS" },
    { 284, L"TEXT_ENABLE_PROFILE_OSD" },
    { 285, L"TEXT_INFO_PROFILE_OPTIONS" },
    { 286, L"TEXT_CURRENTDPI" },
    { 287, L"TEXT_POLLINGRATE" },
    { 288, L"TEXT_DPIVALUE1" },
    { 289, L"TEXT_DPIVALUE2" },
    { 290, L"TEXT_HEADING_X" },
    { 291, L"TEXT_HEADING_Y" },
    { 292, L"TEXT_ACCELERATION" },
    { 293, L"TEXT_ENABLEACCELERATION" },
    { 294, L"TEXT_APPLIESTOALL" },
    { 295, L"TEXT_ENABLEXY" },
    { 296, L"TEXT_ENABLE_DPI_OSD" },
    { 297, L"TEXT_ASSIGNBUTTONS_HEADING" },
    { 298, L"TEXT_MOUSEWHEEL_OPTIONS_HEADING" },
    { 299, L"TEXT_FIRMWAREVER" },
    { 300, L"TEXT_DRIVERVER" },
    { 301, L"TEXT_DRIVERVER_PERSIST" },
    { 302, L"TEXT_FIRMWAREVER_PERSIST" },
    { 303, L"TEXT_PREVIEW_01" },
    { 304, L"TEXT_PREVIEW_02" },
    { 305, L"TEXT_PREVIEW_03" },
    { 306, L"TEXT_PREVIEW_04" },
    { 307, L"TEXT_PREVIEW_05" },
    { 308, L"TEXT_PREVIEW_06" },
    { 309, L"TEXT_PREVIEW_07" },
    { 310, L"TEXT_PREVIEW_08" },
    { 311, L"TEXT_PREVIEW_09" },
    { 312, L"BITMAP_STAGECOUNT_DISPLAY" },
    { 313, L"BITMAP_SLSENSTRK_X_POPUP" },
    { 314, L"BITMAP_SLSENSTRK_Y_POPUP" },
    { 315, L"BITMAP_SLSENSTRK_XY_POPUP" },
    { 316, L"BITMAP_VERTICALBARLONG" },
    { 317, L"BITMAP_HORIZONTALBARLONG" },
    { 318, L"BITMAP_VBAR_MACRODISP_VL" },
    { 319, L"BITMAP_VBAR_MACRODISP_VR" },
    { 320, L"BITMAP_VBAR_MACRODISP_HT" },
    { 321, L"BITMAP_VBAR_MACRODISP_HB" },
    { 322, L"BITMAP_VBAR_MACROMSEC_VL" },
    { 323, L"BITMAP_VBAR_MACROMSEC_VR" },
    { 324, L"BITMAP_VBAR_MACROMSEC_HT" },
    { 325, L"BITMAP_VBAR_MACROMSEC_HB" },
    { 326, L"BITMAP_SLSENSTRK_X" },
    { 327, L"BITMAP_SLSENSTRK_Y" },
    { 328, L"BITMAP_SLSENSTRK_XY" },
    { 329, L"BITMAP_SLACCLTRK" },
    { 330, L"BITMAP_SLACCLTRKDISB" },
    { 331, L"BITMAP_SENSWINDOW1" },
    { 332, L"BITMAP_SENSWINDOW2" },
    { 333, L"BITMAP_SABREL_MOUSE_NORM" },
    { 334, L"BITMAP_SABREL_MOUSE_SCROLL" },
    { 335, L"BITMAP_BUTTONNUMSTRIP1_7" },
    { 336, L"BITMAP_BUTTONNUMSTRIP8_9" },
    { 337, L"BITMAP_MOUSE_FOOTNOTE" },
    { 338, L"BITMAP_KEYBOARD_FOOTNOTE" },
    { 339, L"BITMAP_KB_ESC" },
    { 340, L"BITMAP_KB_F1" },
    { 341, L"BITMAP_KB_F2" },
    { 342, L"BITMAP_KB_F3" },
    { 343, L"BITMAP_KB_F4" },
    { 344, L"BITMAP_KB_F5" },
    { 345, L"BITMAP_KB_F6" },
    { 346, L"BITMAP_KB_F7" },
    { 347, L"BITMAP_KB_F8" },
    { 348, L"BITMAP_KB_F9" },
    { 349, L"BITMAP_KB_F10" },
    { 350, L"BITMAP_KB_F11" },
    { 351, L"BITMAP_KB_F12" },
    { 352, L"BITMAP_KB_PRTSC" },
    { 353, L"BITMAP_KB_SCRLK" },
    { 354, L"BITMAP_KB_PAUSE" },
    { 355, L"BITMAP_KB_TILDE" },
    { 356, L"BITMAP_KB_1" },
    { 357, L"BITMAP_KB_2" },
    { 358, L"BITMAP_KB_3" },
    { 359, L"BITMAP_KB_4" },
    { 360, L"BITMAP_KB_5" },
    { 361, L"BITMAP_KB_6" },
    { 362, L"BITMAP_KB_7" },
    { 363, L"BITMAP_KB_8" },
    { 364, L"BITMAP_KB_9" },
    { 365, L"BITMAP_KB_0" },
    { 366, L"BITMAP_KB_MINUS" },
    { 367, L"BITMAP_KB_PLUS" },
    { 368, L"BITMAP_KB_BKSPC" },
    { 369, L"BITMAP_KB_INSRT" },
    { 370, L"BITMAP_KB_HOME" },
    { 371, L"BITMAP_KB_PGUP" },
    { 372, L"BITMAP_KB_TAB" },
    { 373, L"BITMAP_KB_Q" },
    { 374, L"BITMAP_KB_W" },
    { 375, L"BITMAP_KB_E" },
    { 376, L"BITMAP_KB_R" },
    { 377, L"BITMAP_KB_T" },
    { 378, L"BITMAP_KB_Y" },
    { 379, L"BITMAP_KB_U" },
    { 380, L"BITMAP_KB_I" },
    { 381, L"BITMAP_KB_O" },
    { 382, L"BITMAP_KB_P" },
    { 383, L"BITMAP_KB_LTCRBKT" },
    { 384, L"BITMAP_KB_RTCRBKT" },
    { 385, L"BITMAP_KB_VRTLINE" },
    { 386, L"BITMAP_KB_DEL" },
    { 387, L"BITMAP_KB_END" },
    { 388, L"BITMAP_KB_PGDOWN" },
    { 389, L"BITMAP_KB_CAPSLK" },
    { 390, L"BITMAP_KB_A" },
    { 391, L"BITMAP_KB_S" },
    { 392, L"BITMAP_KB_D" },
    { 393, L"BITMAP_KB_F" },
    { 394, L"BITMAP_KB_G" },
    { 395, L"BITMAP_KB_H" },
    { 396, L"BITMAP_KB_J" },
    { 397, L"BITMAP_KB_K" },
    { 398, L"BITMAP_KB_L" },
    { 399, L"BITMAP_KB_COLON" },
    { 400, L"BITMAP_KB_QUOTN" },
    { 401, L"BITMAP_KB_ENTER" },
    { 402, L"BITMAP_KB_LTSHFT" },
    { 403, L"BITMAP_KB_Z" },
    { 404, L"BITMAP_KB_X" },
    { 405, L"BITMAP_KB_C" },
    { 406, L"BITMAP_KB_V" },
    { 407, L"BITMAP_KB_B" },
    { 408, L"BITMAP_KB_N" },
    { 409, L"BITMAP_KB_M" },
    { 410, L"BITMAP_KB_LESSTHN" },
    { 411, L"BITMAP_KB_GRTRTHN" },
    { 412, L"BITMAP_KB_QTNMRK" },
    { 413, L"BITMAP_KB_RTSHFT" },
    { 414, L"BITMAP_KB_UPARW" },
    { 415, L"BITMAP_KB_LTCTRL" },
    { 416, L"BITMAP_KB_LTWIN" },
    { 417, L"BITMAP_KB_LTALT" },
    { 418, L"BITMAP_KB_SPACE" },
    { 419, L"BITMAP_KB_RTALT" },
    { 420, L"BITMAP_KB_MENU" },
    { 421, L"BITMAP_KB_RTCTRL" },
    { 422, L"BITMAP_KB_LTARW" },
    { 423, L"BITMAP_KB_DWNARW" },
    { 424, L"BITMAP_KB_RTARW" },
    { 425, L"BITMAP_KB_NUMLK" },
    { 426, L"BITMAP_KB_NUMSH" },
    { 427, L"BITMAP_KB_NUMSR" },
    { 428, L"BITMAP_KB_NUMMS" },
    { 429, L"BITMAP_KB_NUM7" },
    { 430, L"BITMAP_KB_NUM8" },
    { 431, L"BITMAP_KB_NUM9" },
    { 432, L"BITMAP_KB_NUMPLUS" },
    { 433, L"BITMAP_KB_NUM4" },
    { 434, L"BITMAP_KB_NUM5" },
    { 435, L"BITMAP_KB_NUM6" },
    { 436, L"BITMAP_KB_NUMEQ" },
    { 437, L"BITMAP_KB_NUM1" },
    { 438, L"BITMAP_KB_NUM2" },
    { 439, L"BITMAP_KB_NUM3" },
    { 440, L"BITMAP_KB_NUMENTR" },
    { 441, L"BITMAP_KB_NUM0" },
    { 442, L"BITMAP_KB_NUM_PT" },
    { 444, L"ASST_ICON_DEFAULT" },
    { 445, L"ASST_ICON_MACRO_ONCE" },
    { 446, L"ASST_ICON_MACRO_NTIMES" },
    { 447, L"ASST_ICON_MACRO_CONTINUOUSTOGGLE" },
    { 448, L"ASST_ICON_MACRO_CONTINUOUSHELD" },
    { 450, L"MACRO_DISPLAY" },
    { 451, L"MACRO_DISPLAY_KEYBOARD" },
    { 452, L"DPISTAGEWINDOW_01" },
    { 453, L"DPISTAGEWINDOW_02" },
    { 454, L"DPISTAGEWINDOW_03" },
    { 455, L"DPISTAGEWINDOW_04" },
    { 456, L"DPISTAGEWINDOW_05" },
    { 457, L"SLIDER_DPI_MULTI_X" },
    { 458, L"SLIDER_DPI_MULTI_X_STAGE1" },
    { 459, L"SLIDER_DPI_MULTI_Y" },
    { 460, L"SLIDER_DPI_MULTI_Y_STAGE1" },
    { 461, L"SLIDER_DPI_MULTI" },
    { 462, L"SLIDER_DPI_MULTI_STAGE1" },
    { 463, L"SLIDER_DPI_MULTI_X_POPUP" },
    { 464, L"SLIDER_DPI_MULTI_X_POPUP_STAGE1" },
    { 465, L"SLIDER_DPI_MULTI_Y_POPUP" },
    { 466, L"SLIDER_DPI_MULTI_Y_POPUP_STAGE1" },
    { 467, L"SLIDER_DPI_MULTI_POPUP" },
    { 468, L"SLIDER_DPI_MULTI_POPUP_STAGE1" },
    { 469, L"SLIDER_ID_ACCEL" },
    { 470, L"SLIDER_ID_ACCELDISB" },
    { 471, L"SLIDER_ACCEL_STAGE1" },
    { 472, L"BITMAPWIN_ASSIGNKEY" },
    { 473, L"EDITCTRL_DEFAULT_DELAY" },
    { 474, L"EDITCTRL_DEFAULT_DELAY_KEYBOARD" },
    { 475, L"EDITCTRL_POPUP_NAMEENTRY" },
    { 476, L"EDITCTRL_POPUP_NUMENTRY" },
    { 477, L"EDITCTRL_POPUP_SINGLEKEYENTRY" },
    { 478, L"KBDDEF_WINDOWS" },
    { 479, L"BITMAP_MECHKBD" },
};

const NameRow kShortcutFunctionRows[] = {
    { 1, L"$cut" }, { 2, L"$copy" }, { 3, L"$paste" }, { 4, L"$undo" }, { 5, L"$all" },
    { 6, L"$find" }, { 7, L"$new" }, { 8, L"$print" }, { 9, L"$save" }, { 10, L"$swapwindows" },
    { 11, L"$closewindow" }, { 12, L"$lockpc" }, { 13, L"$openexplorer" }, { 14, L"$run" },
    { 15, L"$showdesktop" }, { 16, L"$zoomin" }, { 17, L"$zoomout" },
};

// The language keys of the assignment types 0 to 64. The by-name variants (7, 23, 64) share the
// key of their by-identifier type, which therefore wins a look-up by name.
const NameRow kAssignmentTypeRows[] = {
    { 0, L"$defaultkey" }, { 1, L"$click" }, { 2, L"$menu" }, { 3, L"$universalscrolling" },
    { 4, L"$Double-Click" }, { 5, L"$SingleKey" }, { 6, L"$macro" }, { 7, L"$macro" },
    { 8, L"$buttonoff" }, { 9, L"$advanced" }, { 10, L"$on-the-flysensitivity" },
    { 11, L"$button4" }, { 12, L"$button5" }, { 13, L"$SensitivityStageUp" },
    { 14, L"$SensitivityStageDown" }, { 15, L"$SensitivityStages" }, { 16, L"$dpistage1" },
    { 17, L"$dpistage2" }, { 18, L"$dpistage3" }, { 19, L"$dpistage4" }, { 20, L"$dpistage5" },
    { 21, L"$TemporaryDPISwitch" }, { 22, L"$profile" }, { 23, L"$profile" },
    { 24, L"$profileup" }, { 25, L"$profiledown" }, { 26, L"$profile1" }, { 27, L"$profile2" },
    { 28, L"$profile3" }, { 29, L"$profile4" }, { 30, L"$profile5" }, { 31, L"$play" },
    { 32, L"$stop" }, { 33, L"$Backward" }, { 34, L"$Forward" }, { 35, L"$pause" },
    { 36, L"$volumeup" }, { 37, L"$volumedown" }, { 38, L"$mute" }, { 39, L"$skipback" },
    { 40, L"$skipforward" }, { 41, L"$scrollup" }, { 42, L"$scrolldown" }, { 43, L"$cut" },
    { 44, L"$copy" }, { 45, L"$paste" }, { 46, L"$undo" }, { 47, L"$all" }, { 48, L"$find" },
    { 49, L"$new" }, { 50, L"$print" }, { 51, L"$save" }, { 52, L"$swapwindows" },
    { 53, L"$closewindow" }, { 54, L"$lockpc" }, { 55, L"$openexplorer" }, { 56, L"$run" },
    { 57, L"$showdesktop" }, { 58, L"$zoomin" }, { 59, L"$zoomout" }, { 60, L"$dpisetting" },
    { 61, L"$profilesetting" }, { 62, L"$selectfun" }, { 63, L"$launchprogram" },
    { 64, L"$launchprogram" },
};

const NameRow kKeyDescriptionRows[] = {
    { 0, L"$ResetKeyBackToDefaultFunction" },
    { 5, L"$AssignKeyToBehaveAsAnotherKey" },
    { 6, L"$AssignKeyToControlPlaybackOfASelectedMacro" },
    { 22, L"$AssignKeyToSwitchToASelectedProfile" },
    { 63, L"$AssignKeyToLaunchASelectedApplication" },
};

// The help text keys of a mouse button's assignment type; types 43 to 64 reuse the assignment
// type keys.
const NameRow kButtonDescriptionRows[] = {
    { 0, L"$ResetButtonBackToDefaultFunction" }, { 1, L"$Assignasclick" },
    { 2, L"$Assignasmenu" }, { 3, L"$Assignasuniversalscrollcontrol" },
    { 4, L"$Assignasdouble-click" }, { 5, L"$Assignthisbuttontobehaveasakeyboardkey" },
    { 6, L"$Assignthisbuttontocontrolmacroplayback" },
    { 7, L"$Assignthisbuttontocontrolmacroplayback" }, { 8, L"$Disablethisbutton" },
    { 9, L"$advanced" }, { 10, L"$Assignthisbuttontoenableon-the-flysensitivitywhilstheld" },
    { 11, L"$button4" }, { 12, L"$button5" }, { 13, L"$AssignthisbuttontoincreaseDPIstage" },
    { 14, L"$AssignthisbuttontodecreaseDPIstage" }, { 15, L"$SensitivityStages" },
    { 16, L"$dpistage1" }, { 17, L"$dpistage2" }, { 18, L"$dpistage3" }, { 19, L"$dpistage4" },
    { 20, L"$dpistage5" }, { 21, L"$Assignthisbuttontoatemporarydpi" },
    { 22, L"$Assignthisbuttontochangetoaprofile" }, { 23, L"$Assignthisbuttontochangetoaprofile" },
    { 24, L"$profileup" }, { 25, L"$profiledown" }, { 26, L"$profile1" }, { 27, L"$profile2" },
    { 28, L"$profile3" }, { 29, L"$profile4" }, { 30, L"$profile5" }, { 31, L"$play" },
    { 32, L"$stop" }, { 33, L"$Assignasbackward" }, { 34, L"$Assignasforward" },
    { 35, L"$pause" }, { 36, L"$volumeup" }, { 37, L"$volumedown" }, { 38, L"$mute" },
    { 39, L"$skipback" }, { 40, L"$skipforward" },
    { 41, L"$AssignthisbuttontobehaveasScrollUp" }, { 42, L"$AssignthisbuttontobehaveasScrollDown" },
};

struct ColorRow
{
    COLORREF color;
    const wchar_t* name;
};

// Keyed by value: no two names may share one, hence VEXA_HIGHLIGHT 0xFEFEFE next to WHITE and the
// lowest bit that tells VEXA_PROFILE_HIGHLIGHT from VEXA_PANEL_BACKGROUND.
const ColorRow kColorRows[] = {
    { 0x0000FF, L"RED" }, { 0x00FF00, L"GREEN" }, { 0xFF0000, L"BLUE" }, { 0x00FFFF, L"YELLOW" },
    { 0x007EFF, L"ORANGE" }, { 0x8080FF, L"PINK" }, { 0x000000, L"BLACK" },
    { 0xFFFFFF, L"WHITE" }, { 0x3A3A3A, L"DARKGREY" }, { 0x777069, L"MIDGREY" },
    { 0x067401, L"GREEN2" }, { 0x014709, L"GREEN3" }, { 0x021E00, L"GREEN4" },
    { 0xC57700, L"BLUE2" }, { 0x0B0B0B, L"BLACK2" }, { 0x2B2B2B, L"DARKGREY2" },
    { 0x677079, L"MIDGREY2" }, { 0x505050, L"GREY_DROPDOWN" }, { 0x623300, L"BLUE_VX_BORDER" },
    { 0xEDD8FF, L"BLUE_VX_HIGHLIGHT" }, { 0x3D1B00, L"BLUE_VX_PROFILE_HIGHLIGHT" },
    { 0xFDAE00, L"BLUE_VX_TAB_SELECT" }, { 0xD6C2B1, L"GREY_VX_HEADING" },
    { 0x007CD0, L"GOLD_VX_HIGHTLIGHT" }, { 0x554909, L"VEXA_BORDER" },
    { 0xFEFEFE, L"VEXA_HIGHLIGHT" }, { 0x362E04, L"VEXA_PROFILE_HIGHLIGHT" },
    { 0xEDE86F, L"VEXA_TAB_SELECT" }, { 0x1C1803, L"VEXA_COMBO_BK" },
    { 0x483D06, L"VEXA_DROPDOWN_BORDER" }, { 0x816E0B, L"VEXA_PANEL_BORDER" },
    { 0x362E05, L"VEXA_PANEL_BACKGROUND" }, { 0x5E510A, L"VEXA_PANEL_HIGHLIGHT" },
};

const NameRow kListColumnRows[] = {
    { 0, L"LCITEM_PROFILECURRENT" }, { 1, L"LCITEM_PROFILEID" }, { 2, L"LCITEM_PROFILENAME" },
    { 3, L"LCITEM_PROFILEEXE" }, { 4, L"LCITEM_AUTOSWITCH" }, { 5, L"LCITEM_MCREVENT_ICON" },
    { 6, L"LCITEM_MCREVENT_DESCRIP" },
};

const NameRow kControlTypeRows[] = {
    { 0, L"ICON" }, { 1, L"STATIC" }, { 2, L"EDIT" }, { 3, L"COMBO" }, { 4, L"CHECKBOX" },
    { 5, L"FILEDIALOG" },
};

const NameRow kMacroColumnTypeRows[] = {
    { 0, L"ICON" }, { 1, L"STATIC" },
};

// Languages 10 to 14 have no text of their own and fall back to English.
const NameRow kLanguageRows[] = {
    { 0, L"English" }, { 1, L"ChineseSimplified" }, { 2, L"ChineseTraditional" },
    { 3, L"French" }, { 4, L"FrenchCanadian" }, { 5, L"German" }, { 6, L"Korean" },
    { 7, L"Russian" }, { 8, L"Japanese" }, { 9, L"Spanish" }, { 10, L"English" },
    { 11, L"English" }, { 12, L"English" }, { 13, L"English" }, { 14, L"English" },
};

// Keyboard layout code reported by the keyboard -> KBLAYOUT_* item id.
const std::pair<int32_t, int32_t> kKeyboardLayoutRows[] = {
    { 0, 15 }, { 1, 15 }, { 2, 29 }, { 3, 20 }, { 4, 18 }, { 5, 22 }, { 6, 27 },
    { 7, 26 }, { 8, 17 }, { 9, 21 }, { 10, 28 }, { 11, 25 }, { 12, 23 },
};

template <size_t N>
CNameTable Build(const NameRow (&rows)[N])
{
    CNameTable table;
    for (const NameRow& row : rows)
        table.Set(row.number, row.name);
    return table;
}

// The button descriptions continue with the assignment type keys from 43 on.
CNameTable BuildButtonDescriptions()
{
    CNameTable table = Build(kButtonDescriptionRows);
    for (const NameRow& row : kAssignmentTypeRows) {
        if (row.number >= 43)
            table.Set(row.number, row.name);
    }
    return table;
}

CNameTable BuildColors()
{
    CNameTable table;
    for (const ColorRow& row : kColorRows)
        table.Set(static_cast<int32_t>(row.color), row.name);
    return table;
}

// Built on first use; C++ guarantees one thread builds each.
const CNameTable& ItemIds() { static const CNameTable t = Build(kItemIdRows); return t; }
const CNameTable& ShortcutFunctions() { static const CNameTable t = Build(kShortcutFunctionRows); return t; }
const CNameTable& AssignmentTypes() { static const CNameTable t = Build(kAssignmentTypeRows); return t; }
const CNameTable& KeyDescriptions() { static const CNameTable t = Build(kKeyDescriptionRows); return t; }
const CNameTable& ButtonDescriptions() { static const CNameTable t = BuildButtonDescriptions(); return t; }
const CNameTable& Colors() { static const CNameTable t = BuildColors(); return t; }
const CNameTable& ListColumns() { static const CNameTable t = Build(kListColumnRows); return t; }
const CNameTable& ControlTypes() { static const CNameTable t = Build(kControlTypeRows); return t; }
const CNameTable& MacroColumnTypes() { static const CNameTable t = Build(kMacroColumnTypeRows); return t; }
const CNameTable& Languages() { static const CNameTable t = Build(kLanguageRows); return t; }

const std::map<int32_t, int32_t>& KeyboardLayoutItems()
{
    static const std::map<int32_t, int32_t> t(std::begin(kKeyboardLayoutRows), std::end(kKeyboardLayoutRows));
    return t;
}

} // namespace

void CNameTable::Set(int32_t number, const wchar_t* name)
{
    m_names[number] = name;
}

int32_t CNameTable::FindByName(const wchar_t* name) const
{
    if (!name)
        return -1;
    for (const auto& entry : m_names) {
        if (_wcsicmp(entry.second, name) == 0)
            return entry.first;
    }
    return -1;
}

const wchar_t* CNameTable::FindByNumber(int32_t number) const
{
    auto it = m_names.find(number);
    return it == m_names.end() ? nullptr : it->second;
}

const NameRow* ItemIdRows(size_t& count)
{
    count = std::size(kItemIdRows);
    return kItemIdRows;
}

void InitNameTables()
{
    ItemIds();
    ShortcutFunctions();
    AssignmentTypes();
    KeyDescriptions();
    ButtonDescriptions();
    Colors();
    ListColumns();
    ControlTypes();
    MacroColumnTypes();
}

void FillLanguageNameTable() { Languages(); }
void FillKeyboardLayoutItemTable() { KeyboardLayoutItems(); }

int32_t FindItemIdByName(const wchar_t* name) { return ItemIds().FindByName(name); }
const wchar_t* FindItemNameById(int32_t id) { return ItemIds().FindByNumber(id); }

COLORREF FindColorByName(const wchar_t* name)
{
    return static_cast<COLORREF>(Colors().FindByName(name));
}

int32_t FindShortcutFunctionId(const wchar_t* name) { return ShortcutFunctions().FindByName(name); }
int32_t FindAssignmentTypeId(const wchar_t* name) { return AssignmentTypes().FindByName(name); }
int32_t FindListColumnId(const wchar_t* name) { return ListColumns().FindByName(name); }
int32_t FindControlTypeId(const wchar_t* name) { return ControlTypes().FindByName(name); }
int32_t FindMacroColumnTypeId(const wchar_t* name) { return MacroColumnTypes().FindByName(name); }
int32_t FindLanguageIdByName(const wchar_t* name) { return Languages().FindByName(name); }

int32_t FindKeyboardLayoutItemId(int32_t code)
{
    const auto& items = KeyboardLayoutItems();
    auto it = items.find(code);
    return it == items.end() ? -1 : it->second;
}

const wchar_t* FindAssignmentTypeName(int32_t type) { return AssignmentTypes().FindByNumber(type); }
const wchar_t* FindButtonDescription(int32_t type) { return ButtonDescriptions().FindByNumber(type); }
const wchar_t* FindKeyDescription(int32_t type) { return KeyDescriptions().FindByNumber(type); }
const wchar_t* FindLanguageNameById(int32_t id) { return Languages().FindByNumber(id); }
