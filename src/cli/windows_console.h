#pragma once

// Windows' side of the command line: arguments arrive in UTF-16 (wmain), and
// text meant for a console window goes to it as UTF-16, so that any file
// name is passed and shown as it is, whatever the code page.

#include <memory>
#include <string>
#include <vector>

namespace hushgate::cli {

// The arguments after the program's name, in UTF-8 as the engine takes paths.
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv);

// While it lives, std::cout and std::cerr write to a console window through
// WriteConsoleW, which shows every character; redirected to a file or a
// pipe they write their UTF-8 bytes unchanged (lines ending in CR LF).
class ConsoleOutput {
public:
    ConsoleOutput();
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

private:
    struct Stream;
    std::vector<std::unique_ptr<Stream>> streams_;
};

}  // namespace hushgate::cli
