' The control from VBScript: late binding by name, the control's refusals as
' VBScript reports them (number, source and description), and calls with
' VBScript's own argument types.
Option Explicit
Dim failures : failures = 0

Sub Check(condition, what)
  If Not condition Then
    failures = failures + 1
    WScript.Echo "FAIL: " & what
  End If
End Sub

Sub Equal(actual, expected, what)
  Check actual = expected, what & ": expected [" & expected & "], got [" & actual & "]"
End Sub

' The error the last statement raised: its number, the control as its
' source and the given description ("" when any will do).
Sub Refused(number, description, what)
  Equal Err.Number, number, what & " error"
  Equal Err.Source, "Orvane", what & " error source"
  Check Err.Description <> "", what & " error has a description"
  If description <> "" Then Equal Err.Description, description, what & " error description"
  Err.Clear
End Sub

Dim ctl
Set ctl = CreateObject("ORVANE.OrvaneCtrl.1")

Equal ctl.Alignment, 2, "Alignment"
Equal ctl.Indent, 18, "Indent"
Equal ctl.ReadingOrder, 1, "ReadingOrder"
Equal ctl.ElapsedTime, 1000, "ElapsedTime"
Equal ctl.ShowBalloonHelp, True, "ShowBalloonHelp"
Equal ctl.ApplyCheck, False, "ApplyCheck"
Equal ctl.TocFile, "C:\0\1.TXT", "TocFile"
Equal ctl.BooksDir, "C:\Mirvak", "BooksDir"
Equal ctl.TopicName, "", "TopicName"
Equal ctl.BorderStyle, 0, "BorderStyle without a window"

On Error Resume Next
ctl.FilePos = 7
Refused 383, "Set not supported.", "FilePos set"
ctl.ActiveBook = 2
Refused 383, "Set not supported.", "ActiveBook set"
ctl.ActiveCategory = 2
Refused 383, "Set not supported.", "ActiveCategory set"
ctl.BorderStyle = 5
Refused 380, "Invalid property value.", "BorderStyle 5"
ctl.BorderStyle = 2
Refused 380, "Invalid property value.", "BorderStyle 2"
ctl.Alignment = 65538
Refused 380, "Invalid property value.", "Alignment 65538"
ctl.NoSuchMember = 1
Equal Err.Number, 438, "an unknown member"
Err.Clear
ctl.GetStateBook
Equal Err.Number, 450, "a call with an argument missing"
Err.Clear
Dim unexpected : unexpected = 0
ctl.Indent = 30
ctl.ApplyCheck = True
ctl.TocFile = "2"
ctl.LoadFromTocFile "20"
ctl.Demo
If Err.Number <> 0 Then unexpected = Err.Number
On Error GoTo 0
Equal unexpected, 0, "no error from ordinary calls"

Dim font
Set font = ctl.Font
font.Size = 16
Set ctl.Fonta = font
Equal Round(ctl.Fonta.Size), 16, "Fonta set by reference"

Equal ctl.FilePos, 0, "FilePos unchanged"
Equal ctl.Indent, 30, "Indent after set"
Equal ctl.TocFile, "-1", "LoadFromTocFile before any catalogue"
Equal ctl.ApplyCheck, True, "Demo sets ApplyCheck"
Equal ctl.GetParentPos(1, 10), -1, "GetParentPos at the first record"
Equal ctl.GetStateBook(1), 0, "GetStateBook without a catalogue"
Equal ctl.SetStateBook(1, False), False, "SetStateBook without a catalogue"
Dim added : Set added = ctl.AddChild(0, "x")
Check Not added Is Nothing, "AddChild gives the new item's Node"
Check added Is ctl.RootNodes(ctl.RootNodes.Count), "the Node of the item it added at the top"
Equal ctl.RootNodes(ctl.RootNodes.Count).Title, "x", "the added item's title"

' Colours are Longs, as every VBScript integer is: they add, compare and
' take the forms a VBScript author writes (system colours are negative).
Dim colours
Set colours = CreateObject("ORVANE.OrvaneCtrl.1")
Equal VarType(colours.BackColor), vbLong, "VarType(BackColor)"
Equal VarType(colours.ForeColor), vbLong, "VarType(ForeColor)"
Equal colours.BackColor, &H80000005, "BackColor is the window colour"
Equal colours.BackColor + 1, &H80000006, "BackColor + 1"
Check colours.BackColor < 0, "a system colour compares as a negative Long"
Check colours.ForeColor <> colours.BackColor, "ForeColor <> BackColor"
colours.BackColor = &HFF8040&
Equal colours.BackColor, &HFF8040&, "BackColor after &HFF8040&"
Equal colours.BackColor And &HFF&, &H40&, "the red byte of BackColor"
colours.ForeColor = RGB(1, 2, 3)
Equal colours.ForeColor, RGB(1, 2, 3), "ForeColor after RGB(1, 2, 3)"
colours.BackColor = colours.ForeColor * 2
Equal colours.BackColor, RGB(2, 4, 6), "BackColor from arithmetic"
colours.BackColor = &H80000008
Equal colours.BackColor, &H80000008, "BackColor after a system colour"
colours.BackColor = -1
Equal colours.BackColor, -1, "BackColor after -1"
colours.BackColor = 255.0
Equal colours.BackColor, 255, "BackColor after a whole Double"
On Error Resume Next
colours.BackColor = 2.5
Equal Err.Number, 6, "a fractional colour overflows"
Err.Clear
colours.BackColor = 4294967296
Equal Err.Number, 6, "a colour past 32 bits overflows"
Err.Clear
colours.BackColor = "red"
Equal Err.Number, 13, "a colour that is no number"
Err.Clear
On Error GoTo 0
Equal colours.BackColor, 255, "refused colours leave BackColor as it was"

If failures > 0 Then
  WScript.Echo failures & " check(s) failed"
  WScript.Quit 1
End If
WScript.Echo "control automation (VBScript): all checks passed"
WScript.Quit 0
