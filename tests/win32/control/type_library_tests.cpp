// The type library embedded in ORVANE.OCX, read as a host's tools read it:
// the library's attributes, the two enumerations, both dispatch interfaces
// and the control class with its default interfaces.
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "ocx_module.h"
#include "resources/orvane_version.h"

namespace orvane::test {
namespace {

class TypeLibrary : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadTypeLibEx(OcxPath().c_str(), REGKIND_NONE, lib.Receive()), S_OK);
  }
  ComPtr<ITypeInfo> Info(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    lib->GetTypeInfoOfGuid(guid, info.Receive());
    return info;
  }
  ComPtr<ITypeInfo> InfoNamed(const wchar_t* name) {
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
      Bstr found;
      lib->GetDocumentation(static_cast<INT>(i), found.Receive(), nullptr, nullptr, nullptr);
      if (found.Text() == name) {
        ComPtr<ITypeInfo> info;
        lib->GetTypeInfo(i, info.Receive());
        return info;
      }
    }
    return {};
  }
  static std::wstring HelpString(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
    Bstr text;
    info->GetDocumentation(id, nullptr, text.Receive(), nullptr, nullptr);
    return text.Text();
  }
  ComPtr<ITypeLib> lib;
};

TEST_F(TypeLibrary, HasTheLibrarysVersionLocaleAndName) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_ORVANELib));
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 1);
  EXPECT_EQ(attr->lcid, 0x409u);
  lib->ReleaseTLibAttr(attr);
  Bstr name, help;
  lib->GetDocumentation(-1, name.Receive(), help.Receive(), nullptr, nullptr);
  EXPECT_EQ(name.Text(), L"ORVANELib");
  EXPECT_EQ(help.Text(), L"Orvane OLE Control module");
}

TEST_F(TypeLibrary, EnumerationsHaveNoAlignmentOne) {
  for (const auto& [name, expected] : {std::pair<const wchar_t*, std::map<std::wstring, LONG>>{
                                           L"TAlignment", {{L"tvLeft", 0}, {L"tvRight", 2}}},
                                       {L"TReadingOrder", {{L"RTL", 0}, {L"LTR", 1}}}}) {
    ComPtr<ITypeInfo> info = InfoNamed(name);
    ASSERT_TRUE(info) << name;
    TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    ASSERT_EQ(attr->typekind, TKIND_ENUM);
    std::map<std::wstring, LONG> values;
    for (UINT i = 0; i < attr->cVars; ++i) {
      VARDESC* var = nullptr;
      info->GetVarDesc(i, &var);
      Bstr member;
      info->GetDocumentation(var->memid, member.Receive(), nullptr, nullptr, nullptr);
      values[member.Text()] = V_I4(var->lpvarValue);
      info->ReleaseVarDesc(var);
    }
    info->ReleaseTypeAttr(attr);
    EXPECT_EQ(values, expected) << name;
  }
}

TEST_F(TypeLibrary, ReadOnlyPropertiesHaveNoPutAndTheNodeInterfacesTheirMembers) {
  // A compiler that reads the library refuses `ActiveBook = 3`.
  ComPtr<ITypeInfo> info = Info(DIID__DOrvane);
  ASSERT_TRUE(info);
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  std::map<std::wstring, bool> readOnly;
  for (UINT i = 0; i < attr->cVars; ++i) {
    VARDESC* var = nullptr;
    info->GetVarDesc(i, &var);
    Bstr name;
    info->GetDocumentation(var->memid, name.Receive(), nullptr, nullptr, nullptr);
    readOnly[name.Text()] = (var->wVarFlags & VARFLAG_FREADONLY) != 0;
    info->ReleaseVarDesc(var);
  }
  info->ReleaseTypeAttr(attr);
  for (const auto& [name, flag] : readOnly) {
    const bool expected = name == L"FilePos" || name == L"ActiveCategory" || name == L"ActiveBook";
    EXPECT_EQ(flag, expected) << std::string(name.begin(), name.end());
  }
  ComPtr<ITypeInfo2> info2 = info.As<ITypeInfo2>(IID_ITypeInfo2);
  UINT index = 0;
  EXPECT_EQ(info2->GetFuncIndexOfMemId(ORVANE_DISPID_ROOTNODES, INVOKE_PROPERTYGET, &index), S_OK);
  EXPECT_NE(info2->GetFuncIndexOfMemId(ORVANE_DISPID_ROOTNODES, INVOKE_PROPERTYPUT, &index), S_OK);
  EXPECT_EQ(info2->GetFuncIndexOfMemId(ORVANE_DISPID_SELECTEDNODE, INVOKE_PROPERTYPUTREF, &index),
            S_OK);

  // Node and Nodes: dispatch interfaces with their own numbers; the
  // collection's Item is its value and its enumerator the standard one.
  struct Member {
    const IID* iid;
    const wchar_t* name;
    MEMBERID id;
  };
  const Member members[] = {{&DIID_Node, L"Title", ORVANE_NODE_DISPID_TITLE},
                            {&DIID_Node, L"Expanded", ORVANE_NODE_DISPID_EXPANDED},
                            {&DIID_Node, L"EnsureVisible", ORVANE_NODE_DISPID_ENSUREVISIBLE},
                            {&DIID_Nodes, L"Item", DISPID_VALUE},
                            {&DIID_Nodes, L"_NewEnum", DISPID_NEWENUM},
                            {&DIID_Nodes, L"Count", ORVANE_NODES_DISPID_COUNT}};
  for (const Member& m : members) {
    ComPtr<ITypeInfo> node = Info(*m.iid);
    ASSERT_TRUE(node);
    MEMBERID id = 0;
    LPOLESTR name[] = {const_cast<LPOLESTR>(m.name)};
    ASSERT_EQ(node->GetIDsOfNames(name, 1, &id), S_OK);
    EXPECT_EQ(id, m.id);
  }
  // The vtable interfaces are the control's way of serving its members.
  for (const IID* iid : {&IID_IOrvaneAutomation, &IID_INodeAutomation, &IID_INodesAutomation}) {
    ComPtr<ITypeInfo> vtable = Info(*iid);
    ASSERT_TRUE(vtable);
    TYPEATTR* vattr = nullptr;
    vtable->GetTypeAttr(&vattr);
    EXPECT_TRUE(vattr->wTypeFlags & TYPEFLAG_FHIDDEN);
    vtable->ReleaseTypeAttr(vattr);
  }
}

