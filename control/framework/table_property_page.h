// CTablePropertyPage: a property page whose controls are made from a table
// of fields, one line a property: a number or a text in an edit box, a
// choice among named values in a drop-down list, or a switch as a check box.
// Values are read from the first object through IDispatch when the page is
// shown, and Apply puts every changed field to every object through
// IDispatch, so a control's own automation setters do the work and refuse
// what they refuse; a refusal is shown to the user as a message and leaves
// that field changed for another try.
//
// Control identifiers follow the DISPID, so a test or a tool can find a
// field's control: kFieldControlBase + dispid, its label kFieldLabelBase +
// dispid.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "control/framework/ole_property_page.h"

namespace orvane {

inline constexpr int kFieldControlBase = 1000;
inline constexpr int kFieldLabelBase = 2000;

struct PageChoice {
  LONG value;
  const wchar_t* display;
};

struct PageField {
  enum Kind { kNumber, kText, kChoice, kSwitch };
  DISPID dispid;
  Kind kind;
  const wchar_t* label;
  std::span<const PageChoice> choices = {};
};

// Whether the user interface language `language` is written right to left,
// so that a page shown in it is laid out from the right.
bool UiLanguageReadsRightToLeft(LANGID language);

class CTablePropertyPage : public COlePropertyPage {
 public:
  CTablePropertyPage(UINT dialogId, UINT captionId, std::span<const PageField> fields,
                     const wchar_t* messageCaption)
      : COlePropertyPage(dialogId, captionId), m_fields(fields), m_messageCaption(messageCaption) {}

 protected:
  void OnInitDialog(HWND dialog) override;
  void OnCommand(HWND control, WORD id, WORD code) override;
  void DoDataExchange(bool save) override;

 private:
  void LoadFields();
  // Puts one changed field to every object; false when one refused it.
  bool ApplyField(size_t index);
  HWND FieldControl(size_t index) const;
  bool FieldValue(size_t index, VARIANT* value) const;
  void ShowRefusal(const PageField& field, HRESULT hr, const EXCEPINFO& exception) const;

  std::span<const PageField> m_fields;
  const wchar_t* m_messageCaption;
  std::vector<bool> m_changed;
  bool m_loading = false;
};

}  // namespace orvane
