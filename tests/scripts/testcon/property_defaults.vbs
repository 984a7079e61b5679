' A new control, created by ProgID and activated in the container, reads
' back the persisted properties' defaults, and refuses writes to the
' read-only ones without changing them.
Option Explicit
Dim failures : failures = 0

' Booleans print as True and False whatever the system's language.
Function Shown(value)
  If VarType(value) = vbBoolean Then
    If value Then Shown = "True" Else Shown = "False"
  Else
    Shown = CStr(value)
  End If
End Function

Sub Expect(actual, expected, what)
  Host.Echo "check: " & what & " is [" & Shown(expected) & "]"
  If VarType(actual) <> VarType(expected) And Not (IsNumeric(actual) And IsNumeric(expected)) Then
    failures = failures + 1
    Host.Echo "FAIL: " & what & ": expected [" & Shown(expected) & "], got [" & Shown(actual) & "] of type " & TypeName(actual)
  ElseIf actual <> expected Then
    failures = failures + 1
    Host.Echo "FAIL: " & what & ": expected [" & Shown(expected) & "], got [" & Shown(actual) & "]"
  End If
End Sub

' Writes a read-only property and expects "set not supported" (383).
Sub ExpectSetRefused(what)
  On Error Resume Next
  Select Case what
    Case "FilePos": Orvane.FilePos = 5
    Case "ActiveCategory": Orvane.ActiveCategory = 5
    Case "ActiveBook": Orvane.ActiveBook = 5
  End Select
  Dim number : number = Err.Number
  On Error GoTo 0
  Expect number, 383, "error number of writing " & what
End Sub

Expect Orvane.Alignment, 2, "Alignment"
Expect Orvane.Indent, 18, "Indent"
Expect Orvane.ReadingOrder, 1, "ReadingOrder"
Expect Orvane.ElapsedTime, 1000, "ElapsedTime"
Expect Orvane.FilePos, 0, "FilePos"
Expect Orvane.ApplyCheck, False, "ApplyCheck"
Expect Orvane.ShowBalloonHelp, True, "ShowBalloonHelp"
Expect Orvane.TocFile, "C:\0\1.TXT", "TocFile"
Expect Orvane.BooksDir, "C:\Mirvak", "BooksDir"
Expect Orvane.TopicName, "", "TopicName"
Expect Orvane.BorderStyle, 1, "BorderStyle after the window was made"
Expect Orvane.ActiveCategory, 0, "ActiveCategory before any selection"
Expect Orvane.ActiveBook, 0, "ActiveBook before any selection"

' Nothing is loaded: the list is empty and nothing is selected.
Expect Host.Rows(), "", "the rows of an empty control"
Expect Host.Selection, -1, "Selection of an empty control"
Expect Host.TopIndex, 0, "TopIndex of an empty control"

' Read-only properties refuse writes with the "set not supported" error.
ExpectSetRefused "FilePos"
ExpectSetRefused "ActiveCategory"
ExpectSetRefused "ActiveBook"
Expect Orvane.FilePos, 0, "FilePos after the refused write"
Expect Orvane.ActiveBook, 0, "ActiveBook after the refused write"

If failures > 0 Then Err.Raise vbObjectError + 1, "property_defaults", failures & " check(s) failed"
