// Identifiers of the module's resources, shared by the resource script and
// the C++ code that loads them.
#pragma once

#define IDS_ORVANE_CONTROL 1
#define IDS_ORVANE_PROPPAGE 2
#define IDS_ORVANE_PROPPAGE_CAPTION 100

#define IDB_ORVANE_TOOLBOX 1
#define IDI_ORVANE_ABOUT 1
#define IDD_ABOUTBOX_ORVANE 1
#define IDD_PROPPAGE_ORVANE 100
#define IDC_ABOUT_TREE 207

#define IDB_CHECK_STRIP 209
#define IDB_TREE_STRIP_LTR 210
#define IDB_TREE_STRIP_RTL 211
/* The same strips drawn at 125, 150 and 200 %. */
#define IDB_CHECK_STRIP_125 212
#define IDB_TREE_STRIP_LTR_125 213
#define IDB_TREE_STRIP_RTL_125 214
#define IDB_CHECK_STRIP_150 215
#define IDB_TREE_STRIP_LTR_150 216
#define IDB_TREE_STRIP_RTL_150 217
#define IDB_CHECK_STRIP_200 218
#define IDB_TREE_STRIP_LTR_200 219
#define IDB_TREE_STRIP_RTL_200 220

#define IDR_ORVANE_TYPELIB 1
