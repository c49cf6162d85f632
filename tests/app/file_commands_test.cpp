// File > New, Open, Save and Save As on a started window, with a scripted
// shell and files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/table_file.h"
#include "formats/excel/load_workbook.h"
#include "main_form_fixture.h"

namespace plu::testing {
namespace {

const WideString kFilter = u"Excel File(*.xls)|*.xls";
const WideString kTitleStart = u"VARDEN-15kg QT Formular - ";

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = bytes.find("\r\n", from);
        lines.push_back(
            bytes.substr(from, end == std::string::npos ? std::string::npos : end - from));
        if (end == std::string::npos) return lines;
        from = end + 2;
    }
}

using FileCommands = MainFormTest;

// ---- Save and Save As --------------------------------------------------------------------------

TEST_F(FileCommands, SaveOnANewSheetAsksForANameAndUpperCaseXlsWritesAWorkbook) {
    Type(kColName, kFirstPluRow, u"Apple");
    shell.saveNames = {dir.WideFile("Table.XLS")};
    form->FileSaveExecute();

    ASSERT_EQ(shell.saveFilters, std::vector<WideString>{kFilter});
    EXPECT_EQ(shell.saveInitialNames, std::vector<WideString>{u""});
    EXPECT_TRUE(shell.errors.empty());
    EXPECT_EQ(form->FileName(), dir.WideFile("Table.XLS"));
    EXPECT_EQ(Caption(), kTitleStart + dir.WideFile("Table.XLS"));

    const std::string bytes = ReadBytes(dir.File("Table.XLS"));
    ASSERT_GE(bytes.size(), 512u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    TVexaSheetControl reread;
    LoadWorkbook(reread, dir.WideFile("Table.XLS"), &measurer_);
    ASSERT_EQ(reread.SheetCount(), 1);
    EXPECT_EQ(reread.Sheets(0).Caption(), u"sheet1");
    EXPECT_EQ(ShownText(reread.Sheets(0), kColName, kFirstPluRow), u"Apple");
    EXPECT_EQ(ShownText(reread.Sheets(0), kColAddr, kCaptionRow), u"Addr.");
}

TEST_F(FileCommands, FormulasSavedAsValuesAreReported) {
    Type(kColName, kFirstPluRow, u"=NOSUCHFUNCTION(1)");
    shell.saveNames = {dir.WideFile("values.xls")};
    form->FileSaveExecute();
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0].icon, MessageIcon::Warning);
    EXPECT_EQ(shell.boxes[0].text.rfind(u"1 formula(s) were saved as their values", 0), 0u);
}

TEST_F(FileCommands, OtherExtensionsWriteTabSeparatedTextWithoutTheFixedRowAndColumn) {
    Type(kColName, kFirstPluRow, u"Cr\u00E8me");
    Type(kColIngredients, kFirstPluRow, u"Sugar");
    for (const char* name : {"table.txt", "table.vexa", "table.xlsx"}) {
        SCOPED_TRACE(name);
        shell.saveNames = {dir.WideFile(name)};
        form->menuFileAsClick();
        EXPECT_TRUE(shell.errors.empty());
        EXPECT_EQ(Caption(), kTitleStart + dir.WideFile(name));

        const std::string bytes = ReadBytes(dir.File(name));
        const std::vector<std::string> lines = Lines(bytes);
        // Rows 1 to 268, CR LF between lines and none after the last.
        ASSERT_EQ(lines.size(), 268u);
        EXPECT_NE(bytes.substr(bytes.size() - 2), "\r\n");
        EXPECT_EQ(lines[2],
                  "Addr.\tProduct Name\tIngredients\tLife\tUnit\tUnit Price\tTare\tItem Code");
        // Windows-1252, one byte per character.
        EXPECT_EQ(lines[3], "M1\tCr\xE8me\tSugar\t\t\t\t\t");
        EXPECT_EQ(lines[8], "6\t\t\t\t\t\t\t");
    }
}

