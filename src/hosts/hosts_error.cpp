#include "hosts_error.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace hushgate {

namespace {

// Reasons come from the system; some (on Windows) hold line breaks.
std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
    return out;
}

std::string composeMessage(HostsError::Action action, const std::string& path,
                           const std::string& reason, const std::string& backupPath) {
    std::string message = action == HostsError::Action::Read ? "cannot read " : "cannot write ";
    message += EscapeControlCharacters(path);
    message += ": ";
    message += oneLine(reason);
    if (!backupPath.empty()) {
        message += "; the original is kept in ";
        message += EscapeControlCharacters(backupPath);
        message += " and is put back by the next run that may change the file";
    }
    return message;
}

}  // namespace

std::string EscapeControlCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string ClearReadOnlyCommand(const std::string& path) {
#ifdef _WIN32
    // cmd takes a quoted name whole; a file name cannot hold a quote.
    return "attrib -r \"" + path + "\"";
#else
    // Plain names as they are; any other in single quotes, a quote in it
    // closed, escaped and reopened, so the line can be pasted into a shell.
    const bool plain = !path.empty() && path.find_first_not_of(
                                            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                            "0123456789/._-+,:@%") == std::string::npos;
    std::string command = "chattr -i -a ";
    if (plain) {
        command += path;
        return command;
    }
    command += '\'';
    for (char c : path) {
        command += c == '\'' ? std::string_view("'\\''") : std::string_view(&c, 1);
    }
    command += '\'';
    return command;
#endif
}

std::string MarkedReadOnlyReason(const std::string& path) {
#ifdef _WIN32
    const char* mark = "the file is marked read-only (the read-only attribute)";
#else
    const char* mark = "the file is marked read-only (immutable or append-only, chattr)";
#endif
    return std::string(mark) +
           ", which administrator rights do not override; nothing was written. To clear the "
           "mark: " +
           ClearReadOnlyCommand(path);
}

bool RunsWithAdministratorRights() {
#ifdef _WIN32
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
        elevation.TokenIsElevated != 0;
    CloseHandle(token);
    return elevated;
#else
    return ::geteuid() == 0;
#endif
}

std::string DescribeSize(std::uint64_t bytes) {
    static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

HostsError::HostsError(Action action, Kind kind, std::string path, int osError, std::string reason,
                       std::string backupPath)
    : HostsError(composeMessage(action, path, reason, backupPath), action, kind, path, osError,
                 reason, backupPath) {}

HostsError::HostsError(const std::string& message, Action action, Kind kind,
                       const std::string& path, int osError, const std::string& reason,
                       const std::string& backupPath)
    : std::runtime_error(message),
      action_(action),
      kind_(kind),
      path_(path),
      osError_(osError),
      reason_(reason),
      backupPath_(backupPath) {}

HostsError HostsError::OutOfMemory(Action action, std::string path, std::uint64_t size) {
    std::string message =
        action == Action::Read ? "not enough memory to read " : "not enough memory to change ";
    message += EscapeControlCharacters(path) + " (" + DescribeSize(size) + ")";
    return HostsError(message, action, Kind::OutOfMemory, path, 0, "not enough memory", {});
}

}  // namespace hushgate
