// A private interface through which our test container reads what the rows
// show, without going through the automation surface hosts see. Not in the
// type library; asked for by IID only.
#pragma once

#include <objbase.h>
#include <oleauto.h>

// {D0CB9704-FA4A-4E27-B745-032F36DC1253}
inline constexpr IID IID_IOrvaneInspect = {
    0xd0cb9704, 0xfa4a, 0x4e27, {0xb7, 0x45, 0x03, 0x2f, 0x36, 0xdc, 0x12, 0x53}};

struct IOrvaneInspect : public IUnknown {
  // One line per visible row, joined by line feeds:
  //   index|level|open|active|state|title
  // open and active as 0/1, state as the check state (0/1/2), the title
  // converted from the ANSI code page.
  virtual HRESULT STDMETHODCALLTYPE GetRows(BSTR* rows) = 0;
};
