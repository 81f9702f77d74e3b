#!/usr/bin/env python3
"""Writes the language files we ship from the texts below.

Each file is 8-bit text in the Windows code page of its CharacterSet, with
CR LF line ends, which is what the program reads. The texts are kept here in
UTF-8 so they can be edited and reviewed; the .lng files are generated and
committed. After changing a text run:

    python3 src/language/Language/make_languages.py

and commit the changed .lng files. The texts of the keys added later (Main
"19" and the [Messages] section) are in message_texts.py. With --check it only reports the files
that differ from what it would write (exit code 1), and writes nothing.

File names are the English names of the languages: plain ASCII, so they are
safe in every file system and archive, and spelt correctly (native names such
as "Francais" or "Russkij" would lose their letters). The name is what the
language list shows and what config.ini stores; choosing a language previews
the dialog in it at once, so a user finds their own language in the list.
"""

import pathlib
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the language files
from message_texts import MESSAGES  # noqa: E402

HERE = pathlib.Path(__file__).resolve().parent

TRANSLATOR = "Tavrin Software"
EMAIL = "lang@tavrin-software.example"
WEB = "http://tavrin-software.example"

# The keys the program reads, in the order they stand in every file; the
# texts of LANGUAGES below follow this order.
KEYS = {
    "Main": [str(n) for n in range(1, 19)],
    "About": ["1", "2", "3", "4", "6"],
    "Tray": ["3", "4", "5", "6", "7", "8"],
}

# Keys added later, given by name in MESSAGES below: Main "19", the state
# word when the hosts file cannot be read, and the [Messages] section, the
# program's own messages (src/language/messages.h names the same keys).
# The program shows the English text where a file lacks one of these.
# Placeholders %1 and %2 stay as they are.
LATER_KEYS = {
    "Main": ["19"],
    "Messages": [
        "ReadFailed", "WriteFailed", "ChangedByOther", "OriginalSaved", "FileUnchanged",
        "NeedRoot", "NeedAdministrator", "SettingsNotSaved", "LanguageFilesMissing",
        "ChangeNotAllowed", "ChangeFailed", "PkexecMissing", "HelperMissing",
        "ChangeRolledBack", "ButtonOK", "ButtonYes", "ButtonNo", "LanguageFileDamaged",
        "ResourcesMissing", "ResourcesDamaged", "PartlyBlocked", "MarkedReadOnly",
        "HeldByOther", "RecordSetAside", "RecordIgnored",
    ],
}

