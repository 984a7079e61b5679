' The Orvane control from the Windows script host, in VBScript: created by
' its ProgID, a catalogue loaded, a position in a book looked up.
'   cscript //nologo list-books.vbs C:\Library\MAKTABA [BOOK POSITION]
' Use the cscript of the width you registered: C:\Windows\SysWOW64\cscript.exe
' for the x86 module, C:\Windows\System32\cscript.exe for x64.
Option Explicit
Dim args : Set args = WScript.Arguments
If args.Count < 1 Then
  WScript.Echo "usage: list-books.vbs CATALOGUE [BOOK POSITION]"
  WScript.Quit 2
End If

Dim orvane : Set orvane = CreateObject("ORVANE.OrvaneCtrl.1")
If Not orvane.LoadBooks(args(0)) Then
  WScript.Echo "cannot load " & args(0)
  WScript.Quit 1
End If
WScript.Echo "loaded " & orvane.TopicName

If args.Count >= 3 Then
  Dim book : book = CInt(args(1))
  Dim position : position = CLng(args(2))
  WScript.Echo "section at " & position & ": " & orvane.GetSectionTitle(book, position)
  WScript.Echo "its parent starts at " & orvane.GetParentPos(book, position)
End If

' Colours are Longs: they compare and add like any number.
Dim back : back = orvane.BackColor
WScript.Echo "BackColor is a " & TypeName(back) & " (&H" & Hex(back) & ")"
If back < 0 Then WScript.Echo "BackColor is a system colour"
orvane.BackColor = RGB(255, 250, 240)
WScript.Echo "BackColor now &H" & Hex(orvane.BackColor)
WScript.Quit 0
