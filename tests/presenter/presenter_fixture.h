#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "about_presenter.h"
#include "language_presenter.h"
#include "main_presenter.h"
#include "test_support.h"

namespace hushgate::test {

// A text's bytes, whatever their encoding: enough for English and for
// comparing with a file's own bytes.
inline std::string bytesOf(const Text& text) {
    std::string bytes;
    for (const TextPiece& piece : text.pieces()) {
        bytes += piece.bytes;
    }
    return bytes;
}

// A message's icon, title and text bytes, one line: "Critical|title|text".
inline std::string describe(const Message& message) {
    static const char* const icons[] = {"Information", "Warning", "Critical", "Question"};
    return std::string(icons[static_cast<int>(message.icon)]) + "|" + bytesOf(message.title) + "|" +
           bytesOf(message.text) + (message.buttons == MessageButtons::YesNo ? "|YesNo" : "");
}

// Every call a presenter makes on its view as one line ("closeDialog",
// "openAddress http://..."), what the tests look at more closely, and the
// answers a test gives to message boxes.
class RecordingView : public MainView, public AboutView, public LanguageView {
public:
    std::vector<std::string> calls;
    std::vector<TextStep> texts;      // every step applied, in order
    std::vector<Message> messages;    // every message shown
    std::vector<std::string> listed;  // the language list
    StatusDisplay status;
    bool blockEnabled = false, unblockEnabled = false, applyEnabled = false;
    bool libraryUsable = true;
    int selected = -1;
    std::uint64_t check = 0;  // of the last version request
    MessageAnswer answer = MessageAnswer::Ok;
    std::function<void()> whileMessageShown;  // runs inside showMessage

    // MainView
    void SetIcon() override { calls.push_back("SetIcon"); }
    void AttachMenuImages() override { calls.push_back("AttachMenuImages"); }
    void SetToolbarFlat() override { calls.push_back("SetToolbarFlat"); }
    void DoEvents() override { calls.push_back("DoEvents"); }
    bool GetIconsFromLibrary(const std::string& path) override {
        calls.push_back("GetIconsFromLibrary " + path);
        return libraryUsable;
    }
    void PlaceStateWord() override { calls.push_back("PlaceStateWord"); }
    void applyTexts(const TextSteps& steps) override {
        calls.push_back("applyTexts");
        texts.insert(texts.end(), steps.begin(), steps.end());
    }
    void showStatus(const StatusDisplay& display) override {
        calls.push_back("showStatus");
        status = display;
        setCommandsEnabled(display.blockEnabled, display.unblockEnabled);
    }
    void setCommandsEnabled(bool block, bool unblock) override {
        blockEnabled = block;
        unblockEnabled = unblock;
    }
    MessageAnswer showMessage(const Message& message) override {
        calls.push_back("showMessage");
        messages.push_back(message);
        if (whileMessageShown) {
            std::exchange(whileMessageShown, {})();
        }
        return message.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
    }
    void openAddress(const Text& address) override {
        calls.push_back("openAddress " + bytesOf(address));
    }
    void showLanguageDialog() override { calls.push_back("showLanguageDialog"); }
    void showAboutDialog() override { calls.push_back("showAboutDialog"); }
    void startVersionRequest(std::uint64_t request, const std::string& url) override {
        check = request;
        calls.push_back("startVersionRequest " + url);
    }
    void closeWindow() override { calls.push_back("closeWindow"); }
    void UnloadAllForms() override { calls.push_back("UnloadAllForms"); }
    // AboutView
    void PlaceVersionNumber() override { calls.push_back("PlaceVersionNumber"); }
    // LanguageView
    void setLanguageList(const std::vector<std::string>& names) override {
        listed = names;
        selected = -1;
    }
    void selectLanguage(int index) override { selected = index; }
    void setApplyEnabled(bool enabled) override { applyEnabled = enabled; }
    void closeDialog() override { calls.push_back("closeDialog"); }

    // Every message shown, as describe() gives it.
    std::vector<std::string> said() const {
        std::vector<std::string> lines;
        for (const Message& message : messages) {
            lines.push_back(describe(message));
        }
        return lines;
    }
    // The last text given to `control`.
    std::string textOf(Control control) const {
        for (auto step = texts.rbegin(); step != texts.rend(); ++step) {
            if (step->control == control && step->text) {
                return bytesOf(*step->text);
            }
        }
        return "(none)";
    }
};

}  // namespace hushgate::test

namespace hushgate {

// How GoogleTest prints a message when an expectation fails.
inline void PrintTo(const Message& message, std::ostream* out) {
    *out << test::describe(message);
}

}  // namespace hushgate
