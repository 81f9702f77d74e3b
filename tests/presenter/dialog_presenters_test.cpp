// The About and language dialogs' decisions, without a window.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "presenter_fixture.h"
#include "read_ini.h"

namespace hushgate::test {
namespace {

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
    // The dialog shows the preview of `name`: its texts, its charset steps
    // (none on the two addresses); when just opened, `name` selected.
    void expectPreviewOf(const std::string& name, bool opened = true) {
        EXPECT_EQ(view.listed.at(static_cast<std::size_t>(view.selected)) == name, opened);
        const TextSteps expected =
            LanguagePresenter::LanguageSysTrayAndLanguage(language(name), true);
        ASSERT_GE(view.texts.size(), expected.size());
        EXPECT_EQ(
            TextSteps(view.texts.end() - static_cast<long>(expected.size()), view.texts.end()),
            expected);
        EXPECT_EQ(bytesOf(*expected[0].text), ReadINI("Tray", "3", language(name).path()));
        for (const TextStep& step : expected) {
            const bool address = step.control == Control::lblTranslatedByEmail ||
                                 step.control == Control::lblTranslatedByWeb;
            EXPECT_EQ(step.characterSet.has_value(), !address) << name;
        }
        EXPECT_EQ(dialog->SelectedLanguageFilePath(), language(name).path());
        EXPECT_TRUE(view.applyEnabled);
    }
};

// Selecting previews; Apply tells first, then sets and closes; the next
// opening selects and previews the new language. Cancel changes nothing.
TEST_F(LanguagePresenterTest, SelectionPreviewsApplyTellsThenSets) {
    for (const char* name : {"Polish", "Greek"}) {
        inForce = name;
        open(name);
        expectPreviewOf(name);
    }
    dialog->languageSelected(4);  // Russian
    dialog->cancelClicked();
    EXPECT_EQ(view.calls.back(), "closeDialog");
    EXPECT_TRUE(set.empty() && view.messages.empty());
    open("English");
    dialog->languageSelected(4);
    expectPreviewOf("Russian", false);
    EXPECT_TRUE(set.empty());
    view.whileMessageShown = [this] { EXPECT_TRUE(set.empty()); };
    dialog->applyClicked();
    const LanguageFile chosen = language("Russian");
    EXPECT_EQ(view.messages, (std::vector<Message>{{MessageIcon::Warning, chosen.text("Tray", "8"),
                                                    chosen.text("Tray", "7")}}));
    EXPECT_EQ(set, std::vector<std::string>{"Russian"});
    EXPECT_EQ(view.calls.back(), "closeDialog");
    open("English");
    expectPreviewOf("Russian");
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
    EXPECT_EQ(view.texts, LanguagePresenter::LanguageSysTrayAndLanguage(language("Russian")));
    dialog->applyClicked();
    EXPECT_TRUE(view.messages.empty() && set.empty());
    dialog->languageSelected(0);
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

}  // namespace
}  // namespace hushgate::test