TEST_F(FileCommands, ANameTypedWithoutExtensionGetsVexaAndIsSavedAsText) {
    shell.saveNames = {dir.WideFile("plain")};
    form->menuFileAsClick();
    EXPECT_EQ(form->FileName(), dir.WideFile("plain.vexa"));
    EXPECT_EQ(Caption(), kTitleStart + dir.WideFile("plain.vexa"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("plain")));
    EXPECT_EQ(Lines(ReadBytes(dir.File("plain.vexa"))).size(), 268u);
}

TEST_F(FileCommands, SaveWithAFileNameWritesAgainWithoutAsking) {
    shell.saveNames = {dir.WideFile("t.txt")};
    form->FileSaveExecute();
    Type(kColName, kFirstPluRow, u"Pear");
    form->FileSaveExecute();
    EXPECT_EQ(shell.saveFilters.size(), 1u);
    EXPECT_EQ(Lines(ReadBytes(dir.File("t.txt")))[3].substr(0, 8), "M1\tPear\t");
    // Save As proposes the current name.
    shell.saveNames = {std::nullopt};
    form->menuFileAsClick();
    EXPECT_EQ(shell.saveInitialNames.back(), dir.WideFile("t.txt"));
    EXPECT_EQ(form->FileName(), dir.WideFile("t.txt"));
}

