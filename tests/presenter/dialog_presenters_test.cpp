// The About and language dialogs' decisions, without a window.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "presenter_fixture.h"

namespace hushgate::test {
namespace {

const char* const kRussianApply = "\xCF\xF0\xE8\xEC\xE5\xED\xE8\xF2\xFC";

class LanguagePresenterTest : public ::testing::Test {
protected:
    TestProgram program{{"English", "German", "Greek", "Polish", "Russian"}};
    RecordingView view;
    std::string inForce = "English";
    std::vector<std::string> set;  // every "Apply"
    std::unique_ptr<LanguagePresenter> dialog;

    LanguagePresenter& open(const char* startupLanguage = "English") {
        dialog = std::make_unique<LanguagePresenter>(
            view, program.programFolder(), language(startupLanguage),
            LanguagePresenter::LanguageInForce{[this] { return inForce; },
                                               [this](const std::string& name) {
                                                   set.push_back(name);
                                                   inForce = name;
                                               }});
        dialog->load();
        return *dialog;
    }
    LanguageFile language(const std::string& name) const {
        return LanguageFile::inProgramFolder(program.programFolder(), name);
    }
    // The dialog shows the preview of `name`: `apply` on its Apply button,
    // every text in `charset` with its charset step but the two addresses;
    // when just opened, `name` selected.
    void expectPreviewOf(const std::string& name, const char* apply, int charset,
                         bool opened = true) {
        EXPECT_EQ(view.listed.at(static_cast<std::size_t>(view.selected)) == name, opened);
        ASSERT_GE(view.texts.size(), 7u);
        for (auto step = view.texts.end() - 7; step != view.texts.end(); ++step) {
            const bool address = step->control == Control::lblTranslatedByEmail ||
                                 step->control == Control::lblTranslatedByWeb;
            EXPECT_EQ(step->characterSet, address ? std::nullopt : std::optional(charset)) << name;
            EXPECT_EQ(step->text->pieces().at(0).characterSet, charset);
        }
        EXPECT_EQ(view.textOf(Control::cmdOK), apply);
        EXPECT_EQ(dialog->SelectedLanguageFilePath(), language(name).path());
        EXPECT_TRUE(view.applyEnabled);
    }
};

// Selecting previews; Apply tells first, then sets and closes; the next
// opening selects and previews the new language. Cancel changes nothing.
TEST_F(LanguagePresenterTest, SelectionPreviewsApplyTellsThenSets) {
    for (const auto& [name, apply, charset] :
         {std::tuple{"English", "Apply", 0},
          {"Polish", "Zastosuj", 238},
          {"Greek", "\xC5\xF6\xE1\xF1\xEC\xEF\xE3\xDE", 161}}) {
        inForce = name;
        open(name);
        expectPreviewOf(name, apply, charset);
    }
    dialog->languageSelected(4);  // Russian
    dialog->cancelClicked();
    EXPECT_EQ(view.calls.back(), "closeDialog");
    EXPECT_TRUE(set.empty() && view.messages.empty());
    open("English");
    dialog->languageSelected(4);
    expectPreviewOf("Russian", kRussianApply, 204, false);
    EXPECT_TRUE(set.empty());
    view.whileMessageShown = [this] { EXPECT_TRUE(set.empty()); };
    dialog->applyClicked();
    const LanguageFile chosen = language("Russian");
    EXPECT_EQ(view.messages, (std::vector<Message>{{MessageIcon::Warning, chosen.text("Tray", "8"),
                                                    chosen.text("Tray", "7")}}));
    EXPECT_EQ(set, std::vector<std::string>{"Russian"});
    EXPECT_EQ(view.calls.back(), "closeDialog");
    open("English");
    expectPreviewOf("Russian", kRussianApply, 204);
    // The program closed its windows while the message was up: nothing set.
    view.whileMessageShown = [this] { dialog.reset(); };
    dialog->applyClicked();
    EXPECT_EQ(set, std::vector<std::string>{"Russian"});
}

// The list: the language files, sorted, without their extension. A
// language in force without a file: nothing selected, Apply off, the texts
// of this run's language without charset steps, until the user picks one.
// Without any language file the dialog still opens and closes.
TEST_F(LanguagePresenterTest, LanguageInForceWithoutAFileSelectsNothing) {
    writeFile(program.file("program/Language/a.b.lng"), "[LANGUAGE]\r\n");
    writeFile(program.file("program/Language/notes.txt"), "not a language");
    std::filesystem::create_directory(pathOf(program.file("program/Language/Folder.lng")));
#ifndef _WIN32
    // Found by name only as "Shout.lng", which is not there.
    writeFile(program.file("program/Language/Shout.LNG"), "[LANGUAGE]\r\n");
#endif
    inForce = "Klingon";
    open("Russian");
    EXPECT_EQ(view.listed,
              (std::vector<std::string>{"a.b", "English", "German", "Greek", "Polish", "Russian"}));
    EXPECT_EQ(view.selected, -1);
    EXPECT_FALSE(view.applyEnabled);
    EXPECT_EQ(view.textOf(Control::cmdOK), kRussianApply);
    EXPECT_TRUE(std::none_of(view.texts.begin(), view.texts.end(),
                             [](const TextStep& step) { return step.characterSet.has_value(); }));
    dialog->languageSelected(-1);
    dialog->languageSelected(6);  // past the list's end
    EXPECT_FALSE(view.applyEnabled);
    dialog->applyClicked();
    EXPECT_TRUE(view.messages.empty() && set.empty());
    dialog->languageSelected(0);  // a.b, without addresses to open
    dialog->translatorEmailClicked();
    dialog->translatorWebClicked();
    EXPECT_EQ(view.calls.back(), "applyTexts");
    dialog->applyClicked();
    EXPECT_EQ(set, std::vector<std::string>{view.listed[0]});

    std::filesystem::remove_all(pathOf(program.file("program/Language")));
    open();
    EXPECT_TRUE(view.listed.empty());
    EXPECT_FALSE(view.applyEnabled);
    dialog->applyClicked();
    dialog->cancelClicked();
    EXPECT_EQ(view.calls.back(), "closeDialog");
}

// The dialogs and the Win32 window find each control by its own name.
TEST(ControlName, EveryControlHasItsOwnName) {
    std::set<std::string> names;
    for (int c = 0; c <= static_cast<int>(Control::lblTranslatedByWeb); ++c) {
        const char* name = ControlName(static_cast<Control>(c));
        ASSERT_NE(name, nullptr) << c;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 32u);
    EXPECT_FALSE(names.contains(""));
    EXPECT_STREQ(ControlName(Control::lblStatusEnd), "lblStatusEnd");
}

}  // namespace
}  // namespace hushgate::test
