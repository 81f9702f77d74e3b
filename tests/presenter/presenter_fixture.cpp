#include "presenter_fixture.h"

#include <utility>

namespace hushgate {

void PrintTo(const Message& message, std::ostream* out) {
    *out << test::describe(message);
}

}  // namespace hushgate

namespace hushgate::test {

std::string bytesOf(const Text& text) {
    std::string bytes;
    for (const TextPiece& piece : text.pieces()) {
        bytes += piece.bytes;
    }
    return bytes;
}

std::string describe(const Message& message) {
    static const char* const icons[] = {"Information", "Warning", "Critical", "Question"};
    return std::string(icons[static_cast<int>(message.icon)]) + "|" + bytesOf(message.title) + "|" +
           bytesOf(message.text) + (message.buttons == MessageButtons::YesNo ? "|YesNo" : "");
}

ProgramPaths pathsOf(const TestProgram& program) {
    return {program.programFolder(), program.settingsPath(), program.hostsPath(), LineEnd::Lf};
}

MessageAnswer RecordingView::showMessage(const Message& message) {
    calls.push_back("showMessage");
    messages.push_back(message);
    if (whileMessageShown) {
        std::exchange(whileMessageShown, {})();
    }
    return message.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
}

std::string RecordingView::textOf(Control control) const {
    for (auto step = texts.rbegin(); step != texts.rend(); ++step) {
        if (step->control == control && step->text) {
            return bytesOf(*step->text);
        }
    }
    return "(none)";
}

}  // namespace hushgate::test
