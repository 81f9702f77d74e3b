// Access keys given to the menu captions, which come without them.

#include "access_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hushgate {
namespace {

using Captions = std::vector<std::u16string>;

// Splits "a|b" at `at`.
Captions split(std::u16string_view text, char16_t at = u'|') {
    Captions parts(1);
    for (const char16_t c : text) {
        if (c == at) {
            parts.emplace_back();
        } else {
            parts.back().push_back(c);
        }
    }
    return parts;
}

Captions unmarked(Captions captions) {
    for (std::u16string& caption : captions) {
        caption.erase(caption.find(u'&'), 1);
    }
    return captions;
}

// The menus of every language file, as the window marks them: the Block and
// Unblock buttons (marked in the files), the menu bar (whose keys must not
// clash with the buttons'), File's item and Help's items, groups apart by
// '/'. Without the '&' the menus' captions are the files'.
const std::u16string_view kLanguages[] = {
    u"&Block Facebook|&Unblock Facebook/&File|&Help/&Exit/&Check for updates...|C&hange "
    u"language|&Donate...|&Web...|&About...|&Follow me on Facebook...",  // English
    u"&Bloquer Facebook|&Débloquer Facebook/&Fichier|&Aide/&Quitter/&Rechercher des mises à "
    u"jour...|&Changer de langue|&Faire un don...|&Site web...|À &propos...|S&uivez-moi sur "
    u"Facebook...",  // French
    u"Facebook &sperren|Facebook &freigeben/&Datei|&Hilfe/&Beenden/&Nach Updates "
    u"suchen...|&Sprache ändern|S&penden...|&Website...|Ü&ber...|&Folgen Sie mir auf "
    u"Facebook...",  // German
    u"&Αποκλεισμός Facebook|Ά&ρση αποκλεισμού/Αρ&χείο|&Βοήθεια/Έ&ξοδος/Έ&λεγχος για "
    u"ενημερώσεις...|&Αλλαγή γλώσσας|&Δωρεά...|&Ιστότοπος...|&Πληροφορίες...|Α&κολουθήστε με "
    u"στο Facebook...",  // Greek
    u"&Blocca Facebook|&Sblocca Facebook/&File|&Aiuto/&Esci/&Controlla "
    u"aggiornamenti...|C&ambia lingua|&Fai una donazione...|&Sito "
    u"web...|&Informazioni...|S&eguimi su Facebook...",  // Italian
    u"&Zablokuj Facebook|&Odblokuj Facebook/&Plik|Po&moc/&Zakończ/&Sprawdź "
    u"aktualizacje...|&Zmień język|&Przekaż darowiznę...|S&trona WWW...|&O "
    u"programie...|O&bserwuj mnie na Facebooku...",  // Polish
    u"&Bloquear Facebook|&Permitir Facebook/&Arquivo|A&juda/&Sair/&Verificar "
    u"atualizações...|&Mudar idioma|&Fazer uma doação...|&Site...|S&obre...|S&iga-me no "
    u"Facebook...",  // Portuguese
    u"&Запретить Facebook|&Разрешить Facebook/&Файл|&Справка/&Выход/&Проверить "
    u"обновления...|&Сменить язык|П&ожертвовать...|&Веб-сайт...|О п&рограмме...|С&ледите за "
    u"мной в Facebook...",  // Russian
    u"&Bloquear Facebook|&Permitir Facebook/&Archivo|A&yuda/&Salir/&Buscar "
    u"actualizaciones...|&Cambiar idioma|&Donar...|&Sitio web...|&Acerca de...|Sí&gueme en "
    u"Facebook...",  // Spanish
    u"Facebook'u &engelle|Facebook'a &izin ver/&Dosya|&Yardım/Çı&kış/&Güncellemeleri "
    u"denetle...|&Dili değiştir|&Bağış yap...|&Web sitesi...|&Hakkında...|B&eni Facebook'ta "
    u"takip edin...",  // Turkish
    u"&Заборонити Facebook|&Дозволити Facebook/&Файл|Д&овідка/&Вихід/&Перевірити "
    u"оновлення...|&Змінити мову|П&ожертвувати...|&Веб-сайт...|П&ро програму...|&Стежте за "
    u"мною у Facebook...",  // Ukrainian
};

TEST(AccessKeys, EveryLanguageGetsDistinctKeysInEachGroup) {
    for (const std::u16string_view language : kLanguages) {
        std::vector<Captions> groups;
        for (const std::u16string& group : split(language, u'/')) {
            groups.push_back(split(group));
        }
        std::u16string taken;
        for (const std::u16string& button : groups[0]) {
            taken += MarkedAccessKey(button);
        }
        EXPECT_EQ(WithAccessKeys(unmarked(groups[1]), taken), groups[1]);
        EXPECT_EQ(WithAccessKeys(unmarked(groups[2])), groups[2]);
        EXPECT_EQ(WithAccessKeys(unmarked(groups[3])), groups[3]);
    }
}

TEST(AccessKeys, ClashesMarksAndCaptionsWithoutAFreeLetter) {
    const struct {
        Captions captions;
        std::u16string taken;
        Captions expected;
    } rows[] = {
        {{u"Ab", u"a", u"B"}, u"", {u"&Ab", u"a", u"&B"}},       // a's only letter is gone
        {{u"xy", u"Xz"}, u"Y", {u"&xy", u"X&z"}},                // taken in either case
        {{u"ab", u"&a"}, u"", {u"a&b", u"&a"}},                  // a later mark still wins
        {{u"&&a", u"a&&b"}, u"", {u"&&&a", u"a&&&b"}},           // "&&" marks nothing
        {{u"...", u"", u"12 -"}, u"", {u"...", u"", u"12 -"}},   // no letters
        {{u"éa", u"éb", u"é"}, u"ab", {u"&éa", u"éb", u"é"}},    // accents after plain letters
        {{u"ΣΣς", u"ΑΆ"}, u"σα", {u"ΣΣς", u"Α&Ά"}},              // final sigma is sigma
        {{u"Ёё", u"Ii", u"İı"}, u"i", {u"&Ёё", u"Ii", u"&İı"}},  // no Turkish case pairs
    };
    for (const auto& row : rows) {
        EXPECT_EQ(WithAccessKeys(row.captions, row.taken), row.expected);
    }
}

// The letter table over all of UTF-16: upper and lower case of each script's
// letters name one key, every key is its own lower case, and nothing
// outside the scripts of the language files (signs, digits, CJK) is a key.
TEST(AccessKeys, LetterTableOverTheWholeRange) {
    const auto key = [](char32_t c) {
        return MarkedAccessKey(std::u16string{u'&', static_cast<char16_t>(c)});
    };
    // Each script's first and last case pair, and those that break a run.
    const std::pair<char16_t, char16_t> pairs[] = {
        {u'A', u'a'},   {u'Z', u'z'},   {0xC0, 0xE0},   {0xDE, 0xFE},   {0x100, 0x101},
        {0x139, 0x13A}, {0x14A, 0x14B}, {0x178, 0xFF},  {0x17D, 0x17E}, {0x386, 0x3AC},
        {0x38C, 0x3CC}, {0x38F, 0x3CE}, {0x391, 0x3B1}, {0x3A9, 0x3C9}, {0x400, 0x450},
        {0x42F, 0x44F}, {0x4C1, 0x4C2}, {0x4D0, 0x4D1}};
    for (const auto& [upper, lower] : pairs) {
        EXPECT_EQ(key(upper), lower) << std::hex << int(upper);
        EXPECT_EQ(key(lower), lower) << std::hex << int(lower);
    }
    int letters = 0;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const char16_t k = key(c);
        const bool inScripts = (c >= u'A' && c <= u'z') || (c >= 0xC0 && c <= 0x17F) ||
                               (c >= 0x386 && c <= 0x3CE) || (c >= 0x400 && c <= 0x4FF);
        ASSERT_TRUE(k == 0 || (inScripts && key(k) == k)) << std::hex << int(c);
        letters += k != 0;
    }
    // 52 ASCII, 62 Latin-1, 128 Latin Extended-A, 69 Greek, 246 Cyrillic.
    EXPECT_EQ(letters, 52 + 62 + 128 + 69 + 246);
    for (const char16_t sign : {u'@', u'[', u'`', u'{', u'\u00D7', u'\u00F7', u'\u0387', u'\u03A2',
                                u'\u0482', u'\u04C0', u'\u4E00'}) {
        EXPECT_EQ(key(sign), 0) << std::hex << int(sign);
    }
}

}  // namespace
}  // namespace hushgate
