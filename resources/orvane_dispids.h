/* The dispatch identifiers of the control's automation interface and its
 * events: the one place each number is written. The type library
 * (orvane.idl) takes them through widl's preprocessor and the C++ code
 * through this header, so the two cannot drift apart. Hosts keep these
 * numbers in compiled forms and scripts: they are fixed forever.
 *
 * Plain C preprocessor definitions only, for widl. */
#ifndef ORVANE_DISPIDS_H
#define ORVANE_DISPIDS_H

/* Properties, in the order of the property page. */
#define ORVANE_DISPID_INDENT 1
#define ORVANE_DISPID_SHOWBALLOONHELP 2
#define ORVANE_DISPID_ELAPSEDTIME 3
#define ORVANE_DISPID_TOCFILE 4
#define ORVANE_DISPID_APPLYCHECK 5
#define ORVANE_DISPID_TOPICNAME 6
#define ORVANE_DISPID_ALIGNMENT 7
#define ORVANE_DISPID_FONTA 8
#define ORVANE_DISPID_READINGORDER 9
#define ORVANE_DISPID_FILEPOS 10
#define ORVANE_DISPID_BOOKSDIR 11
#define ORVANE_DISPID_ACTIVECATEGORY 12
#define ORVANE_DISPID_ACTIVEBOOK 13
/* Added later, numbered apart so that branches adding members merge. */
#define ORVANE_DISPID_MIRRORKEYS 60
/* The control's own page edits every property from the first to the last. */
#define ORVANE_DISPID_FIRST_PROPERTY ORVANE_DISPID_INDENT
#define ORVANE_DISPID_LAST_PROPERTY ORVANE_DISPID_ACTIVEBOOK

/* Methods. */
#define ORVANE_DISPID_DEMO 14
#define ORVANE_DISPID_LOADFROMTOCFILE 15
#define ORVANE_DISPID_LOADFROMTEXTFILE 16
#define ORVANE_DISPID_ADDCHILD 17
#define ORVANE_DISPID_ADDSIBLING 18
#define ORVANE_DISPID_CHANGESTATESELECTED 19
#define ORVANE_DISPID_LOADBOOKS 20
#define ORVANE_DISPID_GETSECTIONTITLE 21
#define ORVANE_DISPID_GOTOTOCPOSITION 22
#define ORVANE_DISPID_SETSTATEBOOK 23
#define ORVANE_DISPID_GETSTATEBOOK 24
#define ORVANE_DISPID_ACTIVATEBOOK 25
#define ORVANE_DISPID_DEACTIVATEBOOK 26
#define ORVANE_DISPID_GETPARENTPOS 27

/* Members added in version 1.1 of the type library: the outline as
 * objects. Numbers 30 to 49 are this family's. */
#define ORVANE_DISPID_ROOTNODES 30
#define ORVANE_DISPID_SELECTEDNODE 31
#define ORVANE_DISPID_HITTEST 32
#define ORVANE_DISPID_GETCATEGORYNODE 33
#define ORVANE_DISPID_GETBOOKNODE 34
#define ORVANE_DISPID_GETSECTIONNODE 35
#define ORVANE_DISPID_TOPNODE 36

/* Stock members, with the numbers OLE gives them (the control's code checks
 * them against the system headers' names). */
#define ORVANE_DISPID_BACKCOLOR (-501)
#define ORVANE_DISPID_BORDERSTYLE (-504)
#define ORVANE_DISPID_FONT (-512)
#define ORVANE_DISPID_FORECOLOR (-513)
#define ORVANE_DISPID_ABOUTBOX (-552)

/* Stock events. */
#define ORVANE_DISPID_CLICK (-600)
#define ORVANE_DISPID_DBLCLICK (-601)
#define ORVANE_DISPID_KEYDOWN (-602)
#define ORVANE_DISPID_KEYPRESS (-603)
#define ORVANE_DISPID_KEYUP (-604)
#define ORVANE_DISPID_MOUSEDOWN (-605)
#define ORVANE_DISPID_MOUSEMOVE (-606)

/* Finding titles and type-ahead (version 1.1). Numbers 50 to 59 are this
 * family's. */
#define ORVANE_DISPID_FIND 50
#define ORVANE_DISPID_FINDNEXT 51
#define ORVANE_DISPID_FINDPREVIOUS 52
#define ORVANE_DISPID_FOLDTEXT 53
#define ORVANE_DISPID_TYPEAHEAD 54

/* The control's own events (version 1.1). */
#define ORVANE_DISPID_NODESELECT 1
#define ORVANE_DISPID_NODEEXPAND 2
#define ORVANE_DISPID_NODECOLLAPSE 3
#define ORVANE_DISPID_NODECHECK 4
#define ORVANE_DISPID_CONTEXTMENU 5

/* The members of a Node, numbered within the Node interface. */
#define ORVANE_NODE_DISPID_TITLE 1
#define ORVANE_NODE_DISPID_LEVEL 2
#define ORVANE_NODE_DISPID_KIND 3
#define ORVANE_NODE_DISPID_CATEGORY 4
#define ORVANE_NODE_DISPID_BOOKNUMBER 5
#define ORVANE_NODE_DISPID_TOCPOS 6
#define ORVANE_NODE_DISPID_INDEX 7
#define ORVANE_NODE_DISPID_PARENT 8
#define ORVANE_NODE_DISPID_CHILDREN 9
#define ORVANE_NODE_DISPID_VISIBLE 10
#define ORVANE_NODE_DISPID_SELECTED 11
#define ORVANE_NODE_DISPID_VALID 12
#define ORVANE_NODE_DISPID_EXPANDED 13
#define ORVANE_NODE_DISPID_STATE 14
#define ORVANE_NODE_DISPID_SELECT 15
#define ORVANE_NODE_DISPID_ENSUREVISIBLE 16

/* The members of a Nodes collection; Item is its value (DISPID_VALUE) and
 * _NewEnum the enumerator (DISPID_NEWENUM). */
#define ORVANE_NODES_DISPID_COUNT 1
#define ORVANE_NODES_DISPID_ITEM 0
#define ORVANE_NODES_DISPID_NEWENUM (-4)

#endif /* ORVANE_DISPIDS_H */
