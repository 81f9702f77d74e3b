// Access keys given to the menu captions, which come without them.

#include "access_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hushgate {
namespace {

using Captions = std::vector<std::u16string>;

Captions unmarked(Captions captions) {
    for (std::u16string& caption : captions) {
        caption.erase(caption.find(u'&'), 1);
    }
    return captions;
}

// The menus of every language file: the menu bar (whose keys must not clash
// with the Block and Unblock buttons'), File's item and Help's items. The
// expected captions show the keys; without their '&' they are the files'.
struct Language {
    const char* name;
    Captions buttons, bar, file, help;
};
const Language kLanguages[] = {
    {"English",
     {u"&Block Facebook", u"&Unblock Facebook"},
     {u"&File", u"&Help"},
     {u"&Exit"},
     {u"&Check for updates...", u"C&hange language", u"&Donate...", u"&Web...", u"&About...",
      u"&Follow me on Facebook..."}},
    {"French",
     {u"&Bloquer Facebook", u"&Débloquer Facebook"},
     {u"&Fichier", u"&Aide"},
     {u"&Quitter"},
     {u"&Rechercher des mises à jour...", u"&Changer de langue", u"&Faire un don...",
      u"&Site web...", u"À &propos...", u"S&uivez-moi sur Facebook..."}},
    {"German",
     {u"Facebook &sperren", u"Facebook &freigeben"},
     {u"&Datei", u"&Hilfe"},
     {u"&Beenden"},
     {u"&Nach Updates suchen...", u"&Sprache ändern", u"S&penden...", u"&Website...", u"Ü&ber...",
      u"&Folgen Sie mir auf Facebook..."}},
    {"Greek",
     {u"&Αποκλεισμός Facebook", u"Ά&ρση αποκλεισμού"},
     {u"Αρ&χείο", u"&Βοήθεια"},
     {u"Έ&ξοδος"},
     {u"Έ&λεγχος για ενημερώσεις...", u"&Αλλαγή γλώσσας", u"&Δωρεά...", u"&Ιστότοπος...",
      u"&Πληροφορίες...", u"Α&κολουθήστε με στο Facebook..."}},
    {"Italian",
     {u"&Blocca Facebook", u"&Sblocca Facebook"},
     {u"&File", u"&Aiuto"},
     {u"&Esci"},
     {u"&Controlla aggiornamenti...", u"C&ambia lingua", u"&Fai una donazione...", u"&Sito web...",
      u"&Informazioni...", u"S&eguimi su Facebook..."}},
    {"Polish",
     {u"&Zablokuj Facebook", u"&Odblokuj Facebook"},
     {u"&Plik", u"Po&moc"},
     {u"&Zakończ"},
     {u"&Sprawdź aktualizacje...", u"&Zmień język", u"&Przekaż darowiznę...", u"S&trona WWW...",
      u"&O programie...", u"O&bserwuj mnie na Facebooku..."}},
    {"Portuguese",
     {u"&Bloquear Facebook", u"&Permitir Facebook"},
     {u"&Arquivo", u"A&juda"},
     {u"&Sair"},
     {u"&Verificar atualizações...", u"&Mudar idioma", u"&Fazer uma doação...", u"&Site...",
      u"S&obre...", u"S&iga-me no Facebook..."}},
    {"Russian",
     {u"&Запретить Facebook", u"&Разрешить Facebook"},
     {u"&Файл", u"&Справка"},
     {u"&Выход"},
     {u"&Проверить обновления...", u"&Сменить язык", u"П&ожертвовать...", u"&Веб-сайт...",
      u"О п&рограмме...", u"С&ледите за мной в Facebook..."}},
    {"Spanish",
     {u"&Bloquear Facebook", u"&Permitir Facebook"},
     {u"&Archivo", u"A&yuda"},
     {u"&Salir"},
     {u"&Buscar actualizaciones...", u"&Cambiar idioma", u"&Donar...", u"&Sitio web...",
      u"&Acerca de...", u"Sí&gueme en Facebook..."}},
    {"Turkish",
     {u"Facebook'u &engelle", u"Facebook'a &izin ver"},
     {u"&Dosya", u"&Yardım"},
     {u"Çı&kış"},
     {u"&Güncellemeleri denetle...", u"&Dili değiştir", u"&Bağış yap...", u"&Web sitesi...",
      u"&Hakkında...", u"B&eni Facebook'ta takip edin..."}},
    {"Ukrainian",
     {u"&Заборонити Facebook", u"&Дозволити Facebook"},
     {u"&Файл", u"Д&овідка"},
     {u"&Вихід"},
     {u"&Перевірити оновлення...", u"&Змінити мову", u"П&ожертвувати...", u"&Веб-сайт...",
      u"П&ро програму...", u"&Стежте за мною у Facebook..."}},
};

TEST(AccessKeys, EveryLanguageGetsDistinctKeysInEachGroup) {
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(language.name);
        std::u16string taken;
        for (const std::u16string& button : language.buttons) {
            taken += MarkedAccessKey(button);
        }
        EXPECT_EQ(WithAccessKeys(unmarked(language.bar), taken), language.bar);
        EXPECT_EQ(WithAccessKeys(unmarked(language.file)), language.file);
        EXPECT_EQ(WithAccessKeys(unmarked(language.help)), language.help);
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
    const std::pair<char16_t, char16_t> pairs[] = {
        {u'A', u'a'},   {u'Z', u'z'},   {0xC0, 0xE0},   {0xDE, 0xFE},   {0x100, 0x101},
        {0x136, 0x137}, {0x139, 0x13A}, {0x147, 0x148}, {0x14A, 0x14B}, {0x141, 0x142},
        {0x178, 0xFF},  {0x179, 0x17A}, {0x17D, 0x17E}, {0x386, 0x3AC}, {0x38A, 0x3AF},
        {0x38C, 0x3CC}, {0x38F, 0x3CE}, {0x391, 0x3B1}, {0x3A9, 0x3C9}, {0x400, 0x450},
        {0x40F, 0x45F}, {0x410, 0x430}, {0x42F, 0x44F}, {0x490, 0x491}, {0x4C1, 0x4C2},
        {0x4D0, 0x4D1}};
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
    // 52 ASCII, 62 Latin-1, 128 Latin Extended-A, 68 Greek, 246 Cyrillic.
    EXPECT_EQ(letters, 52 + 62 + 128 + 68 + 246);
    for (const char16_t sign : {u'@', u'[', u'`', u'{', u'\u00D7', u'\u00F7', u'\u0387', u'\u03A2',
                                u'\u0482', u'\u04C0', u'\u4E00'}) {
        EXPECT_EQ(key(sign), 0) << std::hex << int(sign);
    }
}

}  // namespace
}  // namespace hushgate
