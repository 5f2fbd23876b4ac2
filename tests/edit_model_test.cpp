// The program's edit model: one user action is one undo step, undo and redo put whole
// values back, and unwritten edits are told by what a write would put in the file.
#include <gtest/gtest.h>

#include <string>

#include "edit_model.h"
#include "size_scaling.h"
#include "test_support.h"

namespace marvento_test {
namespace {

// The sample theme's pages, loaded and taken as written.
class EditModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    theme::FontPages pages;
    loadBytes(sampleTheme(), pages);
    model.Load(std::move(pages));
    model.MarkWritten();
  }
  [[nodiscard]] std::u16string written(int page, int row, int column) const {
    return model.pages().rows(page).at(static_cast<std::size_t>(row)).value(column).toWrite(cp932());
  }

  EditModel model{cp932()};
};

TEST_F(EditModelTest, UndoAndRedoWalkTheStepsAndANewStepDropsTheUndoneOnes) {
  EXPECT_FALSE(model.CanUndo());
  EXPECT_FALSE(model.Undo());
  ASSERT_TRUE(model.SetCellText(0, 1, theme::kColFont, u"Verdana"));
  ASSERT_TRUE(model.SetCellText(1, 3, theme::kColSize, u"14"));
  EXPECT_TRUE(model.HasUnwrittenEdits());

  const std::optional<EditStep> undone = model.Undo();
  ASSERT_TRUE(undone);
  ASSERT_EQ(undone->size(), 1U);
  EXPECT_EQ(undone->front().page, 1);
  EXPECT_EQ(written(1, 3, theme::kColSize), u"13");
  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(written(0, 1, theme::kColFont), u"Tahoma");
  EXPECT_FALSE(model.HasUnwrittenEdits()) << "back to what was loaded";
  EXPECT_FALSE(model.CanUndo());

  ASSERT_TRUE(model.Redo());
  EXPECT_EQ(written(0, 1, theme::kColFont), u"Verdana");
  EXPECT_TRUE(model.CanRedo());
  ASSERT_TRUE(model.SetCellText(0, 0, theme::kColOption, u"Bold"));
  EXPECT_FALSE(model.CanRedo()) << "the undone size step is gone";
  EXPECT_FALSE(model.Redo());
  ASSERT_TRUE(model.Undo());
  ASSERT_TRUE(model.Undo());
  EXPECT_FALSE(model.CanUndo());
  EXPECT_EQ(written(0, 1, theme::kColFont), u"Tahoma");
  EXPECT_EQ(written(0, 0, theme::kColOption), u"");
}

TEST_F(EditModelTest, NothingIsRecordedWhenNothingChanges) {
  EXPECT_FALSE(model.SetCellText(0, 0, theme::kColFont, u"Tahoma")) << "the cell already shows it";
  EXPECT_FALSE(model.SetCellText(0, 5, theme::kColFont, u"Arial")) << "no such row";
  EXPECT_FALSE(model.SetCellText(-1, 0, theme::kColFont, u"Arial")) << "no such page";
  EXPECT_TRUE(model.Record([](theme::FontPages&) {}).empty());
  EXPECT_FALSE(model.CanUndo());
  EXPECT_FALSE(model.HasUnwrittenEdits());
}

TEST_F(EditModelTest, AnActionIsOneStepOfTheCellsItChanged) {
  // Page 0 one point larger (five sizes) and a face of page 1; a face set as it was is no change.
  const EditStep step = model.Record([](theme::FontPages& pages) {
    theme::growSizes(pages, 1, {0});
    pages.setCell(1, 0, theme::kColFont, "Arial");
    pages.setCell(1, 1, theme::kColFont, "Verdana");  // as it was
  });
  ASSERT_EQ(step.size(), 6U);
  for (const CellChange& change : step) {
    EXPECT_NE(change.before.text, change.after.text) << change.page << "," << change.row << "," << change.column;
  }
  EXPECT_EQ(step.back().page, 1);
  EXPECT_EQ(step.back().after.text, "Arial");

  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(written(0, 0, theme::kColSize), u"8");
  EXPECT_EQ(written(1, 0, theme::kColFont), u"Tahoma");
  EXPECT_FALSE(model.HasUnwrittenEdits());
  ASSERT_TRUE(model.Redo());
  EXPECT_EQ(written(0, 1, theme::kColSize), u"10");
}

TEST_F(EditModelTest, FacesTheCodePageShowsAlikeStayApart) {
  // Both show as "Font?" in code page 932: told apart, undone and redone by their UTF-16,
  // whether an editor chose the face or an action on the whole page set it.
  ASSERT_TRUE(model.SetCellText(0, 0, theme::kColFont, u"Font\u0639"));
  const EditStep step = model.Record([](theme::FontPages& pages) {
    theme::EditableText value = pages.rows(0)[0].font;
    ASSERT_TRUE(SetShownText(value, u"Font\u0627", cp932()));
    pages.setValue(0, 0, theme::kColFont, std::move(value));
  });
  EXPECT_EQ(step.size(), 1U);
  EXPECT_FALSE(model.SetCellText(0, 0, theme::kColFont, u"Font\u0627"));
  EXPECT_EQ(model.pages().rows(0)[0].font.text, "Font?");
  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(written(0, 0, theme::kColFont), u"Font\u0639");
  ASSERT_TRUE(model.Redo());
  EXPECT_EQ(written(0, 0, theme::kColFont), u"Font\u0627");
}

TEST_F(EditModelTest, UnwrittenEditsCountTheBoxesAndEndAtAWriteOrALoad) {
  ASSERT_TRUE(SetShownText(model.pages().styleNameBox, u"Style", cp932()));
  EXPECT_TRUE(model.HasUnwrittenEdits()) << "a box is not in the history, but it is an edit";
  EXPECT_FALSE(model.CanUndo());
  model.MarkWritten();
  EXPECT_FALSE(model.HasUnwrittenEdits());

  ASSERT_TRUE(model.SetCellText(0, 2, theme::kColFont, u"Tahoma"));
  model.MarkWritten();
  ASSERT_TRUE(model.Undo());
  EXPECT_TRUE(model.HasUnwrittenEdits()) << "undone past the write";

  // Pages with the same boxes and no rows: no history, and the rows' values are missed.
  theme::FontPages boxesOnly;
  boxesOnly.sizeNameBoxes = model.pages().sizeNameBoxes;
  boxesOnly.styleNameBox = model.pages().styleNameBox;
  model.Load(std::move(boxesOnly));
  EXPECT_TRUE(model.HasUnwrittenEdits()) << "not yet taken as written";
  EXPECT_FALSE(model.CanUndo());
  EXPECT_FALSE(model.CanRedo());
  model.MarkWritten();
  EXPECT_FALSE(model.HasUnwrittenEdits());
}

}  // namespace
}  // namespace marvento_test
