// The main window's decisions, the update check's among them, without a
// window: a recording view, a temporary hosts file and program folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

#include "hosts_messages.h"
#include "presenter_fixture.h"
#include "small_file.h"
#include "web_constants.h"

#ifndef _WIN32
#include <unistd.h>

#include <csignal>
#endif

namespace hushgate::test {
namespace {

const std::string kOriginal = "127.0.0.1 localhost\n\n::1 localhost\n";
const std::string kTidied = "127.0.0.1 localhost\n::1 localhost\n";
const char* kCloseBrowser = "You may need to exit your browser for these changes to take effect.";

// A path as the messages give it, with the system's own separator.
std::string native(const std::string& path) {
    return utf8Of(pathOf(path).make_preferred());
}

class MainPresenterTest : public ::testing::Test {
protected:
    TestProgram program;
    RecordingView view;
    std::unique_ptr<MainPresenter> presenter;
    std::string installed;  // the installed data folder, "" for none

    // The view only pretends to read the icon library: any file will do.
    MainPresenterTest() { writeFile(program.programFolder() + "/resources.dll", "MZ"); }

    MainPresenter& load(HostsChangeRunner* runner = nullptr) {
        presenter = std::make_unique<MainPresenter>(
            ProgramPaths{program.programFolder(), program.settingsPath(), program.hostsPath(),
                         LineEnd::Lf, installed},
            view);
        if (runner) {
            presenter->useHostsChanger(*runner);
        }
        presenter->load();
        return *presenter;
    }
    MainPresenter& open(HostsChangeRunner* runner = nullptr) {
        load(runner).showStartupReports();
        return *presenter;
    }
};

// The three states, each with its own pair of pictures and word, and Block
// only while not blocked, Unblock only while blocked; at load and, quietly,
// whenever the file changes on disk. 67 of the 68 entries are not blocked.
// The tool tip says why the state is unknown and how much of a block is
// there, and goes with the state.
TEST_F(MainPresenterTest, StatusShowsWhatTheFileHolds) {
    const std::string all = allEntries(), most = all.substr(all.find('\n') + 1),
                      one = all.substr(0, all.find('\n') + 1),
                      unreadable = "Cannot read " + program.hostsPath() + ": ";
    const struct {
        const std::string* hosts;  // nullptr: no file
        HostsState state;
        const char* word;
        std::string detail;  // its start; "" exactly
    } cases[] = {{&all, HostsState::Blocked, "blocked!", ""},
                 {&most, HostsState::Unblocked, "not blocked!", "67 of 68 entries present"},
                 {nullptr, HostsState::Unknown, "unknown", unreadable},
                 {&all, HostsState::Blocked, "blocked!", ""},
                 {&one, HostsState::Unblocked, "not blocked!", "1 of 68 entries present"},
                 {&kOriginal, HostsState::Unblocked, "not blocked!", ""}};
    for (const bool atLoad : {true, false}) {
        for (const auto& c : cases) {
            std::filesystem::remove(program.hostsPath());
            if (c.hosts != nullptr) {
                program.writeHosts(kOriginal + *c.hosts);
            }
            atLoad ? (void)load() : presenter->hostsFileChanged();
            const StatusDisplay& s = view.status;
            const bool blocked = c.state == HostsState::Blocked;
            const bool unblocked = c.state == HostsState::Unblocked;
            EXPECT_EQ(s.state, c.state) << c.word;
            EXPECT_EQ(s.stateWord, Text(c.word, 0));
            EXPECT_TRUE(s.imgBlocked == blocked && s.imgStatusBlocked == blocked &&
                        s.imgUnblocked == unblocked && s.imgStatusUnblocked == unblocked);
            EXPECT_TRUE(s.blockEnabled == unblocked && s.unblockEnabled == blocked &&
                        presenter->blockEnabled() == unblocked);
            const std::string detail = bytesOf(s.detail);
            EXPECT_EQ(detail.substr(0, c.detail.size()), c.detail);
            EXPECT_EQ(detail.empty(), c.detail.empty()) << detail;
        }
    }
    EXPECT_TRUE(view.messages.empty());
}

// What went wrong while loading is told once the window is up, once: no
// language files, no icon library, and (POSIX) a rewrite in place, through a
// second name of the file, killed half-way, which the load undoes.
TEST_F(MainPresenterTest, StartupReportsWaitForTheWindow) {
    std::filesystem::remove_all(program.file("program/Language"));
    std::filesystem::remove(program.file("program/resources.dll"));
#ifdef _WIN32
    const std::string third = "Critical|Tavrin Hushgate|Cannot read " + program.hostsPath() + ": ";
#else
    const std::string third =
        "Warning|Tavrin Hushgate|An interrupted change of " + program.hostsPath() + " was undone";
    // Entries before the last line, so the cut-short rewrite differs.
    const std::string blocked = "127.0.0.1 localhost\n" + allEntries() + "::1 localhost\n";
    const auto interruptAnUnblock = [&] {
        program.writeHosts(blocked);
        std::filesystem::remove(program.file("other"));
        ASSERT_EQ(::link(program.hostsPath().c_str(), program.file("other").c_str()), 0);
        waitStatusOfChild([&] {
            HostsEngine engine(program.hostsPath(), LineEnd::Lf);
            raiseAt(engine, WriteStep::InPlaceWritten, SIGKILL);
            engine.Unblock();
        });
        ASSERT_NE(program.hosts(), blocked);
    };
    interruptAnUnblock();
#endif
    load();
    EXPECT_TRUE(view.messages.empty());
    presenter->showStartupReports();
    presenter->showStartupReports();
    presenter->hostsFileChanged();
    ASSERT_EQ(view.messages.size(), 3u);
    EXPECT_EQ(describe(view.messages[0]), "Warning|Tavrin Hushgate|Language files not found in " +
                                              native(program.programFolder() + "/Language") +
                                              "; showing English.");
    EXPECT_EQ(describe(view.messages[1]), "Critical|Tavrin Hushgate|\"Resources.dll\" is missing!");
    EXPECT_EQ(describe(view.messages[2]).find(third), 0u);
#ifndef _WIN32
    EXPECT_EQ(program.hosts(), blocked);
    EXPECT_EQ(view.status.state, HostsState::Blocked);
    // One that a Block finds later is told then, before the advice.
    interruptAnUnblock();
    presenter->blockClicked();
    ASSERT_EQ(view.messages.size(), 5u);
    EXPECT_EQ(describe(view.messages[3]).find(third), 0u);
    EXPECT_EQ(bytesOf(view.messages[4].text), kCloseBrowser);
    EXPECT_EQ(view.status.state, HostsState::Blocked);
#endif
    // English compiled in.
    EXPECT_EQ(view.textOf(Control::cmdBlockFB), "&Block Facebook");
}

// Language/ and resources.dll each come from the first folder that has
// them: beside the program, then the installed data folder. Not found, the
// message names every folder looked in; found but unusable, the file and why.
TEST_F(MainPresenterTest, DataFilesAreLookedForEachOnItsOwn) {
    const std::string beside = program.programFolder(), data = program.file("data");
    const auto unusable = [&](const std::string& folder, const char* reason) {
        return "Critical|Tavrin Hushgate|The icon library " + native(folder + "/resources.dll") +
               " cannot be used: " + reason + "; the toolbar shows no pictures.";
    };
    const char* notLibrary = "not a resource library";
    program.writeHosts(kOriginal);
    const struct {
        const char* language;  // where Language/ is: "b" beside, "d" the data folder
        const char* library;   // where resources.dll is; "f" a folder beside, a file in "d"
        const std::string* languageFolder;
        std::vector<std::string> said;
    } cases[] = {
        {"bd", "bd", &beside, {unusable(beside, notLibrary)}},
        {"b", "d", &beside, {unusable(data, notLibrary)}},
        {"d", "b", &data, {unusable(beside, notLibrary)}},
        {"b", "fd", &beside, {unusable(beside, "not a regular file")}},
        {"",
         "",
         &beside,
         {"Warning|Tavrin Hushgate|Language files not found in " + native(beside + "/Language") +
              ", " + native(data + "/Language") + "; showing English.",
          "Critical|Tavrin Hushgate|\"Resources.dll\" is missing!"}}};
    for (const auto& c : cases) {
        for (const std::string& folder : {beside, data}) {
            const char tag = folder == beside ? 'b' : 'd';
            std::filesystem::remove_all(pathOf(folder));
            std::filesystem::create_directories(pathOf(folder));
            if (std::strchr(c.language, tag) != nullptr) {
                std::filesystem::create_directories(pathOf(folder + "/Language"));
                writeFile(folder + "/Language/English.lng", "[Main]\r\n13=" + folder + "\r\n");
            }
            if (std::strchr(c.library, tag) != nullptr) {
                writeFile(folder + "/resources.dll", "MZ");
            }
        }
        if (std::strchr(c.library, 'f') != nullptr) {
            std::filesystem::create_directories(pathOf(beside + "/resources.dll"));
        }
        installed = data;
        view = RecordingView();
        view.libraryUsable = false;
        open();
        EXPECT_EQ(presenter->languageFolder(), *c.languageFolder);
        EXPECT_EQ(view.said(), c.said);
    }
}

// A selected language file that is no language file: the English compiled
// in and one message naming it and why; config.ini keeps the choice. One
// that merely lacks keys stays in force with those texts empty.
TEST_F(MainPresenterTest, DamagedLanguageFileGivesEnglishAndSaysWhy) {
    const std::string file = program.programFolder() + "/Language/Mine.lng";
    const std::string valid = "[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n13=B\r\n";
    enum Kind { File, Folder, Fifo };
    const struct {
        std::string bytes;
        Kind kind;
        const char* reason;  // "" for a usable file
    } cases[] = {{"\x9C\x01\xFF\x00[Ma\x80in\n\n=\xEE", File, "no [Main] section"},
                 {"", File, "no [Main] section"},
                 {"[LANGUAGE]\r\nCharacterSet=204\r\n[Tray]\r\n3=x\r\n", File, "no [Main] section"},
                 {"", Folder, "not a regular file"},
#ifndef _WIN32
                 {"", Fifo, "not a regular file"},
#endif
                 {std::string(kMaxSmallFileSize - valid.size() + 1, ' ') + valid, File,
                  "larger than 1048576 bytes"},
                 {std::string(kMaxSmallFileSize - valid.size(), ' ') + valid, File, ""}};
    program.writeHosts(kOriginal);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        std::filesystem::remove_all(pathOf(file));
        program.configure("Mine");
        view = RecordingView();
        if (c.kind == Fifo) {
#ifndef _WIN32
            EXPECT_FALSE(WaitedOnFifo(file, [&] { open().unload(); }));
#endif
        } else {
            c.kind == Folder ? (void)std::filesystem::create_directories(pathOf(file))
                             : writeFile(file, c.bytes);
            open().unload();
        }
        EXPECT_EQ(presenter->lblSettingsLanguage, "Mine");
        EXPECT_EQ(readFile(program.settingsPath()), "[Settings]\r\nLanguage=Mine\r\n");
        EXPECT_EQ(view.textOf(Control::cmdUnblockFB), *c.reason ? "&Unblock Facebook" : "");
        const std::vector<std::string> warning = {"Warning|Tavrin Hushgate|The language file " +
                                                  native(file) + " cannot be used: " + c.reason +
                                                  "; showing English."};
        EXPECT_EQ(view.said(), *c.reason ? warning : std::vector<std::string>{});
    }
}

TEST_F(MainPresenterTest, BlockAndUnblockRewriteTheFileAndAdvise) {
    program.writeHosts(kOriginal);
    open();
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{
                  "SetIcon", "applyTexts", "AttachMenuImages", "SetToolbarFlat", "DoEvents",
                  "GetIconsFromLibrary " + program.programFolder() + "/resources.dll", "showStatus",
                  "PlaceStateWord"}));
    presenter->blockClicked();
    EXPECT_EQ(program.hosts(), kTidied + allEntries());
    EXPECT_EQ(view.status.state, HostsState::Blocked);
    presenter->unblockClicked();
    EXPECT_EQ(program.hosts(), kTidied);
    EXPECT_EQ(view.status.state, HostsState::Unblocked);
    EXPECT_EQ(view.said(), std::vector<std::string>(
                               2, "Information|Tavrin Hushgate|" + std::string(kCloseBrowser)));
    // A failed change is told, and the window shows what is on disk.
    std::filesystem::remove(program.hostsPath());
    presenter->blockClicked();
    ASSERT_EQ(view.messages.size(), 3u);
    EXPECT_EQ(describe(view.messages[2]).find("Critical|Tavrin Hushgate|Cannot read "), 0u);
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
    open(&change).blockClicked();
    EXPECT_FALSE(view.blockEnabled || view.unblockEnabled || presenter->blockEnabled());
    presenter->blockClicked();
    presenter->unblockClicked();
    EXPECT_EQ(change.verbs, std::vector<HostsVerb>{HostsVerb::Block});
    program.writeHosts(kTidied + allEntries());
    presenter->hostsFileChanged();
    EXPECT_FALSE(view.blockEnabled || view.unblockEnabled);
    change.finish({});
    EXPECT_EQ(view.status.state, HostsState::Blocked);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(bytesOf(view.messages[0].text), kCloseBrowser);

    // Dismissed: nothing said, the buttons as the file is.
    presenter->unblockClicked();
    change.finish({HostsChangeOutcome::Result::Dismissed, true, 126, "", std::nullopt});
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_TRUE(view.unblockEnabled);
    // Done, but the file is gone since: why it cannot be read, then the advice.
    presenter->unblockClicked();
    std::filesystem::remove(program.hostsPath());
    change.finish({});
    ASSERT_EQ(view.messages.size(), 3u);
    EXPECT_EQ(describe(view.messages[1])
                  .find("Critical|Tavrin Hushgate|Cannot read " + program.hostsPath()),
              0u);
    EXPECT_EQ(view.status.state, HostsState::Unknown);
    // The window closed while a change ran: its end reaches no one.
    presenter->blockClicked();
    presenter.reset();
    view.calls.clear();
    change.finish({});
    EXPECT_TRUE(view.calls.empty());
}

