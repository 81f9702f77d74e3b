// The main window's decisions, without a window: a recording view, a
// temporary hosts file and program folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>

#include "presenter_fixture.h"
#include "read_ini.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace hushgate::test {
namespace {

const std::string kOriginal = "127.0.0.1 localhost\n\n::1 localhost\n";
const std::string kTidied = "127.0.0.1 localhost\n::1 localhost\n";
const char* kCloseBrowser = "You may need to exit your browser for these changes to take effect.";

class MainPresenterTest : public ::testing::Test {
protected:
    TestProgram program;
    RecordingView view;
    std::unique_ptr<MainPresenter> presenter;

    MainPresenter& load() {
        presenter = std::make_unique<MainPresenter>(program.paths(), view);
        presenter->Form_Load();
        return *presenter;
    }
    MainPresenter& open() {
        load().showStartupReports();
        return *presenter;
    }
    std::string shownMessages() const {
        std::string all;
        for (const Message& message : view.messages) {
            all += bytesOf(message.text) + "\n";
        }
        return all;
    }
};

TEST_F(MainPresenterTest, LoadStepKeepsItsOrder) {
    program.writeHosts(kOriginal);
    load();
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{
                  "SetIcon", "applyTexts", "AttachMenuImages", "SetToolbarFlat", "DoEvents",
                  "GetIconsFromLibrary " + program.programFolder() + "/resources.dll", "showStatus",
                  "PlaceStateWord"}));
}

// The three states, each with exactly its pictures, word and button.
TEST_F(MainPresenterTest, StatusShowsWhatTheFileHolds) {
    const struct {
        const char* hosts;  // nullptr: no file
        StatusDisplay shown;
    } cases[] = {
        {"",
         {HostsState::Unblocked, false, true, false, true, western("not blocked!"), true, false}},
        {"blocked",
         {HostsState::Blocked, true, false, true, false, western("blocked!"), false, true}},
        {nullptr,
         {HostsState::Unknown, false, false, false, false, western("unknown"), false, false}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(program.hostsPath());
        if (c.hosts != nullptr) {
            program.writeHosts(kOriginal + (*c.hosts != '\0' ? allEntries() : ""));
        }
        load();
        EXPECT_EQ(view.status, c.shown) << bytesOf(c.shown.stateWord);
        EXPECT_EQ(presenter->blockEnabled(), c.shown.blockEnabled);
    }
}

// What went wrong while loading is told once the window is up, once.
TEST_F(MainPresenterTest, StartupReportsWaitForTheWindow) {
    std::filesystem::remove_all(program.file("program/Language"));
    view.libraryUsable = false;
    load();
    EXPECT_TRUE(view.messages.empty());
    presenter->showStartupReports();
    presenter->showStartupReports();
    ASSERT_EQ(view.messages.size(), 3u);
    std::string folder = program.programFolder() + "/Language";
#ifdef _WIN32
    std::replace(folder.begin(), folder.end(), '/', '\\');
#endif
    EXPECT_EQ(describe(view.messages[0]), "Warning|Tavrin Hushgate|Language files not found in " +
                                              folder + "; showing English.");
    EXPECT_EQ(describe(view.messages[1]), "Critical|Tavrin Hushgate|\"Resources.dll\" is missing!");
    EXPECT_EQ(view.messages[2].icon, MessageIcon::Critical);
    EXPECT_EQ(bytesOf(view.messages[2].text).find("Cannot read " + program.hostsPath() + ": "), 0u)
        << bytesOf(view.messages[2].text);
    // English compiled in.
    EXPECT_EQ(view.textOf(Control::cmdBlockFB), "&Block Facebook");
    EXPECT_EQ(view.textOf(Control::lblStatus), "Status: Facebook is");
}

TEST_F(MainPresenterTest, BlockAndUnblockRewriteTheFileAndAdvise) {
    program.writeHosts(kOriginal);
    open().cmdBlockFB_Click();
    EXPECT_EQ(program.hosts(), kTidied + allEntries());
    EXPECT_EQ(view.status.state, HostsState::Blocked);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(describe(view.messages[0]),
              "Information|Tavrin Hushgate|" + std::string(kCloseBrowser));
    presenter->cmdUnblockFB_Click();
    EXPECT_EQ(program.hosts(), kTidied);
    EXPECT_EQ(view.status.state, HostsState::Unblocked);
    EXPECT_EQ(view.messages.size(), 2u);
}

TEST_F(MainPresenterTest, FailedChangeShowsWhatIsOnDisk) {
    program.writeHosts(kOriginal);
    open();
    // Another program keeps rewriting the file while we try to block.
    presenter->engine().setBeforeReplaceHook([&] { program.writeHosts("10.0.0.1 printer\n"); });
    presenter->cmdBlockFB_Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].icon, MessageIcon::Critical);
    EXPECT_NE(bytesOf(view.messages[0].text).find("Another program"), std::string::npos);
    EXPECT_EQ(program.hosts(), "10.0.0.1 printer\n");
    EXPECT_EQ(view.status.state, HostsState::Unblocked);
    EXPECT_TRUE(view.blockEnabled);

    presenter->engine().setBeforeReplaceHook({});
    std::filesystem::remove(program.hostsPath());
    presenter->cmdBlockFB_Click();
    EXPECT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.status.state, HostsState::Unknown);
    EXPECT_FALSE(std::filesystem::exists(program.hostsPath()));
}