TEST_F(FileCommands, CancellingTheSaveDialogChangesNothing) {
    const WideString caption = Caption();
    shell.saveNames = {std::nullopt};
    form->FileSaveExecute();
    EXPECT_TRUE(form->FileName().empty());
    EXPECT_EQ(Caption(), caption);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST_F(FileCommands, ASaveIntoAMissingFolderShowsTheErrorAndKeepsTheTitle) {
    shell.saveNames = {dir.WideFile("t.txt")};
    form->FileSaveExecute();
    const WideString caption = Caption();
    shell.saveNames = {dir.WideFile("missing/t.txt")};
    form->menuFileAsClick();
    ASSERT_EQ(shell.errors.size(), 1u);
    EXPECT_FALSE(shell.errors[0].empty());
    EXPECT_EQ(Caption(), caption);
    // Save As has stored the new name before the save failed.
    EXPECT_EQ(form->FileName(), dir.WideFile("missing/t.txt"));
}

// Runs fn in a child process, as the unprivileged user "nobody" when this
// process is root (for whom folder permissions do not count); its result is
// the exit status.
int RunUnprivileged(const std::function<int()>& fn) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(90);
        _exit(fn());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(FileCommands, AFailedSaveIntoAnUnwritableFolderKeepsTheOldBytesAndTheTitle) {
    const std::string folder = dir.File("locked");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    for (const char* name : {"t.xls", "t.txt"}) {
        SCOPED_TRACE(name);
        const std::string path = folder + "/" + name;
        chmod(folder.c_str(), 0755);
        Type(kColName, kFirstPluRow, u"Old");
        shell.saveNames = {Utf8ToWide(path)};
        form->menuFileAsClick();
        ASSERT_TRUE(shell.errors.empty());
        const std::string before = ReadBytes(path);
        const WideString caption = Caption();

        Type(kColName, kFirstPluRow, u"New");
        chmod(dir.Path().c_str(), 0755);
        chmod(folder.c_str(), 0555);
        const int result = RunUnprivileged([&] {
            form->FileSaveExecute();
            if (shell.errors.size() != 1) return 1;
            if (Caption() != caption) return 2;
            if (form->FileName() != Utf8ToWide(path)) return 3;
            return 0;
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ReadBytes(path), before);
        // Nothing but the old file is left behind.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                                std::filesystem::directory_iterator()),
                  1);
        std::filesystem::remove(path);
    }
}

// ---- New ---------------------------------------------------------------------------------------

TEST_F(FileCommands, YesOnNewWithoutAFileNameAsksForOneAndCancellingStillStartsANewSheet) {
    Type(kColName, kFirstPluRow, u"Apple");
    shell.fontName = u"Courier New";
    shell.fontSize = u"20";
    shell.answers = {DialogAnswer::Yes};
    shell.saveNames = {std::nullopt};
    form->FileNewExecute();

    EXPECT_EQ(shell.questions, std::vector<WideString>{u"Save the current form?"});
    EXPECT_EQ(shell.saveFilters.size(), 1u);
    ASSERT_EQ(Control().SheetCount(), 1);
    EXPECT_EQ(form->Grid(), Control().ActiveSheet());
    EXPECT_EQ(Active().Caption(), u"Sheet1");
    EXPECT_EQ(Text(kColName, kFirstPluRow), u"");
    EXPECT_EQ(Text(kColAddr, kCaptionRow), u"Addr.");
    EXPECT_EQ(shell.fontName, u"Arial");
    EXPECT_EQ(shell.fontSize, u"12");
    EXPECT_TRUE(form->FileName().empty());
    EXPECT_EQ(Caption(), kTitleStart + u"Book1");
}

TEST_F(FileCommands, YesOnNewWithAFileNameSavesThereFirst) {
    shell.saveNames = {dir.WideFile("t.txt")};
    form->FileSaveExecute();
    Type(kColName, kFirstPluRow, u"Apple");
    shell.answers = {DialogAnswer::Yes};
    form->FileNewExecute();
    EXPECT_EQ(shell.saveFilters.size(), 1u);  // only the first save asked
    EXPECT_EQ(Lines(ReadBytes(dir.File("t.txt")))[3].substr(0, 9), "M1\tApple\t");
    EXPECT_EQ(Text(kColName, kFirstPluRow), u"");
    EXPECT_EQ(Caption(), kTitleStart + u"Book1");
}

TEST_F(FileCommands, NoOnNewStartsAFreshSheetWithoutSaving) {
    shell.saveNames = {dir.WideFile("t.txt")};
    form->FileSaveExecute();
    const std::string saved = ReadBytes(dir.File("t.txt"));
    Type(kColName, kFirstPluRow, u"Apple");
    Control().AddSheet(u"Extra");
    shell.answers = {DialogAnswer::No};
    form->FileNewExecute();
    EXPECT_EQ(ReadBytes(dir.File("t.txt")), saved);
    ASSERT_EQ(Control().SheetCount(), 1);
    EXPECT_EQ(Text(kColName, kFirstPluRow), u"");
    EXPECT_TRUE(form->FileName().empty());
}

TEST_F(FileCommands, CancelOnNewKeepsTheSheetButLaysItOutAgain) {
    TVexaGridSheet* old = &Active();
    Type(kColName, kFirstPluRow, u"Apple");
    Type(kColAddr, kCaptionRow, u"scribbled");
    shell.fontName = u"Courier New";
    shell.answers = {DialogAnswer::Cancel};
    form->FileNewExecute();
    EXPECT_EQ(Control().ActiveSheet(), old);
    EXPECT_EQ(Text(kColName, kFirstPluRow), u"Apple");
    EXPECT_EQ(Text(kColAddr, kCaptionRow), u"Addr.");
    EXPECT_EQ(shell.fontName, u"Arial");
    EXPECT_TRUE(shell.saveFilters.empty());
}

TEST_F(FileCommands, AFailedSaveOnNewKeepsTheSheetAndShowsTheError) {
    shell.saveNames = {dir.WideFile("missing/t.txt")};
    form->menuFileAsClick();
    shell.errors.clear();
    TVexaGridSheet* old = &Active();
    Type(kColName, kFirstPluRow, u"Apple");
    shell.answers = {DialogAnswer::Yes};
    form->FileNewExecute();
    EXPECT_EQ(shell.errors.size(), 1u);
    EXPECT_EQ(Control().ActiveSheet(), old);
    EXPECT_EQ(Text(kColName, kFirstPluRow), u"Apple");
    EXPECT_EQ(form->FileName(), dir.WideFile("missing/t.txt"));
}

// ---- Open --------------------------------------------------------------------------------------

TEST_F(FileCommands, CancelOnOpenKeepsTheSheetTheFileNameAndTheTitle) {
    shell.saveNames = {dir.WideFile("t.xls")};
    form->FileSaveExecute();
    Type(kColName, kFirstPluRow, u"Unsaved");
    TVexaGridSheet* old = &Active();
    const WideString caption = Caption();

    shell.answers = {DialogAnswer::Cancel};
    form->FileOpenExecute();
    EXPECT_TRUE(shell.openFilters.empty());
    // No, then Cancel in the open dialog: nothing changes either.
    shell.answers = {DialogAnswer::No};
    shell.openNames = {std::nullopt};
    form->FileOpenExecute();
    EXPECT_EQ(shell.openFilters, std::vector<WideString>{kFilter});

    EXPECT_EQ(Control().SheetCount(), 1);
    EXPECT_EQ(Control().ActiveSheet(), old);
    EXPECT_EQ(form->Grid(), old);
    EXPECT_EQ(Text(kColName, kFirstPluRow), u"Unsaved");
    EXPECT_EQ(form->FileName(), dir.WideFile("t.xls"));
    EXPECT_EQ(Caption(), caption);
    EXPECT_TRUE(shell.errors.empty());
}

TEST_F(FileCommands, OpeningAFiveSheetWorkbookShowsItsFirstThreeSheetsLaidOutOnTheFirst) {
    const std::string path = dir.File("five.xls");
    const std::string command =
        "/usr/bin/python3 " PLU_SOURCE_DIR "/tests/app/five_sheet_workbook.py '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);

    shell.answers = {DialogAnswer::No};
    shell.openNames = {Utf8ToWide(path)};
    form->FileOpenExecute();
    ASSERT_TRUE(shell.errors.empty()) << WideToUtf8(shell.errors[0]);

    ASSERT_EQ(Control().SheetCount(), 3);
    const WideString names[] = {u"Alpha", u"Beta", u"Gamma"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Control().Sheets(i).Caption(), names[i]);
        EXPECT_EQ(Control().Tabs().Caption(i), names[i]);
        EXPECT_EQ(ShownText(Control().Sheets(i), kColName, kFirstPluRow), names[i] + u" item");
    }
    EXPECT_EQ(Control().Tabs().Sheet(3), nullptr);  // the new-sheet tab
    EXPECT_EQ(Control().ActiveSheet(), &Control().Sheets(0));
    EXPECT_EQ(form->Grid(), Control().ActiveSheet());
    // The PLU layout on the first sheet only.
    EXPECT_EQ(Text(kColAddr, kCaptionRow), u"Addr.");
    EXPECT_EQ(Text(kColAddr, kFirstPluRow), u"M1");
    EXPECT_EQ(Active().RowCount(), kSheetRowCount);
    EXPECT_EQ(ShownText(Control().Sheets(1), kColAddr, kCaptionRow), u"");
    EXPECT_EQ(form->FileName(), Utf8ToWide(path));
    EXPECT_EQ(Caption(), kTitleStart + Utf8ToWide(path));
}

