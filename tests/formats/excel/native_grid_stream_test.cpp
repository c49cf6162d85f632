// The grid operations around the stream: saving commits an open edit and
// replaces files safely, loading clears the grid but never for a file that
// cannot be read, and the form property reads with the grid marked loading.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "base/safe_file.h"
#include "formats/native/grid_stream.h"
#include "grid/cell.h"
#include "native_test_support.h"

namespace plu::testing {
namespace {

// An editor holding typed text that it commits on Hide(save).
class TypingEditor : public IKtCellEditor {
  public:
    void Show(TKtCell& cell) override { cell_ = &cell; }
    bool Hide(bool save, bool) override {
        if (save && cell_) cell_->SetTextIfEditable(typed);
        cell_ = nullptr;
        return true;
    }
    void UpdateBounds() override {}
    WideString typed;

  private:
    TKtCell* cell_ = nullptr;
};

class NativeGridStream : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/native-stream-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const char* name) const { return dir_ + "/" + name; }

    ScopedRegionalSettings en_{RegionalSettings::Defaults()};
    std::string dir_;
};

TEST_F(NativeGridStream, SavingCommitsTheOpenEdit) {
    PlainGrid grid;
    TypingEditor editor;
    grid.SetCellEditor(&editor);
    grid.GetCell(1, 1).ShowEditor();
    editor.typed = u"typed";
    ASSERT_TRUE(grid.EditorMode());

    TMemoryStream stream;
    SaveGridToStream(grid, stream, true);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.GetCell(1, 1).GetAsString(), u"typed");

    PlainGrid back;
    stream.Seek(0);
    LoadGridFromStream(back, stream, nullptr);
    EXPECT_EQ(back.GetCell(1, 1).GetAsString(), u"typed");
    grid.SetCellEditor(nullptr);
}

TEST_F(NativeGridStream, FilesRoundTripAndLoadingClearsTheGridFirst) {
    PlainGrid grid;
    grid.GetCell(2, 2).SetAsString(u"saved");
    SaveGridToFile(grid, Path("a.grid"), true);

    PlainGrid target;
    target.GetCell(3, 3).SetAsString(u"old");
    target.SetColWidth(4, 120);
    RecordingHost host;
    LoadGridFromFile(target, Path("a.grid"), &host);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(target.GetCell(2, 2).GetAsString(), u"saved");
    EXPECT_EQ(target.FindCell(3, 3), nullptr);
    EXPECT_EQ(target.ColWidths(4), target.DefaultColWidth());
}

TEST_F(NativeGridStream, AFileThatCannotBeReadLeavesTheGridAlone) {
    PlainGrid grid;
    grid.GetCell(1, 1).SetAsString(u"keep");
    EXPECT_THROW(LoadGridFromFile(grid, Path("missing.grid"), nullptr), EFileError);
    EXPECT_THROW(LoadGridFromFile(grid, dir_, nullptr), EFileError);
    EXPECT_EQ(grid.GetCell(1, 1).GetAsString(), u"keep");
}

TEST_F(NativeGridStream, AFailedSaveKeepsThePreviousFile) {
    PlainGrid grid;
    grid.GetCell(1, 1).SetAsString(u"first");
    SaveGridToFile(grid, Path("b.grid"), true);
    const std::string before = ReadWholeFile(Path("b.grid"));

    EXPECT_THROW(SaveGridToFile(grid, Path("no-such-folder/b.grid"), true), EFileError);
    grid.GetCell(1, 1).SetAsString(u"second");
    SaveGridToFile(grid, Path("b.grid"), true);
    const std::string after = ReadWholeFile(Path("b.grid"));
    EXPECT_NE(before, after);
    const std::vector<uint8_t> expected = BuildBytes(grid);
    EXPECT_EQ(after, std::string(expected.begin(), expected.end()));
}

TEST_F(NativeGridStream, TheFormPropertyReadsWhileTheGridIsLoading) {
    PlainGrid designed;
    designed.SetColWidth(2, 150);
    designed.GetCell(1, 1).SetAsString(u"design");
    TMemoryStream stream;
    WriteGridData(designed, stream);

    PlainGrid grid;
    grid.SetAutoRowHeight(true);
    int widthEvents = 0;
    bool loadingSeen = false;
    grid.OnColWidthChange = [&](TKtCustomGrid& g, int, int) {
        ++widthEvents;
        loadingSeen = g.IsLoading();
    };
    stream.Seek(0);
    ReadGridData(grid, stream, nullptr);
    EXPECT_EQ(widthEvents, 0);
    EXPECT_FALSE(loadingSeen);
    EXPECT_FALSE(grid.IsLoading());
    EXPECT_TRUE(grid.AutoRowHeight());
    EXPECT_FALSE(grid.IsUpdating());
    EXPECT_EQ(grid.ColWidths(2), 150);
    EXPECT_EQ(grid.GetCell(1, 1).GetAsString(), u"design");
}

}  // namespace
}  // namespace plu::testing
