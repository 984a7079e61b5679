// COrvanePropPage: the control's own property page (dialog 100, caption
// "General"). It binds no property; the host edits the control's properties
// through automation and the stock ones through the standard pages.
#pragma once

#include "control/framework/ole_property_page.h"

namespace orvane {

class COrvanePropPage final : public COlePropertyPage {
 public:
  COrvanePropPage();
};

}  // namespace orvane