// Each menu item and the link do their own command; toolbar keys only as
// the buttons carry them exactly.
TEST_F(MainPresenterTest, EachCommandDoesItsOwnThing) {
    const std::string home = "openAddress " + std::string(web::kHomePage),
                      social = "openAddress " + std::string(web::kSocialPage);
    MainPresenter& p = open();
    using M = MainPresenter;
    // clang-format off
    const std::pair<void (M::*)(), std::string> items[] = {
        {&M::webChosen, home}, {&M::linkClicked, home}, {&M::facebookChosen, social},
        {&M::donateChosen, "openAddress " + std::string(web::kDonatePage)},
        {&M::languageChosen, "showLanguageDialog"}, {&M::aboutChosen, "showAboutDialog"}};
    const std::pair<const char*, std::string> keys[] = {
        {"language", "showLanguageDialog"}, {"about", "showAboutDialog"}, {"web", home},
        {"facebook", social}, {"", ""}, {"Web", ""}, {" web", ""}, {"web ", ""}, {"ABOUT", ""},
        {"languages", ""}, {"faceboo", ""}, {"separator", ""}};
    // clang-format on
    for (const auto& [item, call] : items) {
        view.calls.clear();
        (p.*item)();
        EXPECT_EQ(view.calls, std::vector<std::string>{call});
    }
    for (const auto& [key, call] : keys) {
        view.calls.clear();
        p.toolbarButtonClicked(key);
        EXPECT_EQ(view.calls, call.empty() ? std::vector<std::string>{} : std::vector{call}) << key;
    }
}

