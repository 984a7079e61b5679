// What a host meets at the automation boundary: every refusal carries the
// control's name and a description, and every string ends at its first zero
// character, as the control's own 8-bit strings do.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

#include "control/framework/ansi_string.h"
#include "memory_property_bag.h"
#include "ocx_module.h"

namespace orvane::test {
namespace {

struct Refusal {
  const char* what;
  DISPID id;
  VARIANT value;
  SCODE code;
  const wchar_t* description;
};

// The thread's error object, as a host that asks for it after a call sees it.
std::wstring ErrorObjectText() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || !info) return L"<none>";
  Bstr source, description;
  info->GetSource(source.Receive());
  info->GetDescription(description.Receive());
  info->Release();
  return source.Text() + L"|" + description.Text();
}

TEST(Refusals, CarryTheControlsNameAndADescription) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  const Refusal refusals[] = {
      // Stock property refused by the framework, which gives no text itself.
      {"BorderStyle 2", DISPID_BORDERSTYLE, MakeI2(2), CTL_E_INVALIDPROPERTYVALUE,
       L"Invalid property value."},
      {"FilePos", 10, MakeI4(7), CTL_E_SETNOTSUPPORTED, L"Set not supported."},
      {"ActiveBook", 13, MakeI2(1), CTL_E_SETNOTSUPPORTED, L"Set not supported."},
      {"Alignment 65538", 7, MakeI4(65538), CTL_E_INVALIDPROPERTYVALUE, L"Invalid property value."},
      {"ReadingOrder -40000", 9, MakeI4(-40000), CTL_E_INVALIDPROPERTYVALUE,
       L"Invalid property value."},
  };
  for (const Refusal& r : refusals) {
    EXCEPINFO exception{};
    EXPECT_EQ(InvokeById(control.Get(), r.id, DISPATCH_PROPERTYPUT, {r.value}, nullptr, &exception),
              DISP_E_EXCEPTION)
        << r.what;
    EXPECT_EQ(exception.scode, r.code) << r.what;
    EXPECT_EQ(Bstr(exception.bstrSource ? exception.bstrSource : L"").Text(), L"Orvane") << r.what;
    EXPECT_EQ(Bstr(exception.bstrDescription ? exception.bstrDescription : L"").Text(),
              r.description)
        << r.what;
    EXPECT_EQ(ErrorObjectText(), std::wstring(L"Orvane|") + r.description) << r.what;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }

  // A host that passes no place for the details still finds them in the
  // error object.
  DISPID named = DISPID_PROPERTYPUT;
  VARIANT two = MakeI2(2);
  DISPPARAMS params{&two, &named, 1, 1};
  EXPECT_EQ(control->Invoke(DISPID_BORDERSTYLE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                            &params, nullptr, nullptr, nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(ErrorObjectText(), L"Orvane|Invalid property value.");

  // A call that succeeds leaves no stale error object behind.
  VARIANT one = MakeI2(1);
  params.rgvarg = &one;
  EXPECT_EQ(control->Invoke(DISPID_BORDERSTYLE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                            &params, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(ErrorObjectText(), L"<none>");
}

TEST(HostStrings, EndAtTheirFirstZero) {
  Bstr embedded(std::wstring(L"ab\0cd", 5));
  EXPECT_EQ(AnsiFromBstr(embedded.Get()), "ab");
  EXPECT_EQ(AnsiFromWide(std::wstring_view(L"\0x", 2)), "");

  ComPtr<IOrvaneAutomation> control = NewControl();
  // A topic name with a zero inside names the catalogue before the zero.
  std::wstring topic = WriteTestCatalogue(L"ZERO");
  Bstr cut(topic + std::wstring(L"\0x", 2));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(control->LoadBooks(cut.Get(), &loaded), S_OK);
  EXPECT_EQ(loaded, VARIANT_TRUE);
  Bstr sectionTitle;
  ASSERT_EQ(control->GetSectionTitle(1, 10, sectionTitle.Receive()), S_OK);
  EXPECT_FALSE(sectionTitle.Text().empty()) << "the catalogue's books were loaded";

  // Properties kept as text keep the part before the zero.
  ASSERT_EQ(control->put_BooksDir(Bstr(std::wstring(L"D:\\Lib\0rary", 11)).Get()), S_OK);
  Bstr dir;
  control->get_BooksDir(dir.Receive());
  EXPECT_EQ(dir.Text(), L"D:\\Lib");
  ASSERT_EQ(control->put_TopicName(Bstr(std::wstring(L"T\0x", 3)).Get()), S_OK);
  Bstr name;
  control->get_TopicName(name.Receive());
  EXPECT_EQ(name.Text(), L"T");
}

}  // namespace
}  // namespace orvane::test