// A change made elsewhere: the runner finishes when the test says so.
class LaterChange : public HostsChangeRunner {
public:
    void start(HostsVerb verb, Finished done) override {
        verbs.push_back(verb);
        finished = std::move(done);
    }
    bool running() const override { return static_cast<bool>(finished); }
    void finish(HostsChangeOutcome outcome) {
        outcome.elevated = true;
        std::exchange(finished, {})(outcome);
    }
    std::vector<HostsVerb> verbs;
    Finished finished;
};

TEST_F(MainPresenterTest, ChangeElsewhereHoldsTheButtonsAndTheRecheck) {
    program.writeHosts(kTidied);
    LaterChange change;
    presenter = std::make_unique<MainPresenter>(program.paths(), view);
    presenter->useHostsChanger(change);
    presenter->Form_Load();
    presenter->showStartupReports();
    presenter->cmdBlockFB_Click();
    EXPECT_FALSE(view.blockEnabled || view.unblockEnabled);
    EXPECT_FALSE(presenter->blockEnabled());
    presenter->cmdBlockFB_Click();
    presenter->cmdUnblockFB_Click();
    EXPECT_EQ(change.verbs, std::vector<HostsVerb>{HostsVerb::Block});
    // The other process writes; the watcher's news waits for the outcome.
    program.writeHosts(kTidied + allEntries());
    presenter->hostsFileChanged();
    EXPECT_FALSE(view.blockEnabled || view.unblockEnabled);
    change.finish({});
    EXPECT_EQ(view.status.state, HostsState::Blocked);
    EXPECT_EQ(shownMessages(), std::string(kCloseBrowser) + "\n");

    // Dismissed: nothing said, the buttons as the file is.
    presenter->cmdUnblockFB_Click();
    change.finish({HostsChangeOutcome::Result::Dismissed, true, 126, "", std::nullopt});
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_TRUE(view.unblockEnabled);
    // Refused: pkexec's own line.
    presenter->cmdUnblockFB_Click();
    change.finish(
        {HostsChangeOutcome::Result::NotAllowed, true, 127, "Not authorized", std::nullopt});
    EXPECT_EQ(describe(view.messages.back()),
              "Critical|Tavrin Hushgate|Tavrin Hushgate was not allowed to change the hosts "
              "file: Not authorized");
    EXPECT_TRUE(view.unblockEnabled);
}

