// A shell for tests of the main window: it records every question, dialog,
// box and error, and answers questions and dialogs from queues.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

#include "app/shell.h"
#include "base/exceptions.h"

namespace plu::testing {

struct ShownBox {
    WideString title, text;
    MessageIcon icon = MessageIcon::Information;
};

// Records every question, dialog and box; answers questions and dialogs from
// queues. An unexpected question fails the test and answers Cancel.
class ScriptedShell : public IShell {
  public:
    std::deque<DialogAnswer> answers;
    std::deque<std::optional<WideString>> openNames, saveNames;

    std::vector<WideString> questions;
    std::vector<WideString> openFilters, saveFilters, saveInitialNames;
    std::vector<ShownBox> boxes;
    std::vector<WideString> errors;
    WideString fontName, fontSize;
    int stateChanges = 0;
    // A message box that fails to show (its text is the error raised).
    std::optional<WideString> failingBoxText;

    DialogAnswer AskYesNoCancel(WideStringView text) override {
        questions.emplace_back(text);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << WideToUtf8(text);
            return DialogAnswer::Cancel;
        }
        const DialogAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<WideString> OpenDialog(WideStringView filter) override {
        openFilters.emplace_back(filter);
        return Next(openNames, "open dialog");
    }
    std::optional<WideString> SaveDialog(WideStringView filter, WideStringView initial) override {
        saveFilters.emplace_back(filter);
        saveInitialNames.emplace_back(initial);
        return Next(saveNames, "save dialog");
    }
    void ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) override {
        boxes.push_back({WideString(title), WideString(text), icon});
        if (failingBoxText) throw Exception(*failingBoxText);
    }
    void ShowError(WideStringView text) override { errors.emplace_back(text); }
    WideString FontNameBoxText() const override { return fontName; }
    void SetFontNameBoxText(WideStringView text) override { fontName = WideString(text); }
    WideString FontSizeBoxText() const override { return fontSize; }
    void SetFontSizeBoxText(WideStringView text) override { fontSize = WideString(text); }
    void StateChanged() override { ++stateChanges; }

  private:
    static std::optional<WideString> Next(std::deque<std::optional<WideString>>& queue,
                                          const char* what) {
        if (queue.empty()) {
            ADD_FAILURE() << "unexpected " << what;
            return std::nullopt;
        }
        std::optional<WideString> name = queue.front();
        queue.pop_front();
        return name;
    }
};

}  // namespace plu::testing
