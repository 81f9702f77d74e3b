#pragma once

// Keys of the [Messages] section of the language files: the program's own
// messages, besides the texts of the windows. Each key is stable; its English
// text is in English.lng (and compiled into the program), and a language file
// without the key shows that English text (LanguageFile::message).
// Placeholders: %1, %2 as noted, filled with Text::arg.
namespace hushgate::messages {

inline constexpr const char* kSection = "Messages";

// Reading and writing the hosts file. %1 file, %2 the system's reason.
inline constexpr const char* kReadFailed = "ReadFailed";
inline constexpr const char* kWriteFailed = "WriteFailed";
// %1 file: another program kept rewriting it while we tried to.
inline constexpr const char* kChangedByOther = "ChangedByOther";
// %1 the saved copy of the original file.
inline constexpr const char* kOriginalSaved = "OriginalSaved";
inline constexpr const char* kFileUnchanged = "FileUnchanged";
inline constexpr const char* kNeedRoot = "NeedRoot";
inline constexpr const char* kNeedAdministrator = "NeedAdministrator";
// %1 file, %2 reason.
inline constexpr const char* kSettingsNotSaved = "SettingsNotSaved";
// %1 the Language folders looked in.
inline constexpr const char* kLanguageFilesMissing = "LanguageFilesMissing";
// %1 the language file, %2 why it cannot be used.
inline constexpr const char* kLanguageFileDamaged = "LanguageFileDamaged";
// The icon library: none found; %1 one found, %2 why it cannot be used.
inline constexpr const char* kResourcesMissing = "ResourcesMissing";
inline constexpr const char* kResourcesDamaged = "ResourcesDamaged";
// The status line's tool tip: %1 entries of %2 in the hosts file.
inline constexpr const char* kPartlyBlocked = "PartlyBlocked";

// Outcomes of a change made with administrator rights. %1 the reason.
inline constexpr const char* kChangeNotAllowed = "ChangeNotAllowed";
inline constexpr const char* kChangeFailed = "ChangeFailed";
// %1 the missing program (pkexec) or helper.
inline constexpr const char* kPkexecMissing = "PkexecMissing";
inline constexpr const char* kHelperMissing = "HelperMissing";
// %1 the hosts file, %2 the damaged copy kept beside it.
inline constexpr const char* kChangeRolledBack = "ChangeRolledBack";

// %1 file, %2 " (pid N)" or nothing: another run of ours kept the file.
inline constexpr const char* kHeldByOther = "HeldByOther";
// %1 the hosts file, %2 the record: set aside as not fitting the file, or
// ignored as not to be trusted.
inline constexpr const char* kRecordSetAside = "RecordSetAside";
inline constexpr const char* kRecordIgnored = "RecordIgnored";

// Message-box buttons, for a language Qt itself has no translation of.
inline constexpr const char* kButtonOK = "ButtonOK";
inline constexpr const char* kButtonYes = "ButtonYes";
inline constexpr const char* kButtonNo = "ButtonNo";

// %1 file, %2 the command that clears its read-only mark.
inline constexpr const char* kMarkedReadOnly = "MarkedReadOnly";

inline constexpr const char* kAll[] = {
    kReadFailed,        kWriteFailed,      kChangedByOther,
    kOriginalSaved,     kFileUnchanged,    kNeedRoot,
    kNeedAdministrator, kSettingsNotSaved, kLanguageFilesMissing,
    kChangeNotAllowed,  kChangeFailed,     kPkexecMissing,
    kHelperMissing,     kChangeRolledBack, kButtonOK,
    kButtonYes,         kButtonNo,         kLanguageFileDamaged,
    kResourcesMissing,  kResourcesDamaged, kPartlyBlocked,
    kMarkedReadOnly,    kHeldByOther,      kRecordSetAside,
    kRecordIgnored,
};

}  // namespace hushgate::messages
