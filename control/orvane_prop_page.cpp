#include "control/orvane_prop_page.h"

#include "resources/resource_ids.h"

namespace orvane {

COrvanePropPage::COrvanePropPage()
    : COlePropertyPage(IDD_PROPPAGE_ORVANE, IDS_ORVANE_PROPPAGE_CAPTION) {}

}  // namespace orvane
