// The About and language dialogs' decisions, without a window.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "presenter_fixture.h"
#include "read_ini.h"

namespace hushgate::test {
namespace {

TEST(AboutPresenter, LoadsFixedTextsThenTheLanguageThenPlacesTheNumber) {
    const TestProgram program({"Russian"});
    RecordingView view;
    AboutPresenter about(view, LanguageFile::inProgramFolder(program.programFolder(), "Russian"),
                         "http://home.example");
    about.Form_Load();
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"applyTexts", "applyTexts", "PlaceVersionNumber"}));
    const std::string file = program.file("program/Language/Russian.lng");
    const auto stepped = [&](Control control, const char* key) {
        return TextStep{control, Text(ReadINI("About", key, file), 204), 204};
    };
    EXPECT_EQ(view.texts, (TextSteps{{Control::lblTitle, "Tavrin Hushgate", std::nullopt},
                                     {Control::lblVer_JP, "1.1", std::nullopt},
                                     {Control::lblLink, "http://home.example", std::nullopt},
                                     stepped(Control::frmAbout, "1"),
                                     stepped(Control::lblVersion, "2"),
                                     stepped(Control::lblThis, "3"),
                                     stepped(Control::lblCopyright, "4"),
                                     stepped(Control::cmdClose, "6")}));
    about.lblLink_Click();
    EXPECT_EQ(view.opened, std::vector<std::string>{"http://home.example"});
}

TEST(AboutPresenter, MissingKeysGiveEmptyTextsStillStepped) {
    const TestProgram program({"English"});
    writeFile(program.file("program/Language/Bare.lng"), "[LANGUAGE]\r\nCharacterSet=204\r\n");
    RecordingView view;
    AboutPresenter about(view, LanguageFile::inProgramFolder(program.programFolder(), "Bare"));
    for (const TextStep& step : about.LanguageAbout()) {
        EXPECT_EQ(step.text, Text());
        EXPECT_EQ(step.characterSet, 204);
    }
}

class LanguagePresenterTest : public ::testing::Test {
protected:
    TestProgram program;
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
        dialog->Form_Load();
        return *dialog;
    }
    LanguageFile language(const std::string& name) const {
        return LanguageFile::inProgramFolder(program.programFolder(), name);
    }
    // The dialog shows the preview of `name`: its texts, its charset steps.
    void expectPreviewOf(const std::string& name) {
        const TextSteps expected =
            LanguagePresenter::LanguageSysTrayAndLanguage(language(name), true);
        ASSERT_GE(view.texts.size(), expected.size());
        EXPECT_EQ(
            TextSteps(view.texts.end() - static_cast<long>(expected.size()), view.texts.end()),
            expected);
        EXPECT_EQ(dialog->SelectedLanguageFilePath(), language(name).path());
        EXPECT_TRUE(view.applyEnabled);
    }
};

TEST_F(LanguagePresenterTest, ListsTheLanguageFilesSortedWithoutTheirExtension) {
    for (const std::string& name : TestProgram::kShipped) {
        if (name != "Russian" && name != "English" && name != "German") {
            std::filesystem::remove(pathOf(program.file("program/Language/" + name + ".lng")));
        }
    }
    writeFile(program.file("program/Language/a.b.lng"), "[LANGUAGE]\r\n");
    writeFile(program.file("program/Language/notes.txt"), "not a language");
    std::filesystem::create_directory(pathOf(program.file("program/Language/Folder.lng")));
#ifndef _WIN32
    // Found by name only as "Shout.lng", which is not there.
    writeFile(program.file("program/Language/Shout.LNG"), "[LANGUAGE]\r\n");
#endif
    open();
    EXPECT_EQ(view.listed, (std::vector<std::string>{"a.b", "English", "German", "Russian"}));
    EXPECT_EQ(view.selected, 1);
}