# Name, CharacterSet, Python codec, then the texts of KEYS in order. Main "10"
# and "11"/"12" make one line ("Status: Facebook is" + "blocked!"). The Block
# and Unblock buttons are 137 and 129 pixels wide, so their texts are the
# short forms ("Forbid/Allow Facebook") where the literal ones do not fit.
LANGUAGES = [
    ("English", 0, "cp1252", [
        "File", "Exit", "Help", "Check for updates...", "Change language", "Donate...",
        "Web...", "About...", "Follow me on Facebook...", "Status: Facebook is",
        "blocked!", "not blocked!", "&Block Facebook", "&Unblock Facebook",
        "You may need to exit your browser for these changes to take effect.",
        "New version available!", "Would you like to download it from our website?",
        "No new updates available!",
        "About", "Version:", "This product is FREE for personal or commercial use.",
        "Copyright (C) Tavrin Software", "&Close",
        "Select Language", "Select:", "Apply", "Cancel",
        "The new language will be used the next time you start Tavrin Hushgate.",
        "Language",
    ]),
    ("German", 0, "cp1252", [
        "Datei", "Beenden", "Hilfe", "Nach Updates suchen...", "Sprache ändern",
        "Spenden...", "Website...", "Über...", "Folgen Sie mir auf Facebook...",
        "Status: Facebook ist", "gesperrt!", "nicht gesperrt!", "Facebook &sperren",
        "Facebook &freigeben",
        "Eventuell müssen Sie Ihren Browser beenden, damit die Änderungen wirksam werden.",
        "Neue Version verfügbar!", "Möchten Sie sie von unserer Website herunterladen?",
        "Keine neuen Updates verfügbar!",
        "Über", "Version:",
        "Dieses Produkt ist KOSTENLOS für private und kommerzielle Nutzung.",
        "© Tavrin Software. Alle Rechte vorbehalten.", "&Schließen",
        "Sprache wählen", "Auswahl:", "Übernehmen", "Abbrechen",
        "Die neue Sprache wird beim nächsten Start von Tavrin Hushgate verwendet.",
        "Sprache",
    ]),
    # French puts a no-break space (U+00A0) before ":", "!" and "?".
    ("French", 0, "cp1252", [
        "Fichier", "Quitter", "Aide", "Rechercher des mises à jour...",
        "Changer de langue", "Faire un don...", "Site web...", "À propos...",
        "Suivez-moi sur Facebook...", "État\u00a0: Facebook est", "bloqué\u00a0!",
        "non bloqué\u00a0!", "&Bloquer Facebook", "&Débloquer Facebook",
        "Vous devrez peut-être quitter votre navigateur pour que ces changements "
        "prennent effet.",
        "Nouvelle version disponible\u00a0!",
        "Voulez-vous la télécharger depuis notre site web\u00a0?",
        "Aucune mise à jour disponible\u00a0!",
        "À propos", "Version\u00a0:",
        "Ce produit est GRATUIT pour un usage personnel ou commercial.",
        "© Tavrin Software. Tous droits réservés.", "&Fermer",
        "Choisir la langue", "Choisir\u00a0:", "Appliquer", "Annuler",
        "La nouvelle langue sera utilisée au prochain démarrage de Tavrin Hushgate.",
        "Langue",
    ]),
    ("Spanish", 0, "cp1252", [
        "Archivo", "Salir", "Ayuda", "Buscar actualizaciones...", "Cambiar idioma",
        "Donar...", "Sitio web...", "Acerca de...", "Sígueme en Facebook...",
        "Estado: Facebook está", "bloqueado", "no bloqueado", "&Bloquear Facebook",
        "&Permitir Facebook",
        "Puede que tenga que cerrar el navegador para que los cambios surtan efecto.",
        "¡Nueva versión disponible!", "¿Desea descargarla desde nuestro sitio web?",
        "¡No hay actualizaciones nuevas!",
        "Acerca de", "Versión:", "Este producto es GRATUITO para uso personal o comercial.",
        "© Tavrin Software. Todos los derechos reservados.", "&Cerrar",
        "Seleccionar idioma", "Seleccione:", "Aplicar", "Cancelar",
        "El nuevo idioma se usará la próxima vez que inicie Tavrin Hushgate.",
        "Idioma",
    ]),
    ("Italian", 0, "cp1252", [
        "File", "Esci", "Aiuto", "Controlla aggiornamenti...", "Cambia lingua",
        "Fai una donazione...", "Sito web...", "Informazioni...", "Seguimi su Facebook...",
        "Stato: Facebook è", "bloccato!", "non bloccato!", "&Blocca Facebook",
        "&Sblocca Facebook",
        "Potrebbe essere necessario chiudere il browser perché le modifiche abbiano effetto.",
        "Nuova versione disponibile!", "Vuoi scaricarla dal nostro sito web?",
        "Nessun nuovo aggiornamento disponibile!",
        "Informazioni", "Versione:", "Questo prodotto è GRATUITO per uso personale o commerciale.",
        "© Tavrin Software. Tutti i diritti riservati.", "&Chiudi",
        "Seleziona lingua", "Seleziona:", "Applica", "Annulla",
        "La nuova lingua verrà usata al prossimo avvio di Tavrin Hushgate.",
        "Lingua",
    ]),
    # Brazilian Portuguese, the variant most of its speakers read.
    ("Portuguese", 0, "cp1252", [
        "Arquivo", "Sair", "Ajuda", "Verificar atualizações...", "Mudar idioma",
        "Fazer uma doação...", "Site...", "Sobre...", "Siga-me no Facebook...",
        "Status: o Facebook está", "bloqueado!", "desbloqueado!", "&Bloquear Facebook",
        "&Permitir Facebook",
        "Talvez seja necessário fechar o navegador para que as alterações tenham efeito.",
        "Nova versão disponível!", "Deseja baixá-la do nosso site?",
        "Nenhuma atualização disponível!",
        "Sobre", "Versão:", "Este produto é GRATUITO para uso pessoal ou comercial.",
        "© Tavrin Software. Todos os direitos reservados.", "&Fechar",
        "Selecionar idioma", "Selecione:", "Aplicar", "Cancelar",
        "O novo idioma será usado na próxima vez que você iniciar o Tavrin Hushgate.",
        "Idioma",
    ]),
    ("Polish", 238, "cp1250", [
        "Plik", "Zakończ", "Pomoc", "Sprawdź aktualizacje...", "Zmień język",
        "Przekaż darowiznę...", "Strona WWW...", "O programie...",
        "Obserwuj mnie na Facebooku...", "Stan: Facebook jest", "zablokowany!",
        "niezablokowany!", "&Zablokuj Facebook", "&Odblokuj Facebook",
        "Aby zmiany zostały zastosowane, może być konieczne zamknięcie przeglądarki.",
        "Dostępna jest nowa wersja!", "Czy chcesz ją pobrać z naszej strony internetowej?",
        "Brak nowych aktualizacji!",
        "O programie", "Wersja:", "Ten program jest DARMOWY do użytku osobistego i komercyjnego.",
        "© Tavrin Software. Wszelkie prawa zastrzeżone.", "&Zamknij",
        "Wybierz język", "Wybierz:", "Zastosuj", "Anuluj",
        "Nowy język zostanie użyty przy następnym uruchomieniu programu Tavrin Hushgate.",
        "Język",
    ]),
    ("Russian", 204, "cp1251", [
        "Файл", "Выход", "Справка", "Проверить обновления...", "Сменить язык",
        "Пожертвовать...", "Веб-сайт...", "О программе...", "Следите за мной в Facebook...",
        "Состояние: Facebook", "заблокирован!", "не заблокирован!",
        "&Запретить Facebook", "&Разрешить Facebook",
        "Чтобы изменения вступили в силу, возможно, потребуется закрыть браузер.",
        "Доступна новая версия!", "Хотите загрузить её с нашего сайта?",
        "Новых обновлений нет!",
        "О программе", "Версия:",
        "Эта программа БЕСПЛАТНА для личного и коммерческого использования.",
        "© Tavrin Software. Все права защищены.", "&Закрыть",
        "Выбор языка", "Выберите:", "Применить", "Отмена",
        "Новый язык будет использован при следующем запуске Tavrin Hushgate.",
        "Язык",
    ]),
    ("Ukrainian", 204, "cp1251", [
        "Файл", "Вихід", "Довідка", "Перевірити оновлення...", "Змінити мову",
        "Пожертвувати...", "Веб-сайт...", "Про програму...", "Стежте за мною у Facebook...",
        "Стан: Facebook", "заблоковано!", "не заблоковано!",
        "&Заборонити Facebook", "&Дозволити Facebook",
        "Щоб зміни набули чинності, можливо, доведеться закрити браузер.",
        "Доступна нова версія!", "Бажаєте завантажити її з нашого сайту?",
        "Нових оновлень немає!",
        "Про програму", "Версія:",
        "Ця програма БЕЗКОШТОВНА для особистого та комерційного використання.",
        "© Tavrin Software. Усі права захищено.", "&Закрити",
        "Вибір мови", "Виберіть:", "Застосувати", "Скасувати",
        "Нову мову буде використано під час наступного запуску Tavrin Hushgate.",
        "Мова",
    ]),
    # Greek asks with ";" (the ASCII semicolon stands for the Greek question mark).
    # Its state words are the short forms ("blocked!", "not blocked!"): with
    # "είναι" ("is") the line ran under the Block button.
    ("Greek", 161, "cp1253", [
        "Αρχείο", "Έξοδος", "Βοήθεια", "Έλεγχος για ενημερώσεις...", "Αλλαγή γλώσσας",
        "Δωρεά...", "Ιστότοπος...", "Πληροφορίες...", "Ακολουθήστε με στο Facebook...",
        "Κατάσταση: το Facebook", "αποκλεισμένο!", "μη αποκλεισμένο!",
        "&Αποκλεισμός Facebook", "Ά&ρση αποκλεισμού",
        "Ίσως χρειαστεί να κλείσετε το πρόγραμμα περιήγησης για να ισχύσουν οι αλλαγές.",
        "Υπάρχει νέα έκδοση!", "Θέλετε να την κατεβάσετε από τον ιστότοπό μας;",
        "Δεν υπάρχουν νέες ενημερώσεις!",
        "Πληροφορίες", "Έκδοση:",
        "Αυτό το πρόγραμμα είναι ΔΩΡΕΑΝ για προσωπική ή εμπορική χρήση.",
        "© Tavrin Software. Με επιφύλαξη παντός δικαιώματος.", "&Κλείσιμο",
        "Επιλογή γλώσσας", "Επιλογή:", "Εφαρμογή", "Άκυρο",
        "Η νέα γλώσσα θα χρησιμοποιηθεί την επόμενη φορά που θα ξεκινήσετε "
        "το Tavrin Hushgate.",
        "Γλώσσα",
    ]),
    ("Turkish", 162, "cp1254", [
        "Dosya", "Çıkış", "Yardım", "Güncellemeleri denetle...", "Dili değiştir",
        "Bağış yap...", "Web sitesi...", "Hakkında...", "Beni Facebook'ta takip edin...",
        "Durum: Facebook", "engellendi!", "engellenmedi!", "Facebook'u &engelle",
        "Facebook'a &izin ver",
        "Bu değişikliklerin etkili olması için tarayıcınızdan çıkmanız gerekebilir.",
        "Yeni sürüm mevcut!", "Web sitemizden indirmek ister misiniz?",
        "Yeni güncelleme yok!",
        "Hakkında", "Sürüm:", "Bu ürün kişisel veya ticari kullanım için ÜCRETSİZDİR.",
        "© Tavrin Software. Tüm hakları saklıdır.", "&Kapat",
        "Dil seçimi", "Seçin:", "Uygula", "İptal",
        "Yeni dil, Tavrin Hushgate bir sonraki açılışında kullanılacak.",
        "Dil",
    ]),
]