// What a failed change says: the system's reason, then the original kept or
// the file unchanged, then what to do: rights only to a process without them,
// and for a file marked read-only how to clear the mark.
TEST(HostsMessages, SayWhatFailedAndWhatIsLeft) {
    using A = HostsError::Action;
    using K = HostsError::Kind;
    const LanguageFile english = LanguageFile::builtInEnglish();
#ifdef _WIN32
    const std::string rights = " Start Tavrin Hushgate as administrator to change it.";
    const std::string path = "C:\\Windows\\hosts", clear = "attrib -r \"C:\\Windows\\hosts\"";
#else
    const std::string rights = " Start Tavrin Hushgate as root to change it.";
    const std::string path = "/h h", clear = "chattr -i -a '/h h'";
#endif
    const std::string unchanged = " The hosts file is unchanged.";
    const std::string marked = path +
                               " is marked read-only, and Tavrin Hushgate leaves a file so marked "
                               "as it is. To clear the mark, run: " +
                               clear + unchanged;
    const struct {
        HostsError error;
        bool elevated;
        std::string says;
    } errors[] = {
        // clang-format off
        {{A::Read, K::NotFound, "/h", 2, "gone"}, false, "Cannot read /h: gone."},
        {{A::Write, K::DiskFull, "/h", 28, "full"}, false, "Cannot write /h: full." + unchanged},
        {{A::Write, K::Other, "/h", 5, "bad", "/h.b"}, false, "Cannot write /h: bad. The original is kept as /h.b and is put back by the next change of the file."},
        {{A::Write, K::PermissionDenied, "/h", 13, "no"}, false, "Cannot write /h: no." + unchanged + rights},
        {{A::Read, K::PermissionDenied, "/h", 13, "no"}, false, "Cannot read /h: no." + rights},
        {{A::Write, K::PermissionDenied, "/h", 13, "no"}, true, "Cannot write /h: no." + unchanged},
        {{A::Write, K::MarkedReadOnly, path, 1, "marked"}, false, marked},
        {{A::Write, K::ChangedByOther, "/h", 0, "changed"}, false, "Another program kept changing /h while it was being updated; nothing was written. Try again."},
        {{A::Write, K::HeldByOther, "/h", 42, "held"}, false, "/h is held by another program (pid 42); nothing was written. Try again."},
        {{A::Read, K::HeldByOther, "/h", 0, "held"}, false, "/h is held by another program; nothing was written. Try again."},
    };
    const std::pair<RecoveryNotice::What, std::string> notices[] = {
        {RecoveryNotice::What::Undone, "An interrupted change of /h was undone; the damaged copy was kept as /r."},
        {RecoveryNotice::What::SetAside, "A record of an interrupted change of /h does not fit the file as it is; the file was left alone and the record set aside as /r."},
        {RecoveryNotice::What::Ignored, "The record /r of a change of /h cannot be trusted (another owner, or open to others) and was ignored."},
    };
    // clang-format on
    for (const auto& [error, elevated, says] : errors) {
        EXPECT_EQ(bytesOf(DescribeHostsError(error, english, elevated)), says) << elevated;
    }
    for (const auto& [what, says] : notices) {
        EXPECT_EQ(bytesOf(RecoveryNoticeMessage({"/h", "/r", what}, english)), says);
    }
}

