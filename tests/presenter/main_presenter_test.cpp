// The main window's decisions, without a window: a recording view, a
// temporary hosts file and program folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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

    MainPresenter& load(HostsChangeRunner* runner = nullptr) {
        presenter = std::make_unique<MainPresenter>(pathsOf(program), view);
        if (runner) {
            presenter->useHostsChanger(*runner);
        }
        presenter->Form_Load();
        return *presenter;
    }
    MainPresenter& open(HostsChangeRunner* runner = nullptr) {
        load(runner).showStartupReports();
        return *presenter;
    }
};

// The three states, each with exactly its pictures, word and button; at
// load and, quietly, whenever the file changes on disk.
TEST_F(MainPresenterTest, StatusShowsWhatTheFileHolds) {
    const struct {
        const char* hosts;  // nullptr: no file
        StatusDisplay shown;
    } cases[] = {
        {"",
         {HostsState::Unblocked, false, true, false, true, Text("not blocked!", 0), true, false}},
        {"blocked",
         {HostsState::Blocked, true, false, true, false, Text("blocked!", 0), false, true}},
        {nullptr,
         {HostsState::Unknown, false, false, false, false, Text("unknown", 0), false, false}},
        {"",
         {HostsState::Unblocked, false, true, false, true, Text("not blocked!", 0), true, false}},
    };
    for (const bool atLoad : {true, false}) {
        for (const auto& c : cases) {
            std::filesystem::remove(program.hostsPath());
            if (c.hosts != nullptr) {
                program.writeHosts(kOriginal + (*c.hosts != '\0' ? allEntries() : ""));
            }
            atLoad ? (void)load() : presenter->hostsFileChanged();
            EXPECT_EQ(view.status, c.shown) << bytesOf(c.shown.stateWord);
            EXPECT_EQ(presenter->blockEnabled(), c.shown.blockEnabled);
        }
    }
    EXPECT_TRUE(view.messages.empty());
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
    const std::string folder =
        utf8Of(pathOf(program.programFolder() + "/Language").make_preferred());
    EXPECT_EQ(describe(view.messages[0]), "Warning|Tavrin Hushgate|Language files not found in " +
                                              folder + "; showing English.");
    EXPECT_EQ(describe(view.messages[1]), "Critical|Tavrin Hushgate|\"Resources.dll\" is missing!");
    EXPECT_EQ(describe(view.messages[2])
                  .find("Critical|Tavrin Hushgate|Cannot read " + program.hostsPath() + ": "),
              0u);
    // English compiled in.
    EXPECT_EQ(view.textOf(Control::cmdBlockFB), "&Block Facebook");
}

TEST_F(MainPresenterTest, BlockAndUnblockRewriteTheFileAndAdvise) {
    program.writeHosts(kOriginal);
    open().cmdBlockFB_Click();
    EXPECT_EQ(program.hosts(), kTidied + allEntries());
    EXPECT_EQ(view.status.state, HostsState::Blocked);
    presenter->cmdUnblockFB_Click();
    EXPECT_EQ(program.hosts(), kTidied);
    EXPECT_EQ(view.status.state, HostsState::Unblocked);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(describe(view.messages[0]),
              "Information|Tavrin Hushgate|" + std::string(kCloseBrowser));
    EXPECT_EQ(view.messages[1], view.messages[0]);
}

