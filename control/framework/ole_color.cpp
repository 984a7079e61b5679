#include "control/framework/ole_color.h"

#include <oleauto.h>

#include <cmath>
#include <cstdint>

namespace orvane {

HRESULT OleColorFromVariant(const VARIANT& value, OLE_COLOR* color) {
  if (color == nullptr) return E_POINTER;
  VARIANT number;
  VariantInit(&number);
  // A Double keeps every value of the range exactly, and shows a fraction
  // that a conversion to an integer type would round away.
  HRESULT hr = VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_R8);
  if (FAILED(hr)) return hr;
  const double d = V_R8(&number);
  if (!std::isfinite(d) || d != std::floor(d) || d < -2147483648.0 || d > 4294967295.0)
    return DISP_E_OVERFLOW;
  *color = static_cast<OLE_COLOR>(static_cast<uint32_t>(static_cast<int64_t>(d)));
  return S_OK;
}

}  // namespace orvane
