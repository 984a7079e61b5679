' The control's stock events reach the script's subs by name, with their
' arguments, when Host sends real mouse and keyboard input; a KeyDown handler
' may take a key away from the list by setting KeyCode to 0.
Option Explicit
Dim failures : failures = 0
Dim log : log = ""
Dim swallowKeys : swallowKeys = False

Sub Expect(actual, expected, what)
  Host.Echo "check: " & what & " is [" & expected & "]"
  If CStr(actual) <> CStr(expected) Then
    failures = failures + 1
    Host.Echo "FAIL: " & what & ": expected [" & expected & "], got [" & actual & "]"
  End If
End Sub

Sub Note(text)
  If log <> "" Then log = log & ", "
  log = log & text
End Sub

' The events noted since the last call, without mouse moves (the window
' system adds its own around every click).
Function Taken()
  Taken = log
  log = ""
End Function

Sub Orvane_MouseDown(Button, Shift, x, y)
  Note "MouseDown " & Button & " " & Shift & " " & x & " " & y
End Sub
Sub Orvane_Click()
  Note "Click"
End Sub
Sub Orvane_DblClick()
  Note "DblClick"
End Sub
Sub Orvane_KeyDown(KeyCode, Shift)
  Note "KeyDown " & KeyCode & " " & Shift
  If swallowKeys Then KeyCode = 0
End Sub
Sub Orvane_KeyUp(KeyCode, Shift)
  Note "KeyUp " & KeyCode & " " & Shift
End Sub

Dim moves : moves = 0
Dim lastMove : lastMove = ""
Sub Orvane_MouseMove(Button, Shift, x, y)
  moves = moves + 1
  lastMove = Button & " " & Shift & " " & x & " " & y
End Sub

Orvane.LoadBooks CreateObject("Scripting.FileSystemObject").GetAbsolutePathName(".") & "\TESTCON"
Taken

' Rows are 16 pixels high: y = 24 is on the second row. x = 100 is on the
' title, away from the button and check-box columns.
Host.Click 100, 24
Expect Taken(), "MouseDown 1 0 100 24, Click", "events of a click on the second row"
Expect Host.Selection, 1, "Selection after the click"

Host.MouseMove 120, 40
Expect lastMove, "0 0 120 40", "MouseMove with no button held"
Expect moves > 0, True, "MouseMove fired"

' A press, a move with the button held and a release: the move reports the
' button and the release alone makes the click.
Host.MouseDown 100, 8
Expect Taken(), "MouseDown 1 0 100 8", "events of a press"
Host.MouseMove 100, 40
Expect lastMove, "1 0 100 40", "MouseMove with the left button held"
Host.MouseUp 100, 40
Expect Taken(), "Click", "events of the release"

Host.DoubleClick 100, 8
Expect Taken(), "MouseDown 1 0 100 8, Click, DblClick, Click", "events of a double-click"

Host.Key 38
Expect Taken(), "KeyDown 38 0, KeyUp 38 0", "events of Up"
Host.Key 40
Expect Taken(), "KeyDown 40 0, KeyUp 40 0", "events of Down"
Expect Host.Selection, 1, "Selection after Down moved it"
Host.Key 40, True
Expect Taken(), "KeyDown 16 1, KeyDown 40 1, KeyUp 40 1, KeyUp 16 0", "events of Shift+Down"

' KeyCode set to 0 by the handler: the list does not move.
swallowKeys = True
Host.Key 38
swallowKeys = False
Expect Taken(), "KeyDown 38 0, KeyUp 38 0", "events of an Up the script swallows"
Expect Host.Selection, 1, "Selection after the swallowed Up"

If failures > 0 Then Err.Raise vbObjectError + 1, "events", failures & " check(s) failed"
