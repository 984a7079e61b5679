' Walks the whole catalogue through the Node objects with For Each, opens
' every node that has children through Expanded, and requires the walk to
' read exactly as the rows then show the outline: the same titles at the
' same levels in the same order. Each opening fires NodeExpand once.
Option Explicit
Dim failures : failures = 0
Dim expands : expands = 0

Sub Expect(actual, expected, what)
  Host.Echo "check: " & what & " is [" & expected & "]"
  If CStr(actual) <> CStr(expected) Then
    failures = failures + 1
    Host.Echo "FAIL: " & what & ": expected [" & expected & "], got [" & actual & "]"
  End If
End Sub

Sub Orvane_NodeExpand(Node)
  expands = expands + 1
End Sub

' Depth first, as the rows list the outline; opens each node with children.
Dim walked : walked = ""
Dim opened : opened = 0
Sub Walk(nodes)
  Dim node
  For Each node In nodes
    If walked <> "" Then walked = walked & vbLf
    walked = walked & node.Level & "|" & node.Title
    If node.Children.Count > 0 Then
      node.Expanded = True
      opened = opened + 1
    End If
    Walk node.Children
  Next
End Sub

Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Orvane.ApplyCheck = True
Expect Orvane.LoadBooks(fso.GetAbsolutePathName(".") & "\TESTCON"), True, "LoadBooks"
Walk Orvane.RootNodes

' The level and title columns of every row.
Dim shown : shown = ""
Dim line, parts
For Each line In Split(Host.Rows(), vbLf)
  parts = Split(line, "|")
  If shown <> "" Then shown = shown & vbLf
  shown = shown & parts(1) & "|" & parts(5)
Next
Expect walked, shown, "the walk, line by line, against the rows"
Expect expands, opened, "NodeExpand once per node opened"
Expect UBound(Split(walked, vbLf)) + 1, Orvane.RootNodes.Count + 15, "nodes walked: two categories, three books, twelve sections"

' Identity: the same node is the same object while it is held.
Dim first : Set first = Orvane.GetBookNode(1)
Expect first Is Orvane.RootNodes(1).Children(1), True, "Is between two ways to one book"
Expect first Is Orvane.GetBookNode(2), False, "Is between two books"
' A reload makes every Node of the old outline invalid.
Orvane.LoadBooks fso.GetAbsolutePathName(".") & "\TESTCON"
Expect first.Valid, False, "Valid after a reload"
On Error Resume Next
Dim title : title = first.Title
Expect Err.Description, "The node no longer exists", "the error of a stale Node"
Expect Err.Source, "Orvane", "its source"
Err.Clear
Dim none : Set none = Orvane.RootNodes(3)
Expect Err.Number, 9, "an index past the end"
On Error GoTo 0

If failures = 0 Then Host.Echo "node_walk: all checks passed"
