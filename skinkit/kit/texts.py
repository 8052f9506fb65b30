"""The texts of the interface in English and German, and the language file writer.

Keys are written as the programs match them: without spaces, compared without regard to case.
CODE_KEYS are the keys the programs themselves show (assignment types and their descriptions,
shortcut functions, menu entries, macro rows, the tray menu); the layouts add their own. Every key
that either uses must have a text in both languages, which `missing_keys` and the checks enforce.

Every language of the programs' language name table gets a file of its own, so that a language
chosen in the registry finds its table; a language without a translation of ours carries the
English texts (a missing table would show the raw "$" keys).
"""

from . import names

# The languages we translate, by registry name: the column of their texts in T.
TRANSLATED = {"English": 0, "German": 1}

# key: (English, German)
T = {
    # -- assignment types (mouse buttons and keys) --
    "defaultkey": ("Default", "Standard"),
    "click": ("Click", "Klick"),
    "menu": ("Menu", "Men\u00fc"),
    "universalscrolling": ("Universal scrolling", "Universal-Scrollen"),
    "Double-Click": ("Double click", "Doppelklick"),
    "SingleKey": ("Keystroke", "Tastenanschlag"),
    "macro": ("Macro", "Makro"),
    "buttonoff": ("Off", "Aus"),
    "advanced": ("Advanced", "Erweitert"),
    "on-the-flysensitivity": ("On-the-fly sensitivity", "Empfindlichkeit im Flug"),
    "button4": ("Button 4", "Taste 4"),
    "button5": ("Button 5", "Taste 5"),
    "SensitivityStageUp": ("DPI stage up", "DPI-Stufe h\u00f6her"),
    "SensitivityStageDown": ("DPI stage down", "DPI-Stufe niedriger"),
    "SensitivityStages": ("Cycle DPI stages", "DPI-Stufen durchschalten"),
    "dpistage1": ("DPI stage 1", "DPI-Stufe 1"),
    "dpistage2": ("DPI stage 2", "DPI-Stufe 2"),
    "dpistage3": ("DPI stage 3", "DPI-Stufe 3"),
    "dpistage4": ("DPI stage 4", "DPI-Stufe 4"),
    "dpistage5": ("DPI stage 5", "DPI-Stufe 5"),
    "TemporaryDPISwitch": ("Temporary DPI switch", "Tempor\u00e4rer DPI-Wechsel"),
    "profile": ("Switch profile", "Profil wechseln"),
    "profileup": ("Next profile", "N\u00e4chstes Profil"),
    "profiledown": ("Previous profile", "Vorheriges Profil"),
    "profile1": ("Profile 1", "Profil 1"),
    "profile2": ("Profile 2", "Profil 2"),
    "profile3": ("Profile 3", "Profil 3"),
    "profile4": ("Profile 4", "Profil 4"),
    "profile5": ("Profile 5", "Profil 5"),
    "play": ("Play", "Wiedergabe"),
    "stop": ("Stop", "Stopp"),
    "Backward": ("Back", "Zur\u00fcck"),
    "Forward": ("Forward", "Vorw\u00e4rts"),
    "pause": ("Pause", "Pause"),
    "volumeup": ("Volume up", "Lauter"),
    "volumedown": ("Volume down", "Leiser"),
    "mute": ("Mute", "Stumm"),
    "skipback": ("Previous track", "Vorheriger Titel"),
    "skipforward": ("Next track", "N\u00e4chster Titel"),
    "scrollup": ("Scroll up", "Nach oben scrollen"),
    "scrolldown": ("Scroll down", "Nach unten scrollen"),
    "cut": ("Cut", "Ausschneiden"),
    "copy": ("Copy", "Kopieren"),
    "paste": ("Paste", "Einf\u00fcgen"),
    "undo": ("Undo", "R\u00fckg\u00e4ngig"),
    "all": ("Select all", "Alles markieren"),
    "find": ("Find", "Suchen"),
    "new": ("New", "Neu"),
    "print": ("Print", "Drucken"),
    "save": ("Save", "Speichern"),
    "swapwindows": ("Switch windows", "Fenster wechseln"),
    "closewindow": ("Close window", "Fenster schlie\u00dfen"),
    "lockpc": ("Lock computer", "Computer sperren"),
    "openexplorer": ("Open Explorer", "Explorer \u00f6ffnen"),
    "run": ("Run", "Ausf\u00fchren"),
    "showdesktop": ("Show desktop", "Desktop anzeigen"),
    "zoomin": ("Zoom in", "Vergr\u00f6\u00dfern"),
    "zoomout": ("Zoom out", "Verkleinern"),
    "dpisetting": ("DPI setting", "DPI-Einstellung"),
    "profilesetting": ("Profile setting", "Profileinstellung"),
    "selectfun": ("Select a function", "Funktion w\u00e4hlen"),
    "launchprogram": ("Launch program", "Programm starten"),
    # -- descriptions of the assignment types --
    "ResetButtonBackToDefaultFunction": ("Give this button its default function back.",
                                         "Dieser Taste ihre Standardfunktion zur\u00fcckgeben."),
    "Assignasclick": ("Use this button as a click.", "Diese Taste als Klick verwenden."),
    "Assignasmenu": ("Use this button to open the context menu.",
                     "Diese Taste \u00f6ffnet das Kontextmen\u00fc."),
    "Assignasuniversalscrollcontrol": ("Use this button for universal scrolling.",
                                       "Diese Taste f\u00fcr universelles Scrollen verwenden."),
    "Assignasdouble-click": ("Use this button as a double click.", "Diese Taste als Doppelklick verwenden."),
    "Assignthisbuttontobehaveasakeyboardkey": ("Make this button act as a keyboard key.",
                                               "Diese Taste wie eine Tastaturtaste wirken lassen."),
    "Assignthisbuttontocontrolmacroplayback": ("Play a macro with this button.",
                                               "Mit dieser Taste ein Makro abspielen."),
    "Disablethisbutton": ("Switch this button off.", "Diese Taste abschalten."),
    "Assignthisbuttontoenableon-the-flysensitivitywhilstheld": (
        "Change the sensitivity on the fly while this button is held.",
        "Empfindlichkeit \u00e4ndern, solange diese Taste gehalten wird."),
    "AssignthisbuttontoincreaseDPIstage": ("Go up one DPI stage.", "Eine DPI-Stufe h\u00f6her schalten."),
    "AssignthisbuttontodecreaseDPIstage": ("Go down one DPI stage.", "Eine DPI-Stufe niedriger schalten."),
    "Assignthisbuttontoatemporarydpi": ("Use a temporary DPI while this button is held.",
                                        "Tempor\u00e4re DPI nutzen, solange diese Taste gehalten wird."),
    "Assignthisbuttontochangetoaprofile": ("Switch to another profile.", "Zu einem anderen Profil wechseln."),
    "Assignasbackward": ("Go back, as in a web browser.", "Zur\u00fcck, wie im Webbrowser."),
    "Assignasforward": ("Go forward, as in a web browser.", "Vorw\u00e4rts, wie im Webbrowser."),
    "AssignthisbuttontobehaveasScrollUp": ("Scroll up with this button.", "Mit dieser Taste nach oben scrollen."),
    "AssignthisbuttontobehaveasScrollDown": ("Scroll down with this button.",
                                             "Mit dieser Taste nach unten scrollen."),
    "ResetKeyBackToDefaultFunction": ("Give this key its default function back.",
                                      "Dieser Taste ihre Standardfunktion zur\u00fcckgeben."),
    "AssignKeyToBehaveAsAnotherKey": ("Make this key act as another key or key combination.",
                                      "Diese Taste wie eine andere Taste oder Kombination wirken lassen."),
    "AssignKeyToControlPlaybackOfASelectedMacro": ("Play a macro with this key.",
                                                   "Mit dieser Taste ein Makro abspielen."),
    "AssignKeyToSwitchToASelectedProfile": ("Switch to another profile with this key.",
                                            "Mit dieser Taste zu einem anderen Profil wechseln."),
    "AssignKeyToLaunchASelectedApplication": ("Start a program with this key.",
                                              "Mit dieser Taste ein Programm starten."),
    # -- mouse buttons, as named in macros and on the button page --
    "LeftButton": ("Left button", "Linke Taste"),
    "RightButton": ("Right button", "Rechte Taste"),
    "Wheel": ("Wheel button", "Radtaste"),
    "Button4": ("Button 4", "Taste 4"),
    "Button5": ("Button 5", "Taste 5"),
    "LeftSideFrontButton": ("Left side, front", "Linke Seite, vorn"),
    "LeftSideRearButton": ("Left side, rear", "Linke Seite, hinten"),
    "RightSideFrontButton": ("Right side, front", "Rechte Seite, vorn"),
    "RightSideRearButton": ("Right side, rear", "Rechte Seite, hinten"),
    "WheelForward": ("Wheel up", "Rad nach oben"),
    "WheelBackward": ("Wheel down", "Rad nach unten"),
    "LeftButtonDown": ("Left button down", "Linke Taste gedr\u00fcckt"),
    "LeftButtonUp": ("Left button up", "Linke Taste losgelassen"),
    "RightButtonDown": ("Right button down", "Rechte Taste gedr\u00fcckt"),
    "RightButtonUp": ("Right button up", "Rechte Taste losgelassen"),
    "WheelDown": ("Wheel button down", "Radtaste gedr\u00fcckt"),
    "WheelUp": ("Wheel button up", "Radtaste losgelassen"),
    "Button4Down": ("Button 4 down", "Taste 4 gedr\u00fcckt"),
    "Button4Up": ("Button 4 up", "Taste 4 losgelassen"),
    "Button5Down": ("Button 5 down", "Taste 5 gedr\u00fcckt"),
    "Button5Up": ("Button 5 up", "Taste 5 losgelassen"),
    "secondsdelay": ("seconds delay", "Sekunden Pause"),
    # -- menus and commands --
    "New": ("New", "Neu"),
    "Rename": ("Rename", "Umbenennen"),
    "SetActive": ("Set active", "Aktivieren"),
    "Delete": ("Delete", "L\u00f6schen"),
    "Copy": ("Copy", "Kopieren"),
    "Import": ("Import", "Importieren"),
    "Export": ("Export", "Exportieren"),
    "RestoreDefault": ("Restore defaults", "Standard wiederherstellen"),
    "Preview": ("Preview", "Vorschau"),
    "AssignApplication": ("Link a program", "Programm verkn\u00fcpfen"),
    "UnassignApplication": ("Remove the program link", "Programmverkn\u00fcpfung entfernen"),
    "Edit": ("Edit", "Bearbeiten"),
    "InsertDelay": ("Insert delay", "Pause einf\u00fcgen"),
    "Record": ("Record", "Aufnehmen"),
    "Stop": ("Stop", "Stopp"),
    "Createanewprofile": ("Create a new profile", "Neues Profil anlegen"),
    "Importprofilefromafile": ("Import a profile from a file", "Profil aus Datei importieren"),
    "On": ("On", "Ein"),
    "Off": ("Off", "Aus"),
    "APM": ("Pulsing", "Pulsierend"),
    "Custom": ("Custom", "Benutzerdefiniert"),
    "DriverVersion": ("Driver version", "Treiberversion"),
    "FirmwareVersion": ("Firmware version", "Firmwareversion"),
    # -- tray menu --
    "LoadHalvoVEXA": ("Open Halvo VEXA", "Halvo VEXA \u00f6ffnen"),
    "CloseTrayIcon": ("Close tray icon", "Symbol im Infobereich schlie\u00dfen"),
    # -- main window --
    "Mouse": ("Mouse", "Maus"),
    "Keyboard": ("Keyboard", "Tastatur"),
    "AssignButtons": ("Buttons", "Tasten"),
    "Performance": ("Performance", "Leistung"),
    "Profiles": ("Profiles", "Profile"),
    "Macros": ("Macros", "Makros"),
    "Lighting": ("Lighting", "Beleuchtung"),
    "AssignKeys": ("Keys", "Tasten"),
    "OK": ("OK", "OK"),
    "Cancel": ("Cancel", "Abbrechen"),
    "Apply": ("Apply", "\u00dcbernehmen"),
    "CheckForUpdates": ("Updates", "Updates"),
    "Close": ("Close", "Schlie\u00dfen"),
    "Yes": ("Yes", "Ja"),
    "No": ("No", "Nein"),
    "Add": ("Add", "Einf\u00fcgen"),
    "ProfileLabel": ("Profile", "Profil"),
    "tipExit": ("Close the program without saving", "Programm ohne Speichern beenden"),
    "tipHelp": ("Open the user manual", "Benutzerhandbuch \u00f6ffnen"),
    "tipUpdate": ("Look for newer drivers on the support page", "Auf der Supportseite nach neuen Treibern suchen"),
    "tipProfileSelect": ("The profile you are editing; choosing one makes it active",
                         "Das bearbeitete Profil; die Auswahl macht es aktiv"),
    # -- buttons page --
    "AssignButtonsHeading": ("Assign buttons", "Tasten belegen"),
    "ScrollWheelHeading": ("Scroll wheel", "Scrollrad"),
    "tipMousePicture": ("The numbers show which button each row assigns",
                        "Die Nummern zeigen, welche Taste jede Zeile belegt"),
    # -- performance page --
    "Sensitivity": ("Sensitivity", "Empfindlichkeit"),
    "DPI": ("DPI", "DPI"),
    "DPIX": ("DPI X", "DPI X"),
    "DPIY": ("DPI Y", "DPI Y"),
    "EnableXY": ("Separate X and Y sensitivity", "X- und Y-Empfindlichkeit getrennt einstellen"),
    "ShowDpiOnScreen": ("Show DPI changes on screen", "DPI-\u00c4nderungen auf dem Bildschirm anzeigen"),
    "SensitivityStagesButton": ("DPI stages...", "DPI-Stufen..."),
    "Acceleration": ("Acceleration", "Beschleunigung"),
    "EnableAcceleration": ("Enable acceleration", "Beschleunigung einschalten"),
    "AccelerationHint": ("Acceleration makes the pointer travel further on fast movements.",
                         "Beschleunigung l\u00e4sst den Zeiger bei schnellen Bewegungen weiter laufen."),
    "PollingRate": ("Polling rate", "Abfragerate"),
    "PollingRateHint": ("How often the mouse reports to the computer. The rate applies to all profiles.",
                        "Wie oft die Maus dem Computer meldet. Die Rate gilt f\u00fcr alle Profile."),
    "tipSensitivity": ("Drag to set the sensitivity", "Ziehen, um die Empfindlichkeit einzustellen"),
    "tipSensitivityX": ("Horizontal sensitivity", "Horizontale Empfindlichkeit"),
    "tipSensitivityY": ("Vertical sensitivity", "Vertikale Empfindlichkeit"),
    "tipSensitivityStages": ("Set up to five DPI stages to switch between",
                             "Bis zu f\u00fcnf DPI-Stufen zum Umschalten einrichten"),
    "tipAcceleration": ("Drag to set the acceleration", "Ziehen, um die Beschleunigung einzustellen"),
    "tipPollingRate": ("Reports per second", "Meldungen pro Sekunde"),
    # -- profiles pages --
    "ManageProfiles": ("Profiles", "Profile"),
    "ProfileListHint": ("Double-click a profile to make it active; right-click for more.",
                        "Doppelklick aktiviert ein Profil; Rechtsklick zeigt mehr."),
    "Active": ("Active", "Aktiv"),
    "ProfileName": ("Name", "Name"),
    "LinkedProgram": ("Linked program", "Verkn\u00fcpftes Programm"),
    "AutoSwitch": ("Auto switch", "Autom. Wechsel"),
    "ShowProfileOnScreen": ("Show profile changes on screen", "Profilwechsel anzeigen"),
    "tipActive": ("The profile the device uses", "Das Profil, das das Ger\u00e4t nutzt"),
    "tipLinkedProgram": ("The profile becomes active when this program is in front",
                         "Das Profil wird aktiv, wenn dieses Programm im Vordergrund ist"),
    "tipAutoSwitch": ("Switch to this profile automatically", "Automatisch zu diesem Profil wechseln"),
    "tipNewProfile": ("Create a new profile", "Neues Profil anlegen"),
    "tipImportProfile": ("Import a profile from a file", "Profil aus einer Datei importieren"),
    "tipExportProfile": ("Save the selected profile to a file", "Gew\u00e4hltes Profil in eine Datei speichern"),
    "tipDeleteProfile": ("Delete the selected profile", "Gew\u00e4hltes Profil l\u00f6schen"),
    # -- macros pages --
    "ManageMacros": ("Macros", "Makros"),
    "MacroLabel": ("Macro", "Makro"),
    "AdvancedCommands": ("Commands...", "Befehle..."),
    "RecordingOptions": ("Recording", "Aufnahme"),
    "IgnoreDelays": ("Leave out delays", "Pausen weglassen"),
    "InsertDefaultDelay": ("Fixed delay of", "Feste Pause von"),
    "ms": ("ms", "ms"),
    "MacroDisplayHint": ("Right-click a step to edit it, insert a delay or delete it.",
                         "Rechtsklick auf einen Schritt: bearbeiten, Pause einf\u00fcgen, l\u00f6schen."),
    "tipMacroList": ("Choose the macro to show and record", "Makro zum Anzeigen und Aufnehmen w\u00e4hlen"),
    "tipMacroDisplay": ("The steps of the macro", "Die Schritte des Makros"),
    "tipNewMacro": ("Create a new, empty macro", "Neues, leeres Makro anlegen"),
    "tipImportMacro": ("Import a macro from a file", "Makro aus einer Datei importieren"),
    "tipExportMacro": ("Save the selected macro to a file", "Gew\u00e4hltes Makro in eine Datei speichern"),
    "tipDeleteMacro": ("Delete the selected macro", "Gew\u00e4hltes Makro l\u00f6schen"),
    "tipRecord": ("Record keys and mouse buttons into the macro",
                  "Tasten und Maustasten in das Makro aufnehmen"),
    "tipAdvanced": ("Insert a ready-made command", "Einen vorgefertigten Befehl einf\u00fcgen"),
    "tipDefaultDelay": ("Delay between steps, in milliseconds", "Pause zwischen den Schritten in Millisekunden"),
    # -- lighting pages --
    "LightingHeading": ("Lighting", "Beleuchtung"),
    "MainLight": ("Main light", "Hauptlicht"),
    "SideLight": ("Side light", "Seitenlicht"),
    "BaseLight": ("Base light", "Bodenlicht"),
    "RestoreDefaults": ("Restore defaults", "Standard wiederherstellen"),
    "tipRestoreDefaults": ("Give the active profile its factory settings",
                           "Dem aktiven Profil die Werkseinstellungen geben"),
    "tipLightingPicture": ("The lights of the device", "Die Lichter des Ger\u00e4ts"),
    # -- keys page --
    "CurrentAssignment": ("Key", "Taste"),
    "AssignOptions": ("Assign", "Belegen"),
    "ResetKeys": ("Reset all keys", "Alle Tasten zur\u00fccksetzen"),
    "KeyPageHint": ("Point at a key to see what it does. Click it to select it, then choose its "
                    "new function on the right.",
                    "Zeigen Sie auf eine Taste, um ihre Funktion zu sehen. Klicken Sie sie an und "
                    "w\u00e4hlen Sie rechts die neue Funktion."),
    "tipResetKeys": ("Give every key of the active profile its default function",
                     "Allen Tasten des aktiven Profils die Standardfunktion geben"),
    "tipAssignOptions": ("Functions for the selected key", "Funktionen f\u00fcr die gew\u00e4hlte Taste"),
    # -- popups --
    "NoDeviceHeading": ("No device found", "Kein Ger\u00e4t gefunden"),
    "NoDeviceMessage": ("Neither the VEXA mouse nor the VEXA keyboard is connected. The program closes now.",
                        "Weder die VEXA-Maus noch die VEXA-Tastatur ist angeschlossen. Das Programm wird beendet."),
    "UnsavedHeading": ("Unsaved changes", "Nicht gespeicherte \u00c4nderungen"),
    "UnsavedMessage": ("Save the changes to the device before switching? No discards them.",
                       "\u00c4nderungen vor dem Wechsel im Ger\u00e4t speichern? Nein verwirft sie."),
    "NoClickHeading": ("A click is needed", "Ein Klick wird gebraucht"),
    "NoClickMessage": ("At least one button must keep the click function.",
                       "Mindestens eine Taste muss die Klickfunktion behalten."),
    "RestoreHeading": ("Restore defaults", "Standard wiederherstellen"),
    "RestoreMessage": ("Give this profile its factory settings?", "Diesem Profil die Werkseinstellungen geben?"),
    "DuplicateMacroHeading": ("Name in use", "Name vergeben"),
    "DuplicateMacroMessage": ("A macro of this name exists already. Choose another name.",
                              "Ein Makro dieses Namens gibt es schon. Bitte einen anderen Namen w\u00e4hlen."),
    "PathTooLongHeading": ("Path too long", "Pfad zu lang"),
    "PathTooLongMessage": ("The path of the chosen file is too long. Move the file to a shorter path.",
                           "Der Pfad der Datei ist zu lang. Bitte die Datei in einen k\u00fcrzeren Pfad verschieben."),
    "FileErrorHeading": ("File not read", "Datei nicht gelesen"),
    "FileErrorMessage": ("The file could not be read, or it is not a file of this kind.",
                         "Die Datei konnte nicht gelesen werden oder hat nicht das richtige Format."),
    "WriteFailedHeading": ("Not saved", "Nicht gespeichert"),
    "WriteFailedMessage": ("The settings could not all be written to the device. They are kept: press Apply to "
                           "try again.",
                           "Die Einstellungen konnten nicht alle auf das Ger\u00e4t geschrieben werden. Sie bleiben "
                           "erhalten: zum erneuten Versuch \u00dcbernehmen dr\u00fccken."),
    "ImportNameEmptyMessage": ("The file gives no name. It was not imported.",
                               "Die Datei nennt keinen Namen. Sie wurde nicht importiert."),
    "ImportNameTooLongMessage": ("The name in the file is longer than 20 characters. It was not imported.",
                                 "Der Name in der Datei ist l\u00e4nger als 20 Zeichen. Sie wurde nicht importiert."),
    "ImportNameControlMessage": ("The name in the file holds line breaks or other control characters. "
                                 "It was not imported.",
                                 "Der Name in der Datei enth\u00e4lt Zeilenumbr\u00fcche oder andere Steuerzeichen. "
                                 "Sie wurde nicht importiert."),
    "ExportMacroHeading": ("Apply first", "Erst \u00fcbernehmen"),
    "ExportMacroMessage": ("This macro is not on the device yet. Press Apply, then export it.",
                           "Dieses Makro ist noch nicht im Ger\u00e4t. Bitte \u00dcbernehmen dr\u00fccken und dann exportieren."),
    "DeleteMacroHeading": ("Delete macro", "Makro l\u00f6schen"),
    "DeleteMacroMessage": ("Delete this macro? Buttons and keys that play it lose their function.",
                           "Dieses Makro l\u00f6schen? Tasten, die es abspielen, verlieren ihre Funktion."),
    "DefaultDelayHeading": ("Delay needed", "Pause fehlt"),
    "DefaultDelayMessage": ("Enter a fixed delay of at least 1 millisecond.",
                            "Bitte eine feste Pause von mindestens 1 Millisekunde eingeben."),
    "ProfileLimitHeading": ("Profile limit", "Profilgrenze"),
    "ProfileLimitMessage": ("The device holds at most 20 profiles. Delete one first.",
                            "Das Ger\u00e4t fasst h\u00f6chstens 20 Profile. Bitte zuerst eines l\u00f6schen."),
    "DuplicateProfileHeading": ("Name in use", "Name vergeben"),
    "DuplicateProfileMessage": ("A profile of this name exists already. Choose another name.",
                                "Ein Profil dieses Namens gibt es schon. Bitte einen anderen Namen w\u00e4hlen."),
    "ExportProfileHeading": ("Apply first", "Erst \u00fcbernehmen"),
    "ExportProfileMessage": ("This profile is not on the device yet. Press Apply, then export it.",
                             "Dieses Profil ist noch nicht im Ger\u00e4t. Bitte \u00dcbernehmen dr\u00fccken und dann exportieren."),
    "ImportProfileHeading": ("Apply first", "Erst \u00fcbernehmen"),
    "ImportProfileMessage": ("The device holds other profiles than shown. Press Apply before importing.",
                             "Das Ger\u00e4t enth\u00e4lt andere Profile als angezeigt. Bitte vor dem Import \u00dcbernehmen dr\u00fccken."),
    "DisallowDeleteHeading": ("Cannot delete", "L\u00f6schen nicht m\u00f6glich"),
    "DisallowDeleteMessage": ("The first profile cannot be deleted.", "Das erste Profil kann nicht gel\u00f6scht werden."),
    "DeleteProfileHeading": ("Delete profile", "Profil l\u00f6schen"),
    "DeleteProfileMessage": ("Delete this profile?", "Dieses Profil l\u00f6schen?"),
    "FileNameTooLongHeading": ("Name too long", "Name zu lang"),
    "FileNameTooLongMessage": ("The program's file name must be shorter than 127 characters.",
                               "Der Dateiname des Programms muss k\u00fcrzer als 127 Zeichen sein."),
    "SelectApplicationHeading": ("No program linked", "Kein Programm verkn\u00fcpft"),
    "SelectApplicationMessage": ("Link a program to this profile first: right-click it and choose Link a program.",
                                 "Bitte zuerst ein Programm verkn\u00fcpfen: Rechtsklick auf das Profil, dann Programm verkn\u00fcpfen."),
    "NewMacroHeading": ("New macro", "Neues Makro"),
    "NewProfileHeading": ("New profile", "Neues Profil"),
    "RenameProfileHeading": ("Rename profile", "Profil umbenennen"),
    "EnterMacroName": ("Name of the macro (up to 20 characters)", "Name des Makros (bis 20 Zeichen)"),
    "EnterProfileName": ("Name of the profile (up to 20 characters)", "Name des Profils (bis 20 Zeichen)"),
    "EnterNewName": ("New name (up to 20 characters)", "Neuer Name (bis 20 Zeichen)"),
    "RepeatHeading": ("Repeat macro", "Makro wiederholen"),
    "EnterRepeatCount": ("How many times should the macro play?", "Wie oft soll das Makro laufen?"),
    "SingleKeyHeading": ("Keystroke", "Tastenanschlag"),
    "PressAKey": ("Press the key or key combination to use.", "Dr\u00fccken Sie die gew\u00fcnschte Taste oder Kombination."),
    "SelectProfileHeading": ("Switch profile", "Profil wechseln"),
    "SelectProfileMessage": ("Which profile should this key switch to?", "Zu welchem Profil soll diese Taste wechseln?"),
    "SelectMacroHeading": ("Play a macro", "Makro abspielen"),
    "PlayMode": ("Play the macro", "Makro abspielen"),
    "PlayOnce": ("Once", "Einmal"),
    "PlayRepeat": ("A number of times", "Mehrmals"),
    "PlayWhileHeld": ("While held", "Solange gedr\u00fcckt"),
    "PlayUntilPressed": ("Until pressed again", "Bis erneut gedr\u00fcckt"),
    "PredefinedHeading": ("Insert a command", "Befehl einf\u00fcgen"),
    "EditingCommands": ("Editing commands", "Bearbeitungsbefehle"),
    "WindowsCommands": ("Windows commands", "Windows-Befehle"),
    "PreviewHeading": ("Profile preview", "Profilvorschau"),
    "SensitivityStagesHeading": ("DPI stages", "DPI-Stufen"),
    "NumberOfStages": ("Active stages", "Aktive Stufen"),
    "StagesHint": ("Click a stage to select it, then set its DPI with the slider.",
                   "Klicken Sie eine Stufe an und stellen Sie ihre DPI mit dem Regler ein."),
    "tipStageWindow": ("Click to edit this stage", "Klicken, um diese Stufe zu bearbeiten"),
    "tipFewerStages": ("One stage less", "Eine Stufe weniger"),
    "tipMoreStages": ("One stage more", "Eine Stufe mehr"),
}

