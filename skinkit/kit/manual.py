"""The user manual opened by the Help button: one plain HTML page."""

PAGE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Halvo VEXA Configurator - User manual</title>
<style>
body { background: #0b0e12; color: #e8ecef; font-family: Tahoma, Arial, sans-serif; font-size: 15px;
       line-height: 1.5; margin: 0; }
main { max-width: 820px; margin: 0 auto; padding: 24px 32px 48px; }
h1 { color: #6fe8ed; font-size: 28px; letter-spacing: 1px; border-bottom: 2px solid #0b6e81;
     padding-bottom: 8px; }
h2 { color: #6fe8ed; font-size: 20px; margin-top: 32px; }
h3 { color: #b1c2d6; font-size: 16px; margin-bottom: 4px; }
a { color: #6fe8ed; }
code, kbd { background: #1a2129; border: 1px solid #2b3640; border-radius: 3px; padding: 0 4px; }
.note { background: #10181d; border-left: 3px solid #0b6e81; padding: 8px 12px; }
table { border-collapse: collapse; width: 100%; }
td, th { border: 1px solid #26313b; padding: 6px 8px; text-align: left; vertical-align: top; }
th { background: #052e36; color: #b1c2d6; }
</style>
</head>
<body>
<main>
<h1>Halvo VEXA Configurator</h1>
<p>The Configurator sets up your VEXA mouse and VEXA keyboard: what every button and key does,
the sensitivity of the mouse, your profiles, your macros and the lights. It reads the settings
from the devices when it starts. Your changes stay in the Configurator until you press
<b>Apply</b> (write them and keep working) or <b>OK</b> (write them and close). <b>Cancel</b> and
the close button at the top right leave without writing.</p>

<p class="note">The tray icon of Halvo VEXA starts with the Configurator and stays in the
notification area. It shows DPI and profile changes on the screen, switches profiles when a linked
program comes to the front, and its menu lets you pick a profile or open the Configurator.</p>

<h2>The main window</h2>
<p>At the top right you choose the product: <b>Mouse</b> or <b>Keyboard</b>. A product that is not
connected cannot be chosen. Below the logo are the tabs of the product's pages. When you switch
products with unsaved changes, the Configurator asks whether to write them first. At the bottom you
find the firmware and driver versions, <b>Updates</b> (the support web page), the
<b>?</b> button for this manual, and OK, Cancel and Apply. You can move the window by dragging it
at any free spot.</p>

<h2>Mouse pages</h2>
<table>
<tr><th>Page</th><th>What it does</th></tr>
<tr><td>Buttons</td><td>Gives each of the nine mouse functions (five buttons, the two buttons on
the right side, wheel up and wheel down) a function. The numbers in the picture show which
button each row belongs to.</td></tr>
<tr><td>Performance</td><td>Sets the sensitivity in DPI, for both axes together or separately for
X and Y, the DPI stages, acceleration, the polling rate and whether DPI changes are shown on the
screen.</td></tr>
<tr><td>Profiles</td><td>Lists the profiles on the mouse and manages them: new, import, export,
delete, and in the right-click menu rename, copy, set active, restore defaults, preview and the
program link.</td></tr>
<tr><td>Macros</td><td>Creates, records, edits, imports and exports macros.</td></tr>
<tr><td>Lighting</td><td>Switches the main, side and base lights on or off, and restores the
active profile's factory settings.</td></tr>
</table>
<p>Every mouse page has a <b>Profile</b> list at the top right: it shows the profile you are
editing, and choosing another makes that profile the active one.</p>

<h2>Keyboard pages</h2>
<table>
<tr><th>Page</th><th>What it does</th></tr>
<tr><td>Keys</td><td>Shows the keyboard. Point at a key to see its function; click it to select
it and choose a new function from the list on the right. Keys with a function of their own are
highlighted. <b>Reset all keys</b> gives every key its default back.</td></tr>
<tr><td>Profiles</td><td>As for the mouse.</td></tr>
<tr><td>Macros</td><td>As for the mouse; a keyboard macro can hold keys and mouse buttons.</td></tr>
<tr><td>Lighting</td><td>Switches the main and side lights on or off.</td></tr>
</table>

<h2>Assigning a function</h2>
<h3>A mouse button</h3>
<ol>
<li>Open <b>Mouse</b>, page <b>Buttons</b>.</li>
<li>Open the list in the row of the button and choose a function. <i>Keystroke</i> asks you to
press the key (with Shift, Ctrl or Alt if you like) that the button should send;
<i>Macro</i> and <i>Switch profile</i> open a second list to pick the macro or the profile.</li>
<li>Press <b>Apply</b>.</li>
</ol>
<p>One button always keeps the click function: the Configurator refuses to take it from the last
button that has it.</p>
<h3>A keyboard key</h3>
<ol>
<li>Open <b>Keyboard</b>, page <b>Keys</b>, and click the key.</li>
<li>Choose in the list on the right: <i>Default</i>, <i>Keystroke</i> (another key or a key
combination), <i>Macro</i> (then the macro and how it plays: once, a number of times, while held,
or until pressed again), <i>Switch profile</i> or <i>Launch program</i> (then the program file).</li>
<li>Press <b>Apply</b>.</li>
</ol>

<h2>Recording a macro</h2>
<ol>
<li>Open the <b>Macros</b> page of the mouse or the keyboard and press <b>New</b>. Give the macro a
name of up to 20 characters.</li>
<li>Choose how delays are recorded: as they happen (default), left out (<b>Leave out delays</b>), or
as one fixed delay in milliseconds (<b>Fixed delay of</b>).</li>
<li>Press <b>Record</b> and type the keys or click the mouse buttons. Keys pressed in any program
are recorded. Press <b>Stop</b> when you are done. While recording, the rest of the window is
locked.</li>
<li>Right-click a step to edit it, insert a delay after it, or delete it. <b>Commands...</b> inserts
ready-made shortcuts such as Copy, Paste or Lock computer.</li>
<li>Assign the macro to a button or key, then press <b>Apply</b>. A macro can only be exported after
it was written to the device.</li>
</ol>

<h2>Linking a program to a profile</h2>
<ol>
<li>Open the <b>Profiles</b> page and right-click the profile.</li>
<li>Choose <b>Link a program</b> and select the program's file (for example
<code>Game.exe</code>).</li>
<li>Tick <b>Auto switch</b> in the profile's row and press <b>Apply</b>.</li>
</ol>
<p>While that program is in front, the tray program makes the profile active (it looks every five
seconds). <b>Remove the program link</b> in the same menu undoes the link. Tick
<b>Show profile changes on screen</b> to see the profile's name when it changes.</p>

<h2>DPI stages</h2>
<p>On the <b>Performance</b> page, <b>DPI stages...</b> opens the stages: up to five DPI values the
mouse switches between with the buttons that have the DPI stage functions. Use <b>-</b> and
<b>+</b> to choose how many stages are active, click a stage and set its value with the slider.
Tick <b>Separate X and Y sensitivity</b> to give the stage its own X and Y values.</p>

<h2>Profiles and files</h2>
<p>The mouse and the keyboard each hold up to 20 profiles; the first profile cannot be deleted.
Profiles are exported to and imported from <code>.hvp</code> files, macros to and from
<code>.hvm</code> files.</p>

<h2>If something goes wrong</h2>
<ul>
<li><b>No device found</b>: connect the mouse or the keyboard and start the Configurator again.</li>
<li>A device unplugged while the Configurator runs disappears from the product switch; unsaved
changes for it come back when it is plugged in again.</li>
<li>Texts appear in the language set at installation. They are translated into German; the other
languages show the English texts.</li>
</ul>
</main>
</body>
</html>
"""


def html():
    return PAGE