// The language named in config.ini, if it is a bare name with a file; else
// English. Captions, the state word and the message texts in the file's own
// bytes and character set; the charset step only on the state word; what
// the program says of its own in the language in force, or in English for a
// file from before those texts. Whatever was chosen is saved at exit;
// settings that cannot be saved are told, and the forms still unload.
TEST_F(MainPresenterTest, TextsComeFromTheLanguageInForceSavedAtExit) {
    writeFile(program.file("program/Language/Old.lng"),
              "[LANGUAGE]\r\nCharacterSet=0\r\n[Main]\r\n1=Fichier\r\n14=u\r\n15=c\r\n16=n\r\n"
              "17=d\r\n18=o\r\n[About]\r\n2=v\r\n");
    const struct {
        const char* configured;
        const char* inForce;
        int characterSet;
        const char* unblock;     // the button's caption
        const char* unknown;     // the state word
        const char* cannotRead;  // of the message that the file is missing
    } cases[] = {
        {"Russian", "Russian", 204, "&\xD0\xE0\xE7\xF0\xE5\xF8\xE8\xF2\xFC Facebook",
         "\xED\xE5\xE8\xE7\xE2\xE5\xF1\xF2\xED\xEE", ""},
        {"German", "German", 0, "Facebook &freigeben", "unbekannt", " kann nicht gelesen werden"},
        {"Old", "Old", 0, "u", "unknown", "Cannot read "},
        {"Klingon", "English", 0, "&Unblock Facebook", "unknown", "Cannot read "},
        {"../Language/German", "English", 0, "&Unblock Facebook", "unknown", "Cannot read "},
        {"", "English", 0, "&Unblock Facebook", "unknown", "Cannot read "}};
    for (const auto& c : cases) {
        program.configure(c.configured);
        view.texts.clear();
        view.messages.clear();
        open();
        EXPECT_EQ(presenter->lblSettingsLanguage, c.inForce);
        const auto inCharset = [&](const Text& text) {
            return std::any_of(
                text.pieces().begin(), text.pieces().end(),
                [&](const TextPiece& piece) { return piece.characterSet == c.characterSet; });
        };
        for (const TextStep& step : view.texts) {
            const bool stateWord = step.control == Control::lblStatusEnd;
            EXPECT_EQ(step.characterSet, stateWord ? std::optional(c.characterSet) : std::nullopt);
            EXPECT_TRUE(stateWord || step.text->empty() || inCharset(*step.text));
        }
        EXPECT_EQ(view.textOf(Control::cmdUnblockFB), c.unblock);
        EXPECT_EQ(view.status.stateWord, Text(c.unknown, c.characterSet));
        const MainPresenter& p = *presenter;
        EXPECT_TRUE(std::string(c.inForce) != "Old" ||
                    bytesOf(p.lblCloseBrowser_JP + p.lblNewVersion_JP + p.lblDownload_JP +
                            p.lblNoUpdate_JP + p.lblVersion_JP) == "cndov");
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_TRUE(inCharset(view.messages[0].text)) << c.configured;
        const std::string said = bytesOf(view.messages[0].text);
        EXPECT_NE(said.find(program.hostsPath()), std::string::npos) << said;
        EXPECT_NE(said.find(c.cannotRead), std::string::npos) << said;
        view.calls.clear();
        presenter->exitChosen();
        presenter->unload();
        EXPECT_EQ(view.calls, (std::vector<std::string>{"closeWindow", "UnloadAllForms"}));
        EXPECT_TRUE(presenter->SaveSettings());
        EXPECT_EQ(readFile(program.settingsPath()),
                  "[Settings]\r\nLanguage=" + std::string(c.inForce) + "\r\n");
    }
    std::filesystem::remove_all(program.file("config"));
    writeFile(program.file("config"), "a file where the settings folder should be");
    open().unload();
    EXPECT_EQ(
        describe(view.messages.back()).find("Warning|Tavrin Hushgate|Cannot save the settings to "),
        0u);
    EXPECT_EQ(view.calls.back(), "UnloadAllForms");
}