def file_text(name, character_set, texts):
    """The whole file as text, lines ending in CR LF."""
    count = sum(len(keys) for keys in KEYS.values())
    if len(texts) != count:
        raise ValueError(f"{name}: {len(texts)} texts, expected {count}")
    later = MESSAGES[name]
    wanted = {(section, key) for section, keys in LATER_KEYS.items() for key in keys}
    if set(later) != wanted:
        raise ValueError(f"{name}: later keys differ: {sorted(set(later) ^ wanted)}")
    for (section, key), text in later.items():
        english = MESSAGES["English"][(section, key)]
        for placeholder in ("%1", "%2"):
            if text.count(placeholder) != english.count(placeholder):
                raise ValueError(f"{name}: {section} {key} has {placeholder} wrong")
    lines = [
        "[LANGUAGE]",
        f"CharacterSet={character_set}",
        f"translator={TRANSLATOR}",
        f"e-mail={EMAIL}",
        f"web={WEB}",
    ]
    remaining = iter(texts)
    for section, keys in KEYS.items():
        lines += ["", f"[{section}]"]
        lines += [f"{key}={next(remaining)}" for key in keys]
        lines += [f"{key}={later[(section, key)]}" for key in LATER_KEYS.get(section, [])]
    for section, keys in LATER_KEYS.items():
        if section not in KEYS:
            lines += ["", f"[{section}]"]
            lines += [f"{key}={later[(section, key)]}" for key in keys]
    return "".join(line + "\r\n" for line in lines)


def main(argv):
    check = argv[1:] == ["--check"]
    if argv[1:] and not check:
        print(f"usage: {argv[0]} [--check]", file=sys.stderr)
        return 2
    differ = []
    for name, character_set, codec, texts in LANGUAGES:
        # "strict": a letter the code page lacks is an error, not a "?".
        data = file_text(name, character_set, texts).encode(codec, "strict")
        path = HERE / f"{name}.lng"
        if path.exists() and path.read_bytes() == data:
            continue
        differ.append(path.name)
        if not check:
            path.write_bytes(data)
    for file_name in differ:
        print(("differs: " if check else "wrote: ") + file_name)
    return 1 if check and differ else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