# Keys the programs show from their own tables and code (not from a layout).
CODE_KEYS = [
    "defaultkey", "click", "menu", "universalscrolling", "Double-Click", "SingleKey", "macro",
    "buttonoff", "advanced", "on-the-flysensitivity", "button4", "button5", "SensitivityStageUp",
    "SensitivityStageDown", "SensitivityStages", "dpistage1", "dpistage2", "dpistage3", "dpistage4",
    "dpistage5", "TemporaryDPISwitch", "profile", "profileup", "profiledown", "profile1", "profile2",
    "profile3", "profile4", "profile5", "play", "stop", "Backward", "Forward", "pause", "volumeup",
    "volumedown", "mute", "skipback", "skipforward", "scrollup", "scrolldown", "cut", "copy", "paste",
    "undo", "all", "find", "new", "print", "save", "swapwindows", "closewindow", "lockpc",
    "openexplorer", "run", "showdesktop", "zoomin", "zoomout", "dpisetting", "profilesetting",
    "selectfun", "launchprogram",
    "ResetButtonBackToDefaultFunction", "Assignasclick", "Assignasmenu",
    "Assignasuniversalscrollcontrol", "Assignasdouble-click", "Assignthisbuttontobehaveasakeyboardkey",
    "Assignthisbuttontocontrolmacroplayback", "Disablethisbutton",
    "Assignthisbuttontoenableon-the-flysensitivitywhilstheld", "AssignthisbuttontoincreaseDPIstage",
    "AssignthisbuttontodecreaseDPIstage", "Assignthisbuttontoatemporarydpi",
    "Assignthisbuttontochangetoaprofile", "Assignasbackward", "Assignasforward",
    "AssignthisbuttontobehaveasScrollUp", "AssignthisbuttontobehaveasScrollDown",
    "ResetKeyBackToDefaultFunction", "AssignKeyToBehaveAsAnotherKey",
    "AssignKeyToControlPlaybackOfASelectedMacro", "AssignKeyToSwitchToASelectedProfile",
    "AssignKeyToLaunchASelectedApplication",
    "LeftButton", "RightButton", "Wheel", "Button4", "Button5", "RightSideFrontButton",
    "RightSideRearButton", "LeftButtonDown", "LeftButtonUp", "RightButtonDown", "RightButtonUp",
    "WheelDown", "WheelUp", "Button4Down", "Button4Up", "Button5Down", "Button5Up", "secondsdelay",
    "New", "Rename", "SetActive", "Delete", "Copy", "Import", "Export", "RestoreDefault", "Preview",
    "AssignApplication", "UnassignApplication", "Edit", "InsertDelay", "Record", "Stop",
    "Createanewprofile", "Importprofilefromafile", "On", "Off", "APM", "Custom", "DriverVersion",
    "FirmwareVersion", "LoadHalvoVEXA", "CloseTrayIcon",
    "ImportNameEmptyMessage", "ImportNameTooLongMessage", "ImportNameControlMessage",
    "WriteFailedHeading", "WriteFailedMessage",
]

