#include "presenter_fixture.h"

#include <filesystem>

#include "block_list.h"

namespace hushgate {

void PrintTo(const TextPiece& piece, std::ostream* out) {
    *out << "[" << piece.characterSet << "]\"" << piece.bytes << "\"";
}

void PrintTo(const Text& text, std::ostream* out) {
    for (const TextPiece& piece : text.pieces()) {
        PrintTo(piece, out);
    }
    if (text.empty()) {
        *out << "(empty)";
    }
}

void PrintTo(const TextStep& step, std::ostream* out) {
    *out << "control " << static_cast<int>(step.control) << ": ";
    if (step.text) {
        PrintTo(*step.text, out);
    }
    if (step.characterSet) {
        *out << " charset " << *step.characterSet;
    }
}

void PrintTo(const Message& message, std::ostream* out) {
    *out << test::describe(message);
}

void PrintTo(const StatusDisplay& status, std::ostream* out) {
    *out << "state " << static_cast<int>(status.state) << " pictures " << status.imgBlocked
         << status.imgUnblocked << status.imgStatusBlocked << status.imgStatusUnblocked
         << " buttons " << status.blockEnabled << status.unblockEnabled << " word ";
    PrintTo(status.stateWord, out);
}

}  // namespace hushgate

namespace hushgate::test {

std::string describe(const Message& message) {
    static const char* const icons[] = {"Information", "Warning", "Critical", "Question"};
    return std::string(icons[static_cast<int>(message.icon)]) + "|" + bytesOf(message.title) + "|" +
           bytesOf(message.text) + (message.buttons == MessageButtons::YesNo ? "|YesNo" : "");
}

std::string bytesOf(const Text& text) {
    std::string bytes;
    for (const TextPiece& piece : text.pieces()) {
        bytes += piece.bytes;
    }
    return bytes;
}

const std::vector<std::string> TestProgram::kShipped = {
    "English", "German",  "French",    "Spanish", "Italian", "Portuguese",
    "Polish",  "Russian", "Ukrainian", "Greek",   "Turkish"};

TestProgram::TestProgram(std::vector<std::string> languages) {
    std::filesystem::create_directories(pathOf(file("program/Language")));
    for (const std::string& name : languages.empty() ? kShipped : languages) {
        writeFile(file("program/Language/" + name + ".lng"),
                  readFile(HUSHGATE_LANGUAGE_DIR "/" + name + ".lng"));
    }
}

ProgramPaths TestProgram::paths() const {
    return {programFolder(), settingsPath(), hostsPath(), LineEnd::Lf};
}

void TestProgram::configure(std::string_view language) const {
    std::filesystem::create_directories(pathOf(file("config")));
    writeFile(settingsPath(), "[Settings]\r\nLanguage=" + std::string(language) + "\r\n");
}

std::string allEntries() {
    std::string bytes;
    for (std::string_view entry : BlockEntries()) {
        bytes += std::string(entry) + "\n";
    }
    return bytes;
}

bool RecordingView::GetIconsFromLibrary(const std::string& path) {
    calls.push_back("GetIconsFromLibrary " + path);
    return libraryUsable;
}

void RecordingView::applyTexts(const TextSteps& steps) {
    calls.push_back("applyTexts");
    texts.insert(texts.end(), steps.begin(), steps.end());
}

void RecordingView::showStatus(const StatusDisplay& display) {
    calls.push_back("showStatus");
    status = display;
    blockEnabled = display.blockEnabled;
    unblockEnabled = display.unblockEnabled;
}

void RecordingView::setCommandsEnabled(bool block, bool unblock) {
    blockEnabled = block;
    unblockEnabled = unblock;
}

MessageAnswer RecordingView::showMessage(const Message& message) {
    calls.push_back("showMessage");
    messages.push_back(message);
    if (whileMessageShown) {
        std::exchange(whileMessageShown, {})();
    }
    return message.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
}

void RecordingView::openAddress(const Text& address) {
    opened.push_back(bytesOf(address));
}

void RecordingView::startVersionRequest(std::uint64_t request, const std::string& url) {
    calls.push_back("startVersionRequest");
    check = request;
    versionUrl = url;
}

void RecordingView::setLanguageList(const std::vector<std::string>& names) {
    listed = names;
    selected = -1;
}

void RecordingView::selectLanguage(int index) {
    selected = index;
}

std::string RecordingView::textOf(Control control) const {
    for (auto step = texts.rbegin(); step != texts.rend(); ++step) {
        if (step->control == control && step->text) {
            return bytesOf(*step->text);
        }
    }
    return "(none)";
}

std::optional<int> RecordingView::charsetOf(Control control) const {
    for (auto step = texts.rbegin(); step != texts.rend(); ++step) {
        if (step->control == control && step->characterSet) {
            return step->characterSet;
        }
    }
    return std::nullopt;
}

}  // namespace hushgate::test