TEST_F(TypeLibrary, DispatchInterfaceIsHiddenAndHoldsEveryMember) {
  ComPtr<ITypeInfo> info = Info(DIID__DOrvane);
  ASSERT_TRUE(info);
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FHIDDEN);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDISPATCHABLE);
  // Thirteen properties and MirrorKeys; the stock ones and the methods as
  // functions.
  EXPECT_EQ(attr->cVars, 14);
  info->ReleaseTypeAttr(attr);
  EXPECT_EQ(HelpString(info.Get()), L"Dispatch interface for Orvane Control");

  // Stock properties: bindable, and the colours and border request edit.
  for (MEMBERID id : {DISPID_BACKCOLOR, DISPID_FORECOLOR, DISPID_BORDERSTYLE, DISPID_FONT}) {
    UINT index = 0;
    ComPtr<ITypeInfo2> info2 = info.As<ITypeInfo2>(IID_ITypeInfo2);
    ASSERT_EQ(info2->GetFuncIndexOfMemId(id, INVOKE_PROPERTYGET, &index), S_OK) << id;
    FUNCDESC* func = nullptr;
    info->GetFuncDesc(index, &func);
    EXPECT_TRUE(func->wFuncFlags & FUNCFLAG_FBINDABLE) << id;
    EXPECT_EQ((func->wFuncFlags & FUNCFLAG_FREQUESTEDIT) != 0, id != DISPID_FONT) << id;
    info->ReleaseFuncDesc(func);
  }

  // Parameter names and order as hosts see them.
  MEMBERID ids[1];
  LPOLESTR name[] = {const_cast<LPOLESTR>(L"GotoTocPosition")};
  ASSERT_EQ(info->GetIDsOfNames(name, 1, ids), S_OK);
  BSTR names[3] = {};
  UINT count = 0;
  ASSERT_EQ(info->GetNames(ids[0], names, 3, &count), S_OK);
  ASSERT_EQ(count, 3u);
  EXPECT_STREQ(names[1], L"BookNumber");
  EXPECT_STREQ(names[2], L"TocPosition");
  for (BSTR& n : names) SysFreeString(n);
}

// The name and library of the type `type` refers to, for a reference to a
// type of another library (VT_USERDEFINED).
std::pair<std::wstring, GUID> ReferencedType(ITypeInfo* info, const TYPEDESC& type) {
  if (type.vt != VT_USERDEFINED) return {L"(not a reference)", GUID_NULL};
  ComPtr<ITypeInfo> referenced;
  if (FAILED(info->GetRefTypeInfo(type.hreftype, referenced.Receive()))) return {L"", GUID_NULL};
  Bstr name;
  referenced->GetDocumentation(MEMBERID_NIL, name.Receive(), nullptr, nullptr, nullptr);
  ComPtr<ITypeLib> lib;
  UINT index = 0;
  GUID libid = GUID_NULL;
  if (SUCCEEDED(referenced->GetContainingTypeLib(lib.Receive(), &index))) {
    TLIBATTR* attr = nullptr;
    lib->GetLibAttr(&attr);
    libid = attr->guid;
    lib->ReleaseTLibAttr(attr);
  }
  return {name.Text(), libid};
}