#ifndef _WIN32
// A rewrite in place (here through a second name of the file) killed
// half-way: the next load undoes it and says so once, after the window is up.
TEST_F(MainPresenterTest, InterruptedChangeIsUndoneAndToldOnce) {
    // Entries before the last line, so the cut-short rewrite differs.
    const std::string blocked = "127.0.0.1 localhost\n" + allEntries() + "::1 localhost\n";
    program.writeHosts(blocked);
    ASSERT_EQ(::link(program.hostsPath().c_str(), program.file("other").c_str()), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        HostsEngine engine(program.hostsPath(), LineEnd::Lf);
        engine.setWriteHook([](WriteStep step) {
            if (step == WriteStep::InPlaceWritten) {
                ::raise(SIGKILL);
            }
        });
        engine.Unblock();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_NE(program.hosts(), blocked);

    load();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(program.hosts(), blocked);
    EXPECT_EQ(view.status.state, HostsState::Blocked);
    presenter->showStartupReports();
    presenter->hostsFileChanged();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(describe(view.messages[0]).find("Warning|Tavrin Hushgate|An interrupted change of " +
                                              program.hostsPath() + " was undone"),
              0u)
        << describe(view.messages[0]);
}
#endif

TEST_F(MainPresenterTest, FollowsTheFileOnDiskQuietly) {
    program.writeHosts(kOriginal);
    open();
    const struct {
        const char* hosts;  // nullptr: removed
        HostsState state;
    } steps[] = {{"blocked", HostsState::Blocked},
                 {nullptr, HostsState::Unknown},
                 {"", HostsState::Unblocked}};
    for (const auto& step : steps) {
        std::filesystem::remove(program.hostsPath());
        if (step.hosts != nullptr) {
            program.writeHosts(kOriginal + (*step.hosts != '\0' ? allEntries() : ""));
        }
        presenter->hostsFileChanged();
        EXPECT_EQ(view.status.state, step.state);
    }
    EXPECT_TRUE(view.messages.empty());
}

// The language named in config.ini, if it is a bare name with a file; else
// English. Whatever was chosen is saved at exit.
TEST_F(MainPresenterTest, LanguageInForceIsSavedAtExit) {
    program.writeHosts(kOriginal);
    const struct {
        const char* configured;
        const char* inForce;
    } cases[] = {{"German", "German"},
                 {"Klingon", "English"},
                 {"../Language/German", "English"},
                 {"", "English"}};
    for (const auto& c : cases) {
        program.configure(c.configured);
        open();
        EXPECT_EQ(presenter->lblSettingsLanguage, c.inForce);
        EXPECT_EQ(presenter->languageFile().path(),
                  LanguageFile::inProgramFolder(program.programFolder(), c.inForce).path());
        view.calls.clear();
        presenter->mnuExit_Click();
        presenter->Form_Unload();
        EXPECT_EQ(view.calls, (std::vector<std::string>{"closeWindow", "UnloadAllForms"}));
        EXPECT_EQ(readFile(program.settingsPath()),
                  "[Settings]\r\nLanguage=" + std::string(c.inForce) + "\r\n");
    }
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(MainPresenterTest, UnsavableSettingsAreToldAndTheFormsStillUnload) {
    program.writeHosts(kOriginal);
    writeFile(program.file("config"), "a file where the settings folder should be");
    open().Form_Unload();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].icon, MessageIcon::Warning);
    const std::string text = bytesOf(view.messages[0].text);
    EXPECT_EQ(text.find("Cannot save the settings to "), 0u) << text;
    EXPECT_NE(text.find("config.ini: "), std::string::npos) << text;
    EXPECT_EQ(view.calls.back(), "UnloadAllForms");
}