TEST_F(FileCommands, OpenKeepsTheFontBoxes) {
    shell.saveNames = {dir.WideFile("t.xls")};
    form->FileSaveExecute();
    shell.fontName = u"Courier New";
    shell.fontSize = u"10";
    shell.answers = {DialogAnswer::No};
    shell.openNames = {dir.WideFile("t.xls")};
    form->FileOpenExecute();
    EXPECT_TRUE(shell.errors.empty());
    EXPECT_EQ(shell.fontName, u"Courier New");
    EXPECT_EQ(shell.fontSize, u"10");
}

TEST_F(FileCommands, AFormulaThatDoesNotCalculateIsReportedButTheFileOpens) {
    // "Prices" multiplies a text in D1.
    const std::string path = dir.File("formulas.xls");
    const std::string command =
        "/usr/bin/python3 " PLU_SOURCE_DIR "/tests/cli/convert_workbook.py '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    shell.answers = {DialogAnswer::No};
    shell.openNames = {Utf8ToWide(path)};
    form->FileOpenExecute();
    ASSERT_EQ(shell.errors.size(), 1u);
    EXPECT_EQ(shell.errors[0].rfind(u"Prices: ", 0), 0u) << WideToUtf8(shell.errors[0]);
    ASSERT_EQ(Control().SheetCount(), 2);
    EXPECT_EQ(form->FileName(), Utf8ToWide(path));
    EXPECT_EQ(Text(kColAddr, kCaptionRow), u"Addr.");
}

