#include "control/orvane_prop_page.h"

#include "orvane_h.h"
#include "resources/orvane_dispids.h"
#include "resources/resource_ids.h"

namespace orvane {

namespace {

// The names are the type library's, as property browsers show them.
const PageChoice kAlignments[] = {{tvLeft, L"0 - tvLeft"}, {tvRight, L"2 - tvRight"}};
const PageChoice kReadingOrders[] = {{RTL, L"0 - RTL"}, {LTR, L"1 - LTR"}};

// One line a property; the switches are laid out two to a row after the
// other fields.
const PageField kFields[] = {
    {ORVANE_DISPID_INDENT, PageField::kNumber, L"&Indent (pixels):"},
    {ORVANE_DISPID_ELAPSEDTIME, PageField::kNumber, L"Balloon &delay (ms):"},
    {ORVANE_DISPID_ALIGNMENT, PageField::kChoice, L"&Alignment:", kAlignments},
    {ORVANE_DISPID_READINGORDER, PageField::kChoice, L"&Reading order:", kReadingOrders},
    {ORVANE_DISPID_TOPICNAME, PageField::kText, L"&Topic name:"},
    {ORVANE_DISPID_BOOKSDIR, PageField::kText, L"&Books folder:"},
    {ORVANE_DISPID_SHOWBALLOONHELP, PageField::kSwitch, L"Show balloon &help"},
    {ORVANE_DISPID_APPLYCHECK, PageField::kSwitch, L"&Check boxes on books"},
    {ORVANE_DISPID_TYPEAHEAD, PageField::kSwitch, L"T&ype-ahead"},
    {ORVANE_DISPID_MIRRORKEYS, PageField::kSwitch, L"&Mirror keys"},
};

}  // namespace

std::span<const PageField> OrvanePageFields() { return kFields; }

COrvanePropPage::COrvanePropPage()
    : CTablePropertyPage(IDD_PROPPAGE_ORVANE, IDS_ORVANE_PROPPAGE_CAPTION, kFields,
                         L"Orvane Control") {}

}  // namespace orvane