TEST_F(MainPresenterTest, FailedChangeShowsWhatIsOnDisk) {
    program.writeHosts(kOriginal);
    open();
    // Another program keeps rewriting the file while we try to block.
    presenter->engine().setBeforeReplaceHook([&] { program.writeHosts("10.0.0.1 printer\n"); });
    presenter->cmdBlockFB_Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(describe(view.messages[0]).find("Critical|Tavrin Hushgate|Another program"), 0u);
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

// While it runs, nothing can be pressed (Enter included) and the file's
// news waits for its outcome; the outcome shows the file and tells the user.
TEST_F(MainPresenterTest, ChangeElsewhereHoldsTheButtonsAndTheRecheck) {
    program.writeHosts(kTidied);
    LaterChange change;
    open(&change).cmdBlockFB_Click();
    EXPECT_FALSE(view.blockEnabled || view.unblockEnabled || presenter->blockEnabled());
    presenter->cmdBlockFB_Click();
    presenter->cmdUnblockFB_Click();
    EXPECT_EQ(change.verbs, std::vector<HostsVerb>{HostsVerb::Block});
    program.writeHosts(kTidied + allEntries());
    presenter->hostsFileChanged();
    EXPECT_FALSE(view.blockEnabled || view.unblockEnabled);
    change.finish({});
    EXPECT_EQ(view.status.state, HostsState::Blocked);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(bytesOf(view.messages[0].text), kCloseBrowser);

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
    if (::fork() == 0) {
        HostsEngine engine(program.hostsPath(), LineEnd::Lf);
        engine.setWriteHook([](WriteStep step) {
            if (step == WriteStep::InPlaceWritten) {
                ::raise(SIGKILL);
            }
        });
        engine.Unblock();
        ::_exit(0);
    }
    ::wait(nullptr);
    ASSERT_NE(program.hosts(), blocked);

    load();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(program.hosts(), blocked);
    EXPECT_EQ(view.status.state, HostsState::Blocked);
    presenter->showStartupReports();
    presenter->hostsFileChanged();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(describe(view.messages[0])
                  .find("Warning|Tavrin Hushgate|An interrupted change of " + program.hostsPath() +
                        " was undone"),
              0u);
}
#endif

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
    EXPECT_EQ(
        describe(view.messages[0]).find("Warning|Tavrin Hushgate|Cannot save the settings to "),
        0u);
    EXPECT_EQ(view.calls.back(), "UnloadAllForms");
}

// Captions, the state word and the message texts in the file's own bytes
// and character set; the charset step only on the state word; what the
// program says of its own in the language in force, or in English for a
// file from before those texts.
TEST_F(MainPresenterTest, TextsComeFromTheLanguageInForce) {
    writeFile(program.file("program/Language/Old.lng"),
              "[LANGUAGE]\r\nCharacterSet=0\r\n[Main]\r\n1=Fichier\r\n");
    const struct {
        const char* language;
        int characterSet;
        const char* unknown;     // nullptr: the file's own word
        const char* cannotRead;  // of the message that the file is missing
    } cases[] = {{"Russian", 204, nullptr, ""},
                 {"German", 0, "unbekannt", " kann nicht gelesen werden"},
                 {"Old", 0, "unknown", "Cannot read "}};
    for (const auto& c : cases) {
        program.configure(c.language);
        view.texts.clear();
        view.messages.clear();
        open();
        const auto inCharset = [&](const Text& text) {
            return std::any_of(
                text.pieces().begin(), text.pieces().end(),
                [&](const TextPiece& piece) { return piece.characterSet == c.characterSet; });
        };
        const std::string file = presenter->languageFile().path();
        for (const TextStep& step : view.texts) {
            const bool stateWord = step.control == Control::lblStatusEnd;
            EXPECT_EQ(step.characterSet, stateWord ? std::optional(c.characterSet) : std::nullopt);
            EXPECT_TRUE(stateWord || step.text->empty() || inCharset(*step.text));
        }
        EXPECT_EQ(view.textOf(Control::cmdUnblockFB), ReadINI("Main", "14", file));
        EXPECT_EQ(presenter->lblCloseBrowser_JP, Text(ReadINI("Main", "15", file), c.characterSet));
        EXPECT_EQ(view.status.stateWord,
                  Text(c.unknown ? c.unknown : ReadINI("Main", "19", file), c.characterSet));
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_TRUE(inCharset(view.messages[0].text)) << c.language;
        const std::string said = bytesOf(view.messages[0].text);
        EXPECT_NE(said.find(program.hostsPath()), std::string::npos) << said;
        EXPECT_NE(said.find(c.cannotRead), std::string::npos) << said;
    }
}

}  // namespace
}  // namespace hushgate::test
