' Type-ahead with a VBScript host that takes characters for itself: a
' KeyAscii set to 0 in KeyPress keeps the row where it is; one changed to
' another character moves as that character would.
Option Explicit
Dim failures : failures = 0
Dim keep : keep = 0

Sub Expect(actual, expected, what)
  Host.Echo "check: " & what & " is [" & expected & "]"
  If actual <> expected Then
    failures = failures + 1
    Host.Echo "FAIL: " & what & ": expected [" & expected & "], got [" & actual & "]"
  End If
End Sub

Sub Orvane_KeyPress(KeyAscii)
  If keep = 1 Then KeyAscii = 0
  If keep = 2 Then KeyAscii = 78  ' N
End Sub

Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Orvane.LoadBooks fso.GetAbsolutePathName(".") & "\TESTCON"
Orvane.AddSibling -1, "Nahw"
Orvane.AddSibling -1, "Mantiq"
Orvane.TypeAhead = True
Host.Click 60, 8
keep = 1
Host.Char "m"
Expect Host.Selection, 0, "row after a character the host kept"
keep = 2
Host.Char "m"
Expect Host.Selection, 2, "row after a character the host changed to N"
keep = 0
Host.Wait 1500
Host.Char "m"
Expect Host.Selection, 3, "row after a character left alone"
Orvane.TypeAhead = False
Host.Wait 1500
Host.Char "n"
Expect Host.Selection, 3, "row after a character with type-ahead off"

If failures = 0 Then
  Host.Echo "type_ahead: all checks passed"
Else
  Host.Echo "FAIL: type_ahead: " & failures & " checks failed"
End If
