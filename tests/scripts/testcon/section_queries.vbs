' Section queries on the test catalogue's books, answered from the TOC
' files' bytes: titles, parent positions and FilePos through LoadFromTocFile,
' before and after LoadBooks. Arabic literals are written here directly:
' the container reads scripts as UTF-8.
Option Explicit
Dim failures : failures = 0

Sub Expect(actual, expected, what)
  Host.Echo "check: " & what & " is [" & expected & "]"
  If VarType(actual) <> VarType(expected) And Not (IsNumeric(actual) And IsNumeric(expected)) Then
    failures = failures + 1
    Host.Echo "FAIL: " & what & ": expected [" & expected & "], got [" & actual & "] of type " & TypeName(actual)
  ElseIf actual <> expected Then
    failures = failures + 1
    Host.Echo "FAIL: " & what & ": expected [" & expected & "], got [" & actual & "]"
  End If
End Sub

Dim topic : topic = CreateObject("Scripting.FileSystemObject").GetAbsolutePathName(".") & "\TESTCON"

' Before a catalogue is loaded there are no books to answer from.
Expect Orvane.GetSectionTitle(1, 143), "", "GetSectionTitle before LoadBooks"
Orvane.TocFile = "1"
Orvane.LoadFromTocFile "143"
Expect Orvane.TocFile, "-1", "LoadFromTocFile before LoadBooks"

Expect Orvane.LoadBooks(topic), True, "LoadBooks"

' Titles of the leading region, at every level, in all three books.
Expect Orvane.GetSectionTitle(1, 10), "كتاب الطهارة", "title of book 1 at 10"
Expect Orvane.GetSectionTitle(1, 143), "فروض الوضوء", "title of book 1 at 143 (third level)"
Expect Orvane.GetSectionTitle(1, 175), "فصل في المواقيت", "title of book 1 at 175"
Expect Orvane.GetSectionTitle(2, 75), "أقسام المياه", "title of book 2 at 75"
Expect Orvane.GetSectionTitle(3, 41), "باب الإعراب", "title of book 3 at 41"
Expect Orvane.GetSectionTitle(1, 0), "كتاب الطهارة", "title at 0 reads the first record"

' Parents: the chain from a third-level section up to the top.
Expect Orvane.GetParentPos(1, 143), 109, "parent of book 1 at 143"
Expect Orvane.GetParentPos(1, 109), 10, "parent of book 1 at 109"
Expect Orvane.GetParentPos(1, 175), 43, "parent of book 1 at 175"
Expect Orvane.GetParentPos(1, 43), -1, "parent of a top-level section"
Expect Orvane.GetParentPos(1, 10), -1, "parent of the first record"
Expect Orvane.GetParentPos(3, 73), 41, "parent of book 3 at 73"

' FilePos of a record, through TocFile: the book in, the result out.
Orvane.TocFile = "1"
Orvane.LoadFromTocFile "143"
Expect Orvane.TocFile, "121", "FilePos of book 1 at 143"
Orvane.TocFile = "3"
Orvane.LoadFromTocFile "73"
Expect Orvane.TocFile, "25", "FilePos of book 3 at 73"

If failures > 0 Then Err.Raise vbObjectError + 1, "section_queries", failures & " check(s) failed"
