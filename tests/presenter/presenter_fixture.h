#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "about_presenter.h"
#include "language_presenter.h"
#include "main_presenter.h"
#include "test_files.h"

namespace hushgate {

// How GoogleTest prints them when an expectation fails.
void PrintTo(const TextPiece& piece, std::ostream* out);
void PrintTo(const Text& text, std::ostream* out);
void PrintTo(const TextStep& step, std::ostream* out);
void PrintTo(const Message& message, std::ostream* out);
void PrintTo(const StatusDisplay& status, std::ostream* out);

}  // namespace hushgate

namespace hushgate::test {

// A text of a Western language file, as English.lng gives it.
inline Text western(const char* bytes) {
    return Text(bytes, 0);
}

// A message's icon, title and text bytes, one line: "Critical|title|text".
std::string describe(const Message& message);

// A text's bytes, whatever their encoding: enough for English and for
// comparing with a file's own bytes.
std::string bytesOf(const Text& text);

// A program folder with copies of the shipped language files (all, or the
// ones named), a settings file location and a hosts file, in a temporary
// folder.
class TestProgram {
public:
    explicit TestProgram(std::vector<std::string> languages = {});

    ProgramPaths paths() const;
    std::string file(std::string_view name) const { return dir_.file(name); }
    std::string programFolder() const { return dir_.file("program"); }
    std::string hostsPath() const { return dir_.file("hosts"); }
    std::string settingsPath() const { return dir_.file("config/config.ini"); }
    void writeHosts(std::string_view bytes) const { writeFile(hostsPath(), bytes); }
    std::string hosts() const { return readFile(hostsPath()); }
    // [Settings] Language=`language`
    void configure(std::string_view language) const;

    static const std::vector<std::string> kShipped;

private:
    TempFolder dir_;
};

// All block entries, each followed by LF.
std::string allEntries();

// Every call a presenter makes on its view, as one line each, and the
// answers a test gives to message boxes.
class RecordingView : public MainView, public AboutView, public LanguageView {
public:
    std::vector<std::string> calls;
    std::vector<TextStep> texts;      // every step applied, in order
    std::vector<Message> messages;    // every message shown
    std::vector<std::string> opened;  // addresses, their bytes
    std::vector<std::string> listed;  // the language list
    StatusDisplay status;
    bool blockEnabled = false;
    bool unblockEnabled = false;
    bool applyEnabled = false;
    int selected = -1;
    bool libraryUsable = true;
    std::uint64_t check = 0;  // of the last version request
    std::string versionUrl;
    MessageAnswer answer = MessageAnswer::Ok;
    std::function<void()> whileMessageShown;  // runs inside showMessage

    // MainView
    void SetIcon() override { calls.push_back("SetIcon"); }
    void AttachMenuImages() override { calls.push_back("AttachMenuImages"); }
    void SetToolbarFlat() override { calls.push_back("SetToolbarFlat"); }
    void DoEvents() override { calls.push_back("DoEvents"); }
    bool GetIconsFromLibrary(const std::string& path) override;
    void PlaceStateWord() override { calls.push_back("PlaceStateWord"); }
    void applyTexts(const TextSteps& steps) override;
    void showStatus(const StatusDisplay& display) override;
    void setCommandsEnabled(bool block, bool unblock) override;
    MessageAnswer showMessage(const Message& message) override;
    void openAddress(const Text& address) override;
    void showLanguageDialog() override { calls.push_back("showLanguageDialog"); }
    void showAboutDialog() override { calls.push_back("showAboutDialog"); }
    void startVersionRequest(std::uint64_t request, const std::string& url) override;
    void closeWindow() override { calls.push_back("closeWindow"); }
    void UnloadAllForms() override { calls.push_back("UnloadAllForms"); }
    // AboutView
    void PlaceVersionNumber() override { calls.push_back("PlaceVersionNumber"); }
    // LanguageView
    void setLanguageList(const std::vector<std::string>& names) override;
    void selectLanguage(int index) override;
    void setApplyEnabled(bool enabled) override { applyEnabled = enabled; }
    void closeDialog() override { calls.push_back("closeDialog"); }

    // The last text given to `control`, and its last charset step.
    std::string textOf(Control control) const;
    std::optional<int> charsetOf(Control control) const;
};

}  // namespace hushgate::test
