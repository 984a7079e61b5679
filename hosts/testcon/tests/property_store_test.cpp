#include "hosts/testcon/property_store.h"

#include <gtest/gtest.h>

namespace testcon {
namespace {

std::optional<PropertyStore> Parse(std::string_view text, size_t* badLine = nullptr) {
  size_t ignored = 0;
  return PropertyStore::Parse(text, badLine ? badLine : &ignored);
}

TEST(PropertyStoreParse, ReadsNameValueLinesSkippingCommentsAndBlankLines) {
  auto store = Parse("\xEF\xBB\xBF# saved by hand\r\nIndent=25\r\n\r\nTocFile=C:\\0\\1.TXT\r\n");
  ASSERT_TRUE(store);
  ASSERT_EQ(store->Entries().size(), 2u);
  EXPECT_EQ(store->Entries()[0].name, L"Indent");
  EXPECT_EQ(store->Entries()[0].value, L"25");
  EXPECT_EQ(store->Entries()[1].value, L"C:\\0\\1.TXT");
}

TEST(PropertyStoreParse, SplitsAtTheFirstEqualsSignOnly) {
  auto store = Parse("TocFile=a=b==c\n");
  ASSERT_TRUE(store);
  EXPECT_EQ(store->Find(L"TocFile"), L"a=b==c");
}

TEST(PropertyStoreParse, KeepsEmptyValuesAndAFinalLineWithoutLineFeed) {
  auto store = Parse("TopicName=\nIndent=3");
  ASSERT_TRUE(store);
  EXPECT_EQ(store->Find(L"TopicName"), L"");
  EXPECT_EQ(store->Find(L"Indent"), L"3");
}

TEST(PropertyStoreParse, NamesTheFirstLineThatIsNotAProperty) {
  size_t badLine = 0;
  EXPECT_FALSE(Parse("# comment\nIndent=3\n\nno value here\nA=1\n", &badLine));
  EXPECT_EQ(badLine, 4u);
  EXPECT_FALSE(Parse("=nameless\n", &badLine));
  EXPECT_EQ(badLine, 1u);
}

TEST(PropertyStoreParse, DecodesUtf8Values) {
  auto store = Parse("Title=\xD8\xA7\xD9\x84\xD9\x81\xD9\x82\xD9\x87\n");
  ASSERT_TRUE(store);
  EXPECT_EQ(store->Find(L"Title"), L"\u0627\u0644\u0641\u0642\u0647");
}

TEST(PropertyStoreEntries, FindsAndReplacesNamesWithoutCase) {
  PropertyStore store;
  store.Set(L"ShowHint", L"True");
  store.Set(L"Indent", L"18");
  store.Set(L"SHOWHINT", L"False");
  ASSERT_EQ(store.Entries().size(), 2u);
  EXPECT_EQ(store.Entries()[0].name, L"ShowHint");  // the first spelling stays
  EXPECT_EQ(store.Find(L"showhint"), L"False");
  EXPECT_FALSE(store.Find(L"ShowBalloonHelp"));
}

TEST(PropertyStoreEntries, RemovesOnlyTheNamesUnderAPrefix) {
  PropertyStore store;
  store.Set(L"FontA", L"object:");
  store.Set(L"FontA.Name", L"Arial");
  store.Set(L"fonta.size", L"11");
  store.Set(L"Font.Name", L"Tahoma");
  EXPECT_TRUE(store.HasPrefixed(L"FONTA."));
  store.RemovePrefixed(L"FontA.");
  EXPECT_FALSE(store.HasPrefixed(L"FontA."));
  EXPECT_EQ(store.Find(L"FontA"), L"object:");
  EXPECT_EQ(store.Find(L"Font.Name"), L"Tahoma");
}

TEST(PropertyStoreText, RoundTripsValuesWithLineBreaksPercentSignsAndArabic) {
  PropertyStore store;
  store.Set(L"Multi", L"first\r\nsecond\nthird");
  store.Set(L"Percent", L"100% and %41");
  store.Set(L"Arabic", L"\u0643\u062A\u0627\u0628");
  std::string text = store.Serialize();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
  auto back = Parse(text);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Entries().size(), 3u);
  EXPECT_EQ(back->Find(L"Multi"), L"first\r\nsecond\nthird");
  EXPECT_EQ(back->Find(L"Percent"), L"100% and %41");
  EXPECT_EQ(back->Find(L"Arabic"), L"\u0643\u062A\u0627\u0628");
}

TEST(PropertyStoreText, EscapesOnlyWhatWouldBreakALine) {
  EXPECT_EQ(EscapeValue(L"C:\\0\\1.TXT"), L"C:\\0\\1.TXT");
  EXPECT_EQ(EscapeValue(L"50%\r\n"), L"50%25%0D%0A");
}

TEST(PropertyStoreText, KeepsPercentSignsThatStartNoEscape) {
  EXPECT_EQ(UnescapeValue(L"100%"), L"100%");
  EXPECT_EQ(UnescapeValue(L"%zz%4"), L"%zz%4");
  EXPECT_EQ(UnescapeValue(L"%3d%3D"), L"==");
}

}  // namespace
}  // namespace testcon
