' Walks a whole library through the control's Node objects and prints it as
' the outline shows it once every node is open: one line a node, indented
' by its level, with its kind, book number and record position.
'   cscript //nologo walk-library.vbs C:\Library\MAKTABA
' Use the cscript of the width you registered: C:\Windows\SysWOW64\cscript.exe
' for the x86 module, C:\Windows\System32\cscript.exe for x64.
Option Explicit
Dim args : Set args = WScript.Arguments
If args.Count < 1 Then
  WScript.Echo "usage: walk-library.vbs CATALOGUE"
  WScript.Quit 2
End If

Dim orvane : Set orvane = CreateObject("ORVANE.OrvaneCtrl.1")
If Not orvane.LoadBooks(args(0)) Then
  WScript.Echo "cannot load " & args(0)
  WScript.Quit 1
End If

Dim kinds : kinds = Array("category", "book", "section", "item")
Dim count : count = 0

' Children reads a book's sections, and a section's children that its file
' keeps apart, the first time they are asked for, as opening a row does.
Sub Walk(nodes)
  Dim node, line
  For Each node In nodes
    line = String(2 * node.Level, " ") & node.Title & " [" & kinds(node.Kind)
    If node.BookNumber > 0 Then line = line & " " & node.BookNumber
    If node.TocPos > 0 Then line = line & " @" & node.TocPos
    WScript.Echo line & "]"
    count = count + 1
    Walk node.Children
  Next
End Sub

Walk orvane.RootNodes
WScript.Echo count & " nodes"
WScript.Quit 0