// The update check's evaluation and messages; the request is the view's.

class UpdateCheckTest : public ::testing::Test {
protected:
    RecordingView view;
    UpdateCheck check{view};
    UpdateCheckTexts texts{"Tavrin Hushgate", "New version available!",
                           "Version:", "Would you like to download it from our website?",
                           "No new updates available!"};

    void SetUp() override {
        check.settings.ownMajor = check.settings.ownMinor = 1;
        check.settings.homePage = "http://home.example";
    }
};

// What the version file says is EvaluateVersionText's; here, what the user
// is told, and that Yes opens the home page.
TEST_F(UpdateCheckTest, AnswersAreEvaluated) {
    const struct {
        std::optional<std::string> body;  // nullopt: the request failed
        std::optional<UpdateOutcome> outcome;
        const char* shown;  // nullptr: no message
        MessageAnswer answer = MessageAnswer::No;
    } cases[] = {
        // clang-format off
        {"1.2", UpdateOutcome::NewVersion, "Question|Tavrin Hushgate|New version available!\nVersion: 1.2\n\nWould you like to download it from our website?|YesNo"},
        {"1.1", UpdateOutcome::NoUpdate, "Information|Tavrin Hushgate|No new updates available!"},
        {"\xFF junk 2.0", UpdateOutcome::NoUpdate, "Information|Tavrin Hushgate|No new updates available!"},
        {std::nullopt, UpdateOutcome::Failed, nullptr},
        {"1.10", UpdateOutcome::NewVersion, "Question|Tavrin Hushgate|New version available!\nVersion: 1.10\n\nWould you like to download it from our website?|YesNo", MessageAnswer::Yes},
    };
    // clang-format on
    for (const auto& c : cases) {
        view.messages.clear();
        view.calls.clear();
        view.answer = c.answer;
        check.start();
        EXPECT_EQ(view.calls.back(), "startVersionRequest " + check.settings.versionFile);
        EXPECT_EQ(check.answered(view.check, c.body, texts), c.outcome)
            << c.body.value_or("(failed)");
        EXPECT_EQ(check.answered(view.check, "2.0", texts), std::nullopt);  // once only
        EXPECT_EQ(view.said(),
                  c.shown ? std::vector<std::string>{c.shown} : std::vector<std::string>{});
        EXPECT_FALSE(check.isWaiting());
        EXPECT_EQ(view.calls.back() == "openAddress http://home.example",
                  c.answer == MessageAnswer::Yes);
    }
}

// Only the newest check counts: an earlier one's answer, late or arriving
// while the newer one's message is open, is never evaluated; the check
// waits until its message is closed.
TEST_F(UpdateCheckTest, OnlyTheNewestCheckIsAnswered) {
    check.start();
    const std::uint64_t first = view.check;
    check.start();
    EXPECT_EQ(check.answered(first, "1.2", texts), std::nullopt);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(check.isWaiting());

    const std::uint64_t second = view.check;
    bool waitingWhileShown = false;
    view.whileMessageShown = [&] {
        waitingWhileShown = check.isWaiting();
        check.start();  // the user asks again while the message is open
    };
    EXPECT_EQ(check.answered(second, "1.1", texts), UpdateOutcome::NoUpdate);
    EXPECT_TRUE(waitingWhileShown);
    EXPECT_TRUE(check.isWaiting());  // the third check runs on
    EXPECT_EQ(check.answered(second, "1.2", texts), std::nullopt);
    EXPECT_EQ(view.messages.size(), 1u);
}

}  // namespace
}  // namespace hushgate::test