// A window with two sheets whose second, active one holds a formula.
class FailedOpen : public FileCommands {
  protected:
    FailedOpen() {
        shell.saveNames = {dir.WideFile("kept.xls")};
        form->FileSaveExecute();
        Type(kColName, kFirstPluRow, u"Apple");
        Control().AddSheet(u"Prices");
        Control().ActivateSheet(1);
        Type(1, 1, u"2");
        Type(2, 1, u"=A1*3");
        for (int i = 0; i < Control().SheetCount(); ++i)
            sheets.push_back(&Control().Sheets(i));
        caption = Caption();
    }
    void Open(const std::string& path) {
        shell.answers = {DialogAnswer::No};
        shell.openNames = {Utf8ToWide(path)};
        form->FileOpenExecute();
    }
    void ExpectKept() {
        ASSERT_EQ(shell.errors.size(), 1u);
        EXPECT_FALSE(shell.errors[0].empty());
        ASSERT_EQ(Control().SheetCount(), 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(&Control().Sheets(i), sheets[static_cast<std::size_t>(i)]);
            EXPECT_EQ(Control().Sheets(i).SheetControl(), &Control());
        }
        EXPECT_EQ(Control().Sheets(0).Caption(), u"Sheet1");
        EXPECT_EQ(Control().Tabs().Caption(0), u"Sheet1");
        EXPECT_EQ(Control().Tabs().Caption(1), u"Prices");
        EXPECT_EQ(Control().ActiveSheet(), sheets[1]);
        EXPECT_EQ(form->Grid(), sheets[1]);
        EXPECT_EQ(Control().TabIndex(), 1);
        EXPECT_EQ(ShownText(*sheets[0], kColName, kFirstPluRow), u"Apple");
        EXPECT_EQ(Text(2, 1), u"6");
        // The formula still follows its cell.
        Type(1, 1, u"5");
        EXPECT_EQ(Text(2, 1), u"15");
        EXPECT_EQ(form->FileName(), dir.WideFile("kept.xls"));
        EXPECT_EQ(Caption(), caption);
    }

    std::vector<TVexaGridSheet*> sheets;
    WideString caption;
};

TEST_F(FailedOpen, AGarbageFileKeepsTheCurrentSheets) {
    WriteBytes(dir.File("garbage.xls"), std::string(4096, 'x'));
    Open(dir.File("garbage.xls"));
    ExpectKept();
}

TEST_F(FailedOpen, AMissingFileKeepsTheCurrentSheets) {
    Open(dir.File("missing.xls"));
    ExpectKept();
}

TEST_F(FailedOpen, ATruncatedWorkbookKeepsTheCurrentSheets) {
    const std::string whole = ReadBytes(dir.File("kept.xls"));
    WriteBytes(dir.File("cut.xls"), whole.substr(0, whole.size() / 2 + 100));
    Open(dir.File("cut.xls"));
    ExpectKept();
}

// ---- File names ------------------------------------------------------------------------------

TEST(TableFileNames, OnlyANameEndingInXlsIsAWorkbook) {
    const std::pair<const char16_t*, bool> cases[] = {
        {u"a.xls", true},      {u"/d/A.XLS", true}, {u"a.Xls", true},
        {u".xls", false},      {u"a.xlsx", false},  {u"axls", false},
        {u"a.xls.txt", false}, {u"a.txt", false},   {u"dir.xls/a", false},
    };
    for (const auto& [name, xls] : cases)
        EXPECT_EQ(IsXlsFileName(name), xls) << WideToUtf8(name);
}

TEST(TableFileNames, TheDefaultExtensionIsAddedOnlyToANameWithoutOne) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"/d/report", u"/d/report.vexa"},    {u"/d/report.txt", u"/d/report.txt"},
        {u"/d/report.XLS", u"/d/report.XLS"}, {u"/d.x/report", u"/d.x/report.vexa"},
        {u"/d/report.", u"/d/report.vexa"},   {u"/d/.plu", u"/d/.plu.vexa"},
        {u"report", u"report.vexa"},          {u"a.b.c", u"a.b.c"},
    };
    for (const auto& [typed, saved] : cases)
        EXPECT_EQ(WithDefaultExtension(typed, kDefaultTableExtension), saved) << WideToUtf8(typed);
}

}  // namespace
}  // namespace plu::testing