TEST_F(TypeLibrary, ColoursAndPixelsAreTheStandardLibrarysTypes) {
  // {00020430-0000-0000-C000-000000000046}: stdole2.tlb.
  const GUID stdole = {0x00020430, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
  for (const wchar_t* name : {L"OLE_COLOR", L"OLE_XPOS_PIXELS", L"OLE_YPOS_PIXELS", L"IFontDisp"})
    EXPECT_FALSE(InfoNamed(name)) << "the library defines its own " << name;

  ComPtr<ITypeInfo> dispatch = Info(DIID__DOrvane);
  ComPtr<ITypeInfo2> dispatch2 = dispatch.As<ITypeInfo2>(IID_ITypeInfo2);
  for (MEMBERID id : {DISPID_BACKCOLOR, DISPID_FORECOLOR}) {
    UINT index = 0;
    ASSERT_EQ(dispatch2->GetFuncIndexOfMemId(id, INVOKE_PROPERTYGET, &index), S_OK);
    FUNCDESC* func = nullptr;
    dispatch->GetFuncDesc(index, &func);
    auto [name, libid] = ReferencedType(dispatch.Get(), func->elemdescFunc.tdesc);
    dispatch->ReleaseFuncDesc(func);
    EXPECT_EQ(name, L"OLE_COLOR") << id;
    EXPECT_TRUE(IsEqualGUID(libid, stdole)) << id;
  }

  ComPtr<ITypeInfo> events = Info(DIID__DOrvaneEvents);
  ComPtr<ITypeInfo2> events2 = events.As<ITypeInfo2>(IID_ITypeInfo2);
  for (MEMBERID id : {DISPID_MOUSEDOWN, DISPID_MOUSEMOVE}) {
    UINT index = 0;
    ASSERT_EQ(events2->GetFuncIndexOfMemId(id, INVOKE_FUNC, &index), S_OK);
    FUNCDESC* func = nullptr;
    events->GetFuncDesc(index, &func);
    ASSERT_EQ(func->cParams, 4);
    auto [x, xLib] = ReferencedType(events.Get(), func->lprgelemdescParam[2].tdesc);
    auto [y, yLib] = ReferencedType(events.Get(), func->lprgelemdescParam[3].tdesc);
    events->ReleaseFuncDesc(func);
    EXPECT_EQ(x, L"OLE_XPOS_PIXELS") << id;
    EXPECT_EQ(y, L"OLE_YPOS_PIXELS") << id;
    EXPECT_TRUE(IsEqualGUID(xLib, stdole) && IsEqualGUID(yLib, stdole)) << id;
  }
}

TEST_F(TypeLibrary, EventInterfaceHoldsTheStockEventsAndTheNodeEvents) {
  ComPtr<ITypeInfo> info = Info(DIID__DOrvaneEvents);
  ASSERT_TRUE(info);
  EXPECT_EQ(HelpString(info.Get()), L"Event interface for Orvane Control");
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  std::map<MEMBERID, std::pair<std::wstring, SHORT>> events;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* func = nullptr;
    info->GetFuncDesc(i, &func);
    Bstr name;
    info->GetDocumentation(func->memid, name.Receive(), nullptr, nullptr, nullptr);
    events[func->memid] = {name.Text(), func->cParams};
    info->ReleaseFuncDesc(func);
  }
  info->ReleaseTypeAttr(attr);
  const std::map<MEMBERID, std::pair<std::wstring, SHORT>> expected = {
      {-600, {L"Click", 0}},     {-601, {L"DblClick", 0}}, {-602, {L"KeyDown", 2}},
      {-603, {L"KeyPress", 1}},  {-604, {L"KeyUp", 2}},    {-605, {L"MouseDown", 4}},
      {-606, {L"MouseMove", 4}}, {1, {L"NodeSelect", 1}},  {2, {L"NodeExpand", 1}},
      {3, {L"NodeCollapse", 1}}, {4, {L"NodeCheck", 1}},   {5, {L"ContextMenu", 3}}};
  EXPECT_EQ(events, expected);
}

TEST_F(TypeLibrary, ControlClassDefaultsToBothInterfaces) {
  ComPtr<ITypeInfo> info = Info(CLSID_Orvane);
  ASSERT_TRUE(info);
  EXPECT_EQ(HelpString(info.Get()), L"Orvane Control");
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCONTROL);
  const UINT implemented = attr->cImplTypes;
  info->ReleaseTypeAttr(attr);
  bool defaultInterface = false, defaultSource = false;
  for (UINT i = 0; i < implemented; ++i) {
    INT flags = 0;
    info->GetImplTypeFlags(i, &flags);
    HREFTYPE ref = 0;
    info->GetRefTypeOfImplType(i, &ref);
    ComPtr<ITypeInfo> implementedInfo;
    info->GetRefTypeInfo(ref, implementedInfo.Receive());
    TYPEATTR* implAttr = nullptr;
    implementedInfo->GetTypeAttr(&implAttr);
    if (flags == IMPLTYPEFLAG_FDEFAULT && IsEqualGUID(implAttr->guid, DIID__DOrvane))
      defaultInterface = true;
    if (flags == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE) &&
        IsEqualGUID(implAttr->guid, DIID__DOrvaneEvents))
      defaultSource = true;
    implementedInfo->ReleaseTypeAttr(implAttr);
  }
  EXPECT_TRUE(defaultInterface);
  EXPECT_TRUE(defaultSource);
}

}  // namespace
}  // namespace orvane::test
