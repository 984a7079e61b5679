' Logs every event the control fires while a reader and a host use it: run
' in the test container, which hosts the control in a window and sends real
' keys and clicks (testcon.exe samples\log-events.vbs from the folder that
' holds the catalogue TESTCON.INI). A handler is a Sub named after the
' control and the event; each prints what it is given.
Option Explicit

Function Describe(node)
  If node Is Nothing Then
    Describe = "(none)"
  Else
    Describe = node.Title & " (level " & node.Level & ", book " & node.BookNumber & ")"
  End If
End Function

Sub Orvane_NodeSelect(Node)
  Host.Echo "NodeSelect " & Describe(Node) & "; ActiveBook " & Orvane.ActiveBook
End Sub
Sub Orvane_NodeExpand(Node)
  Host.Echo "NodeExpand " & Describe(Node)
End Sub
Sub Orvane_NodeCollapse(Node)
  Host.Echo "NodeCollapse " & Describe(Node)
End Sub
Sub Orvane_NodeCheck(Node)
  Host.Echo "NodeCheck " & Describe(Node) & ": state " & Node.State
End Sub
Sub Orvane_ContextMenu(Node, X, Y)
  Host.Echo "ContextMenu " & Describe(Node) & " at " & X & "," & Y
End Sub
Sub Orvane_Click()
  Host.Echo "Click"
End Sub
Sub Orvane_KeyDown(KeyCode, Shift)
  Host.Echo "KeyDown " & KeyCode
End Sub

Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Orvane.ApplyCheck = True
Host.Echo "-- LoadBooks: no event for the rows it makes"
Orvane.LoadBooks fso.GetAbsolutePathName(".") & "\TESTCON"
Host.Echo "-- a click on the first row, '+', Down"
Host.Click 120, 8
Host.Key &H6B
Host.Key &H28
Host.Echo "-- the menu key"
Host.Key &H5D
Host.Echo "-- a book unchecked by the host"
Orvane.SetStateBook 2, False
Host.Echo "-- a deep section made current through its Node"
Dim book : Set book = Orvane.GetBookNode(3)
Dim section : Set section = book.Children(book.Children.Count)
section.Select
Host.Echo "-- the book closed through its Node"
book.Expanded = False
