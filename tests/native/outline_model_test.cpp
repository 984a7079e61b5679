#include <gtest/gtest.h>

#include "model/category_table.h"
#include "model/outline_node.h"

namespace orvane {
namespace {

TEST(OutlineNode, TextNodeHeaderDefaults) {
  auto node = OutlineNode::FromText("abc");
  EXPECT_EQ(node->Header().RecordLength(), 24);
  EXPECT_EQ(node->ChildCount(), 0);
  EXPECT_EQ(node->FilePos(), -1);
  EXPECT_EQ(node->Level(), 0);
  EXPECT_EQ(node->TitleLength(), 3);
  EXPECT_EQ(node->TitleText(), "abc");
  EXPECT_EQ(node->Title()[3], 0);  // terminated in its own buffer
  EXPECT_EQ(node->m_active, 1);
  EXPECT_EQ(node->m_expanded, 0);
  EXPECT_EQ(node->m_bookNumber, 0);
  EXPECT_EQ(node->m_parent, nullptr);
}

TEST(OutlineNode, EmptyAndLongTitles) {
  auto empty = OutlineNode::FromText("");
  EXPECT_EQ(empty->Header().RecordLength(), 21);
  EXPECT_EQ(empty->TitleText(), "");

  // Longer than 255 characters is kept whole; the RecordLength counts it.
  std::string long300(300, 'x');
  auto node = OutlineNode::FromText(long300);
  EXPECT_EQ(node->TitleLength(), 300);
  EXPECT_EQ(node->TitleText(), long300);

  // Only what a 16-bit RecordLength can count survives.
  std::string huge(70000, 'y');
  auto cut = OutlineNode::FromText(huge);
  EXPECT_EQ(cut->Header().RecordLength(), 0xFFFF);
  EXPECT_EQ(cut->TitleText().size(), OutlineNode::kMaxTitleLength);
}

TEST(NodeList, NodeAtBounds) {
  NodeList root;
  EXPECT_EQ(NodeAt(root, 1), nullptr);
  OutlineNode* a = AddChildNode(root, nullptr, "a");
  OutlineNode* b = AddChildNode(root, nullptr, "b");
  EXPECT_EQ(NodeAt(root, 1), a);
  EXPECT_EQ(NodeAt(root, 2), b);
  EXPECT_EQ(NodeAt(root, 3), nullptr);
  EXPECT_EQ(NodeAt(root, 0), nullptr);
  EXPECT_EQ(NodeAt(root, -1), nullptr);
}

TEST(NodeList, AttachOperationsSetLevelsOrdinalsAndParents) {
  NodeList root;
  OutlineNode* category = AddChildNode(root, nullptr, "cat");
  EXPECT_EQ(category->Level(), 0);
  EXPECT_EQ(category->m_ordinal, 1);
  OutlineNode* book = AddChildNode(root, category, "book");
  EXPECT_EQ(book->Level(), 1);
  EXPECT_EQ(book->m_parent, category);
  OutlineNode* section = AddChildNode(root, book, "s1");
  AddChildNode(root, book, "s2");
  EXPECT_EQ(section->Level(), 2);

  // A sibling of a level-2 node joins the end of the book's children.
  OutlineNode* sibling = AddSiblingNode(root, section, "s3");
  EXPECT_EQ(sibling->Level(), 2);
  EXPECT_EQ(sibling->m_parent, book);
  EXPECT_EQ(sibling->m_ordinal, 3);
  EXPECT_EQ(book->m_children.Last(), sibling);

  // A sibling of a root node, or of nothing, is a new root node.
  OutlineNode* top = AddSiblingNode(root, category, "top");
  EXPECT_EQ(top->Level(), 0);
  EXPECT_EQ(top->m_parent, nullptr);
  EXPECT_EQ(top->m_ordinal, 2);
  EXPECT_EQ(AddSiblingNode(root, nullptr, "x")->m_ordinal, 3);
}

TEST(NodeList, AttachOverwritesStoredLevelAndStopsAt255) {
  NodeList root;
  OutlineNode* book = AddChildNode(root, AddChildNode(root, nullptr, "c"), "b");
  auto node = OutlineNode::FromText("s");
  node->Header().SetLevel(7);
  EXPECT_EQ(AttachChild(root, book, std::move(node))->Level(), 2);

  OutlineNode* deep = AddChildNode(root, nullptr, "deep");
  deep->Header().SetLevel(255);
  EXPECT_EQ(AddChildNode(root, deep, "deeper")->Level(), 255);
}

TEST(NodeList, DestroysVeryDeepTreesWithoutRecursion) {
  // A hostile file can nest sections far deeper than a call stack can hold.
  NodeList root;
  OutlineNode* parent = AddChildNode(root, nullptr, "top");
  for (int i = 0; i < 200000; ++i) parent = AttachChild(*parent, OutlineNode::FromText("n"));
  root.Clear();
  EXPECT_TRUE(root.Empty());
}

TEST(CategoryTable, NumbersBooksAcrossCategories) {
  CategoryTable table;
  EXPECT_EQ(table.CategoryOfBook(1), 0);  // empty table
  table.AddCategory(3);
  table.AddCategory(0);
  table.AddCategory(2);
  EXPECT_EQ(table.Entry(1)->numberBase, 0);
  EXPECT_EQ(table.Entry(2)->numberBase, 3);
  EXPECT_EQ(table.Entry(3)->numberBase, 3);
  EXPECT_EQ(table.CategoryOfBook(3), 1);
  EXPECT_EQ(table.CategoryOfBook(4), 3);
  EXPECT_EQ(table.CategoryOfBook(5), 3);
  EXPECT_EQ(table.CategoryOfBook(6), 0);
  EXPECT_EQ(table.Entry(0), nullptr);
  EXPECT_EQ(table.Entry(4), nullptr);
}

TEST(CategoryTable, SignedComparisonMapsLowNumbersToFirstCategory) {
  CategoryTable table;
  table.AddCategory(5);
  EXPECT_EQ(table.CategoryOfBook(0), 1);
  EXPECT_EQ(table.CategoryOfBook(-2), 1);
  EXPECT_EQ(table.CategoryOfBook(5), 1);
  EXPECT_EQ(table.CategoryOfBook(6), 0);
  // ... but no book state lies there.
  EXPECT_EQ(table.BookState(0), nullptr);
  EXPECT_EQ(table.BookState(-2), nullptr);
  ASSERT_NE(table.BookState(5), nullptr);
}

TEST(CategoryTable, NewEntriesAreAllChecked) {
  CategoryTable table;
  CategoryEntry& e = table.AddCategory(4);
  EXPECT_EQ(e.summaryState, csChecked);
  EXPECT_EQ(e.checkedCount, 4);
  EXPECT_EQ(e.lastShown, 4);
  EXPECT_EQ(e.bookStates, std::vector<int16_t>(4, csChecked));
}

}  // namespace
}  // namespace orvane
