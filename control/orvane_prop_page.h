// COrvanePropPage: the control's own property page (dialog 100, caption
// "General"): the control's switches, numbers, choices and names, edited
// through the control's automation setters. The stock colours and fonts are
// the standard pages'.
#pragma once

#include "control/framework/table_property_page.h"

namespace orvane {

// The fields of the page, in the order shown.
std::span<const PageField> OrvanePageFields();

class COrvanePropPage final : public CTablePropertyPage {
 public:
  COrvanePropPage();
};

}  // namespace orvane