HEADER = {"English": "HalvoVexa language file", "German": "HalvoVexa Sprachdatei"}


def file_name(lang):
    """The language file of a language, by its registry name."""
    return lang + ".lng"


def language_files():
    """{registry name: file name} for every language of the programs' table, by language code."""
    return {name: file_name(name) for _, name, _ in names.LANGUAGES}


def normal(key):
    """A key as the programs compare it: spaces left out, at most 59 characters."""
    return key.replace(" ", "")[:59].lower()


def _check_table():
    seen = {}
    for k, v in T.items():
        n = normal(k)
        if n in seen and T[seen[n]] != v:
            raise ValueError("keys %s and %s are one key to the programs but differ" % (seen[n], k))
        seen[n] = k


_check_table()


def missing_keys(layouts):
    known = {normal(k) for k in T}
    used = {normal(k) for k in CODE_KEYS}
    for L in layouts:
        used |= {normal(k[1:]) for k in L.keys}
    return used - known


def language_file(lang, keys):
    """A language file: UTF-16LE lines ended by CR LF; a header line, a line the programs skip,
    then key and text lines in turn, then END OF FILE. A language we do not translate carries the
    English texts."""
    col = TRANSLATED.get(lang, 0)
    by_norm = {normal(k): v for k, v in T.items()}
    lines = [HEADER.get(lang, HEADER["English"]), lang]
    done = set()
    for k in keys:
        if normal(k) in done:
            continue
        done.add(normal(k))
        if len(k.replace(" ", "")) > 59:
            raise ValueError("language key longer than 59 characters: " + k)
        text = by_norm[normal(k)][col]
        if not text or "\r" in text or "\n" in text:
            raise ValueError("empty or multi-line text for " + k)
        lines += [k, text]
    lines.append("END OF FILE")
    return "".join(l + "\r\n" for l in lines).encode("utf-16-le")