// The language in force is selected and previewed at once: the title,
// lblSelect, both buttons and the translator's name with the file's
// character set, the two addresses without.
TEST_F(LanguagePresenterTest, SelectsAndPreviewsTheLanguageInForce) {
    const struct {
        const char* name;
        int characterSet;
    } cases[] = {{"English", 0}, {"Polish", 238}, {"Russian", 204}, {"Greek", 161}};
    for (const auto& c : cases) {
        inForce = c.name;
        view.texts.clear();
        open(c.name);
        EXPECT_EQ(view.listed.at(static_cast<std::size_t>(view.selected)), c.name);
        expectPreviewOf(c.name);
        const TextSteps preview(view.texts.end() - 7, view.texts.end());
        for (const TextStep& step : preview) {
            const bool address = step.control == Control::lblTranslatedByEmail ||
                                 step.control == Control::lblTranslatedByWeb;
            EXPECT_EQ(step.characterSet, address ? std::nullopt : std::optional(c.characterSet))
                << c.name;
            EXPECT_EQ(step.text->pieces().at(0).characterSet, c.characterSet) << c.name;
        }
        EXPECT_EQ(bytesOf(*preview[0].text), ReadINI("Tray", "3", language(c.name).path()));
    }
}

TEST_F(LanguagePresenterTest, SelectionPreviewsApplyTellsThenSets) {
    open();
    const auto greekEntry = std::find(view.listed.begin(), view.listed.end(), "Greek");
    dialog->cboLanguage_Click(static_cast<int>(greekEntry - view.listed.begin()));
    expectPreviewOf("Greek");
    EXPECT_TRUE(set.empty());
    view.whileMessageShown = [this] { EXPECT_TRUE(set.empty()); };
    dialog->cmdOK_Click();
    const LanguageFile greek = language("Greek");
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0],
              (Message{MessageIcon::Warning, greek.text("Tray", "8"), greek.text("Tray", "7")}));
    EXPECT_EQ(set, std::vector<std::string>{"Greek"});
    EXPECT_EQ(view.calls.back(), "closeDialog");

    // The next opening selects and previews the new language.
    open("English");
    expectPreviewOf("Greek");
}

TEST_F(LanguagePresenterTest, CancelChangesNothing) {
    open();
    dialog->cboLanguage_Click(2);
    dialog->cmdCancel_Click();
    EXPECT_EQ(view.calls.back(), "closeDialog");
    EXPECT_TRUE(set.empty());
    EXPECT_TRUE(view.messages.empty());
}

// A language in force without a file: nothing selected, Apply off, the texts
// of this run's language without charset steps, until the user picks one.
TEST_F(LanguagePresenterTest, LanguageInForceWithoutAFileSelectsNothing) {
    inForce = "Klingon";
    open("Russian");
    EXPECT_EQ(view.selected, -1);
    EXPECT_FALSE(view.applyEnabled);
    EXPECT_EQ(dialog->SelectedLanguageFilePath(), "");
    EXPECT_EQ(view.texts, LanguagePresenter::LanguageSysTrayAndLanguage(language("Russian")));
    dialog->cmdOK_Click();
    EXPECT_TRUE(view.messages.empty() && set.empty());
    dialog->cboLanguage_Click(0);
    dialog->cmdOK_Click();
    EXPECT_EQ(set, std::vector<std::string>{view.listed[0]});
}

TEST_F(LanguagePresenterTest, TranslatorLinksOpenTheirAddressesOnlyWhenThere) {
    open();
    dialog->lblTranslatedByEmail_Click();
    dialog->lblTranslatedByWeb_Click();
    EXPECT_EQ(view.opened, (std::vector<std::string>{"mailto:lang@tavrin-software.example",
                                                     "http://tavrin-software.example"}));
    writeFile(program.file("program/Language/Anonymous.lng"),
              "[LANGUAGE]\r\nCharacterSet=0\r\ntranslator=Someone\r\n");
    inForce = "Anonymous";
    open();
    dialog->lblTranslatedByEmail_Click();
    dialog->lblTranslatedByWeb_Click();
    EXPECT_EQ(view.opened.size(), 2u);
}

TEST_F(LanguagePresenterTest, WithoutAnyLanguageFileTheDialogStillWorks) {
    std::filesystem::remove_all(pathOf(program.file("program/Language")));
    open();
    EXPECT_TRUE(view.listed.empty());
    EXPECT_FALSE(view.applyEnabled);
    dialog->cmdOK_Click();
    dialog->cmdCancel_Click();
    EXPECT_EQ(view.calls.back(), "closeDialog");
}

}  // namespace
}  // namespace hushgate::test