// Every caption in the file's own bytes and code page; the charset step
// only on the state word; the message holders filled.
TEST_F(MainPresenterTest, LanguageMainPoursTheFileIntoTheWindow) {
    program.writeHosts(kOriginal);
    program.configure("Russian");
    load();
    const std::string file = presenter->languageFile().path();
    const struct {
        Control control;
        const char* key;
    } captions[] = {{Control::mnuFile, "1"},         {Control::mnuExit, "2"},
                    {Control::mnuHelp, "3"},         {Control::mnuCheckUpdates, "4"},
                    {Control::mnuLanguage, "5"},     {Control::mnuDonate, "6"},
                    {Control::mnuWeb, "7"},          {Control::mnuAbout, "8"},
                    {Control::mnuFacebook, "9"},     {Control::Toolbar1Button2, "5"},
                    {Control::Toolbar1Button3, "8"}, {Control::Toolbar1Button4, "7"},
                    {Control::Toolbar1Button5, "9"}, {Control::cmdBlockFB, "13"},
                    {Control::cmdUnblockFB, "14"},   {Control::lblStatus, "10"}};
    ASSERT_EQ(view.texts.size(), std::size(captions) + 1);
    for (std::size_t i = 0; i < std::size(captions); ++i) {
        EXPECT_EQ(view.texts[i],
                  (TextStep{captions[i].control, Text(ReadINI("Main", captions[i].key, file), 204),
                            std::nullopt}))
            << i;
    }
    EXPECT_EQ(view.texts.back(), (TextStep{Control::lblStatusEnd, std::nullopt, 204}));
    EXPECT_EQ(presenter->lblCloseBrowser_JP, Text(ReadINI("Main", "15", file), 204));
    EXPECT_EQ(presenter->lblVersion_JP, Text(ReadINI("About", "2", file), 204));
    EXPECT_EQ(view.status.stateWord, Text(ReadINI("Main", "12", file), 204));
}

// The program's own messages and the unknown state word in the language in
// force; a file from before those keys has them in English.
TEST_F(MainPresenterTest, OwnMessagesSpeakTheLanguage) {
    writeFile(program.file("program/Language/Old.lng"),
              "[LANGUAGE]\r\nCharacterSet=0\r\n[Main]\r\n1=Fichier\r\n");
    const struct {
        const char* language;
        int characterSet;
        const char* unknown;  // nullptr: the file's own word
    } cases[] = {{"German", 0, "unbekannt"}, {"Russian", 204, nullptr}, {"Old", 0, "unknown"}};
    for (const auto& c : cases) {
        program.configure(c.language);
        view.messages.clear();
        open();
        ASSERT_EQ(view.messages.size(), 1u) << c.language;
        const Text& shown = view.messages[0].text;
        // The sentence's own words, in the file's code page, around the
        // file name and the reason.
        const auto ownWords = [](const Text& text) {
            std::vector<TextPiece> pieces;
            std::copy_if(text.pieces().begin(), text.pieces().end(), std::back_inserter(pieces),
                         [](const TextPiece& piece) { return piece.characterSet != kProgramText; });
            return pieces;
        };
        const Text sentence = presenter->languageFile().message("ReadFailed");
        EXPECT_EQ(ownWords(shown), ownWords(sentence.arg("file", "reason"))) << c.language;
        EXPECT_EQ(sentence.pieces().at(0).characterSet, c.characterSet);
        EXPECT_NE(bytesOf(shown).find(program.hostsPath()), std::string::npos);
        const std::string file = presenter->languageFile().path();
        EXPECT_EQ(view.status.stateWord,
                  Text(c.unknown ? c.unknown : ReadINI("Main", "19", file), c.characterSet));
    }
    EXPECT_EQ(bytesOf(view.messages[0].text).find("Cannot read "), 0u);
}

TEST_F(MainPresenterTest, CommandsOpenTheirDialogsAndPages) {
    program.writeHosts(kOriginal);
    open();
    view.calls.clear();
    for (const char* key : {"language", "about", "web", "facebook", "Web", "", "separator"}) {
        presenter->Toolbar1_ButtonClick(key);
    }
    presenter->mnuLanguage_Click();
    presenter->mnuAbout_Click();
    presenter->mnuDonate_Click();
    presenter->lblLink_Click();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"showLanguageDialog", "showAboutDialog",
                                                    "showLanguageDialog", "showAboutDialog"}));
    EXPECT_EQ(view.opened, (std::vector<std::string>{web::kHomePage, web::kSocialPage,
                                                     web::kDonatePage, web::kHomePage}));
}

}  // namespace
}  // namespace hushgate::test
