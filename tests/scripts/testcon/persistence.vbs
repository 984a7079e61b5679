' The control's persisted properties through its property bag: saved to a
' text file under their persisted names, changed, loaded back, and restored.
Option Explicit
Dim failures : failures = 0

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

Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Dim work : work = fso.GetAbsolutePathName(".")
Dim saved : saved = work & "\persistence.props"

' The saved file's lines, to look for one exactly.
Function HasLine(path, line)
  Dim stream, text
  Set stream = fso.OpenTextFile(path, 1)
  text = vbLf & Replace(stream.ReadAll, vbCr, "") & vbLf
  stream.Close
  HasLine = InStr(1, text, vbLf & line & vbLf, vbBinaryCompare) > 0
End Function

Orvane.Indent = 30
Orvane.ElapsedTime = 500
Orvane.TocFile = "D:\toc\list.txt"
Orvane.BooksDir = "D:\Kutub"
Orvane.ShowBalloonHelp = False
Orvane.ApplyCheck = True
Orvane.Alignment = 0
Dim fontName : fontName = Orvane.Fonta.Name
Dim fontSize : fontSize = Orvane.Fonta.Size
Host.SaveProperties saved

Expect HasLine(saved, "Indent=30"), True, "the file holds Indent=30"
Expect HasLine(saved, "ShowHint=False"), True, "ShowBalloonHelp is saved as ShowHint"
Expect HasLine(saved, "ShowBalloonHelp=False"), False, "no line under the automation name ShowBalloonHelp"
Expect HasLine(saved, "BooksDir=D:\Kutub"), True, "the file holds BooksDir"
Expect HasLine(saved, "Alignment=0"), True, "the file holds Alignment=0"
Expect HasLine(saved, "FontA=object:{0BE35203-8F91-11CE-9DE3-00AA004BB851}"), True, "Fonta is saved as FontA, a standard font"
Expect HasLine(saved, "FontA.Name=" & fontName), True, "the font's name is saved under FontA.Name"

' Change everything, then load the file back.
Orvane.Indent = 5
Orvane.ElapsedTime = 10
Orvane.TocFile = "changed"
Orvane.BooksDir = "E:\elsewhere"
Orvane.ShowBalloonHelp = True
Orvane.ApplyCheck = False
Orvane.Alignment = 2
Expect Orvane.Indent, 5, "Indent after changing it"
Host.LoadProperties saved

Expect Orvane.Indent, 30, "Indent restored"
Expect Orvane.ElapsedTime, 500, "ElapsedTime restored"
Expect Orvane.TocFile, "D:\toc\list.txt", "TocFile restored"
Expect Orvane.BooksDir, "D:\Kutub", "BooksDir restored"
Expect Orvane.ShowBalloonHelp, False, "ShowBalloonHelp restored"
Expect Orvane.ApplyCheck, True, "ApplyCheck restored"
Expect Orvane.Alignment, 0, "Alignment restored"
Expect Orvane.Fonta.Name, fontName, "Fonta's name restored"
Expect Orvane.Fonta.Size, fontSize, "Fonta's size restored"

' Data saved under the automation names is not read back: what is missing
' under the persisted names takes its default.
Dim stream : Set stream = fso.CreateTextFile(work & "\automation-names.props", True)
stream.WriteLine "ShowBalloonHelp=False"
stream.WriteLine "Fonta=object:{0BE35203-8F91-11CE-9DE3-00AA004BB851}"
stream.WriteLine "Indent=44"
stream.Close
Host.LoadProperties work & "\automation-names.props"
Expect Orvane.ShowBalloonHelp, True, "ShowBalloonHelp from a file that has only the automation name"
Expect Orvane.Indent, 44, "Indent from the same file"
Expect Orvane.ElapsedTime, 1000, "ElapsedTime missing from the file takes its default"

' A file that cannot be read is an error for the script, not for the control.
On Error Resume Next
Host.LoadProperties work & "\no-such-file.props"
Dim description : description = Err.Description
On Error GoTo 0
Expect InStr(description, "could not be read") > 0, True, "LoadProperties of a missing file fails with [" & description & "]"
Expect Orvane.Indent, 44, "Indent after the failed load"

If failures > 0 Then Err.Raise vbObjectError + 1, "persistence", failures & " check(s) failed"
