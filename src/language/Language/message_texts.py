"""Texts of the keys added after the first language files: Main "19" and the
[Messages] section. make_languages.py writes them into every file.

%1 and %2 are filled in by the program (a file name, the system's reason,
a program's name); each translation keeps the ones of its English text.
Greek uses the middle dot "\u00b7" where other languages use ";", which
would read as a question mark. French puts a no-break space before ":" and
";". The button texts carry the access key Qt's own translations use.
"""


def texts(unknown, **messages):
    result = {("Main", "19"): unknown}
    result.update({("Messages", key): text for key, text in messages.items()})
    return result


MESSAGES = {
    "English": texts(
        "unknown",
        ReadFailed="Cannot read %1: %2.",
        WriteFailed="Cannot write %1: %2.",
        ChangedByOther="Another program kept changing %1 while it was being updated; "
        "nothing was written. Try again.",
        OriginalSaved="The original is kept as %1 and is put back by the next change of the file.",
        FileUnchanged="The hosts file is unchanged.",
        NeedRoot="Start Tavrin Hushgate as root to change it.",
        NeedAdministrator="Start Tavrin Hushgate as administrator to change it.",
        SettingsNotSaved="Cannot save the settings to %1: %2.",
        LanguageFilesMissing="Language files not found in %1; showing English.",
        ChangeNotAllowed="Tavrin Hushgate was not allowed to change the hosts file: %1",
        ChangeFailed="The hosts file could not be changed: %1",
        PkexecMissing="The hosts file can only be changed with administrator rights, and the "
        "program that asks for them (%1) is not installed. Install the package \"pkexec\", "
        "or start Tavrin Hushgate as root.",
        HelperMissing="The hosts file can only be changed with administrator rights, and "
        "Tavrin Hushgate's helper (%1) is not installed. Install Tavrin Hushgate's package, "
        "or start it as root.",
        ChangeRolledBack="An interrupted change of %1 was undone; the damaged copy was kept "
        "as %2.",
        ButtonOK="OK", ButtonYes="&Yes", ButtonNo="&No",
        LanguageFileDamaged="The language file %1 cannot be used: %2; showing English.",
        ResourcesMissing="\"Resources.dll\" is missing!",
        ResourcesDamaged="The icon library %1 cannot be used: %2; the toolbar shows no pictures.",
        PartlyBlocked="%1 of %2 entries present",
        MarkedReadOnly="%1 is marked read-only, and Tavrin Hushgate leaves a file so marked as it is. To clear the mark, run: %2",
        HeldByOther="%1 is held by another program%2; nothing was written. Try again.",
        RecordSetAside="A record of an interrupted change of %1 does not fit the file as it is; the "
        "file was left alone and the record set aside as %2.",
        RecordIgnored="The record %2 of a change of %1 cannot be trusted (another owner, or open to "
        "others) and was ignored.",
    ),
    "German": texts(
        "unbekannt",
        ReadFailed="%1 kann nicht gelesen werden: %2.",
        WriteFailed="%1 kann nicht geschrieben werden: %2.",
        ChangedByOther="Ein anderes Programm hat %1 während der Änderung immer wieder "
        "verändert; es wurde nichts geschrieben. Bitte versuchen Sie es erneut.",
        OriginalSaved="Das Original liegt als %1 bereit und wird bei der nächsten Änderung der "
        "Datei zurückgeschrieben.",
        FileUnchanged="Die hosts-Datei ist unverändert.",
        NeedRoot="Starten Sie Tavrin Hushgate als root, um sie zu ändern.",
        NeedAdministrator="Starten Sie Tavrin Hushgate als Administrator, um sie zu ändern.",
        SettingsNotSaved="Die Einstellungen können nicht in %1 gespeichert werden: %2.",
        LanguageFilesMissing="Keine Sprachdateien in %1 gefunden; es wird Englisch angezeigt.",
        ChangeNotAllowed="Tavrin Hushgate durfte die hosts-Datei nicht ändern: %1",
        ChangeFailed="Die hosts-Datei konnte nicht geändert werden: %1",
        PkexecMissing="Die hosts-Datei kann nur mit Administratorrechten geändert werden, und "
        "das Programm, das sie anfordert (%1), ist nicht installiert. Installieren Sie das "
        "Paket „pkexec“ oder starten Sie Tavrin Hushgate als root.",
        HelperMissing="Die hosts-Datei kann nur mit Administratorrechten geändert werden, und "
        "das Hilfsprogramm von Tavrin Hushgate (%1) ist nicht installiert. Installieren Sie "
        "das Paket von Tavrin Hushgate oder starten Sie es als root.",
        ChangeRolledBack="Eine unterbrochene Änderung von %1 wurde rückgängig gemacht; die "
        "beschädigte Kopie wurde als %2 aufbewahrt.",
        ButtonOK="OK", ButtonYes="&Ja", ButtonNo="&Nein",
        LanguageFileDamaged="Die Sprachdatei %1 ist nicht verwendbar: %2; es wird Englisch angezeigt.",
        ResourcesMissing="„Resources.dll“ fehlt!",
        ResourcesDamaged="Die Symbolbibliothek %1 ist nicht verwendbar: %2; die Symbolleiste bleibt ohne Bilder.",
        PartlyBlocked="%1 von %2 Einträgen vorhanden",
        MarkedReadOnly="%1 ist als schreibgeschützt markiert, und Tavrin Hushgate lässt eine so markierte Datei, wie sie ist. Um die Markierung aufzuheben, führen Sie aus: %2",
        HeldByOther="%1 wird von einem anderen Programm festgehalten%2; es wurde nichts "
        "geschrieben. Versuchen Sie es erneut.",
        RecordSetAside="Ein Protokoll einer unterbrochenen Änderung von %1 passt nicht zur Datei, "
        "wie sie ist; die Datei blieb unverändert, das Protokoll wurde als %2 beiseitegelegt.",
        RecordIgnored="Dem Protokoll %2 einer Änderung von %1 kann nicht vertraut werden (anderer "
        "Besitzer oder für andere beschreibbar); es wurde nicht beachtet.",
    ),
    "French": texts(
        "inconnu",
        ReadFailed="Impossible de lire %1\u00a0: %2.",
        WriteFailed="Impossible d'écrire %1\u00a0: %2.",
        ChangedByOther="Un autre programme a modifié %1 sans cesse pendant la mise à "
        "jour\u00a0; rien n'a été écrit. Réessayez.",
        OriginalSaved="L'original est conservé sous %1 et sera remis en place à la prochaine "
        "modification du fichier.",
        FileUnchanged="Le fichier hosts n'a pas été modifié.",
        NeedRoot="Lancez Tavrin Hushgate en tant que root pour le modifier.",
        NeedAdministrator="Lancez Tavrin Hushgate en tant qu'administrateur pour le modifier.",
        SettingsNotSaved="Impossible d'enregistrer les paramètres dans %1\u00a0: %2.",
        LanguageFilesMissing="Fichiers de langue introuvables dans %1\u00a0; affichage en "
        "anglais.",
        ChangeNotAllowed="Tavrin Hushgate n'a pas été autorisé à modifier le fichier "
        "hosts\u00a0: %1",
        ChangeFailed="Le fichier hosts n'a pas pu être modifié\u00a0: %1",
        PkexecMissing="Le fichier hosts ne peut être modifié qu'avec les droits "
        "d'administrateur, et le programme qui les demande (%1) n'est pas installé. Installez "
        "le paquet «\u00a0pkexec\u00a0» ou lancez Tavrin Hushgate en tant que root.",
        HelperMissing="Le fichier hosts ne peut être modifié qu'avec les droits "
        "d'administrateur, et l'assistant de Tavrin Hushgate (%1) n'est pas installé. "
        "Installez le paquet de Tavrin Hushgate ou lancez-le en tant que root.",
        ChangeRolledBack="Une modification interrompue de %1 a été annulée\u00a0; la copie "
        "endommagée a été conservée sous %2.",
        ButtonOK="OK", ButtonYes="&Oui", ButtonNo="&Non",
        LanguageFileDamaged="Le fichier de langue %1 est inutilisable\u00a0: %2\u00a0; affichage en anglais.",
        ResourcesMissing="«\u00a0Resources.dll\u00a0» est introuvable\u00a0!",
        ResourcesDamaged="La bibliothèque d'icônes %1 est inutilisable\u00a0: %2\u00a0; la barre d'outils reste sans images.",
        PartlyBlocked="%1 entrées sur %2 présentes",
        MarkedReadOnly="%1 est marqué en lecture seule, et Tavrin Hushgate laisse un tel fichier tel quel. Pour retirer cette marque, exécutez\u00a0: %2",
        HeldByOther="%1 est retenu par un autre programme%2\u00a0; rien n'a été écrit. "
        "Réessayez.",
        RecordSetAside="Un relevé d'une modification interrompue de %1 ne correspond pas au "
        "fichier tel qu'il est\u00a0; le fichier a été laissé tel quel et le relevé mis de côté "
        "sous %2.",
        RecordIgnored="Le relevé %2 d'une modification de %1 n'est pas fiable (autre "
        "propriétaire, ou modifiable par d'autres) et a été ignoré.",
    ),
    "Spanish": texts(
        "desconocido",
        ReadFailed="No se puede leer %1: %2.",
        WriteFailed="No se puede escribir %1: %2.",
        ChangedByOther="Otro programa modificó %1 una y otra vez mientras se actualizaba; no "
        "se escribió nada. Inténtelo de nuevo.",
        OriginalSaved="El original se conserva como %1 y se restaurará en el próximo cambio del "
        "archivo.",
        FileUnchanged="El archivo hosts no ha cambiado.",
        NeedRoot="Inicie Tavrin Hushgate como root para modificarlo.",
        NeedAdministrator="Inicie Tavrin Hushgate como administrador para modificarlo.",
        SettingsNotSaved="No se puede guardar la configuración en %1: %2.",
        LanguageFilesMissing="No se encontraron archivos de idioma en %1; se muestra en inglés.",
        ChangeNotAllowed="Tavrin Hushgate no tuvo permiso para modificar el archivo hosts: %1",
        ChangeFailed="No se pudo modificar el archivo hosts: %1",
        PkexecMissing="El archivo hosts solo se puede modificar con derechos de administrador, "
        "y el programa que los solicita (%1) no está instalado. Instale el paquete «pkexec» o "
        "inicie Tavrin Hushgate como root.",
        HelperMissing="El archivo hosts solo se puede modificar con derechos de administrador, "
        "y el asistente de Tavrin Hushgate (%1) no está instalado. Instale el paquete de "
        "Tavrin Hushgate o inícielo como root.",
        ChangeRolledBack="Se deshizo un cambio interrumpido de %1; la copia dañada se conservó "
        "como %2.",
        ButtonOK="Aceptar", ButtonYes="&Sí", ButtonNo="&No",
        LanguageFileDamaged="No se puede usar el archivo de idioma %1: %2; se muestra en inglés.",
        ResourcesMissing="¡Falta \"Resources.dll\"!",
        ResourcesDamaged="No se puede usar la biblioteca de iconos %1: %2; la barra de herramientas queda sin imágenes.",
        PartlyBlocked="%1 de %2 entradas presentes",
        MarkedReadOnly="%1 está marcado como de solo lectura, y Tavrin Hushgate no modifica un archivo así marcado. Para quitar la marca, ejecute: %2",
        HeldByOther="Otro programa retiene %1%2; no se escribió nada. Inténtelo de nuevo.",
        RecordSetAside="Un registro de un cambio interrumpido de %1 no corresponde al archivo "
        "tal como está; el archivo se dejó intacto y el registro se apartó como %2.",
        RecordIgnored="El registro %2 de un cambio de %1 no es de confianza (otro propietario, o "
        "modificable por otros) y se ignoró.",
    ),
    "Italian": texts(
        "sconosciuto",
        ReadFailed="Impossibile leggere %1: %2.",
        WriteFailed="Impossibile scrivere %1: %2.",
        ChangedByOther="Un altro programma ha continuato a modificare %1 durante "
        "l'aggiornamento; non è stato scritto nulla. Riprova.",
        OriginalSaved="L'originale è conservato come %1 e verrà ripristinato alla prossima "
        "modifica del file.",
        FileUnchanged="Il file hosts non è stato modificato.",
        NeedRoot="Avvia Tavrin Hushgate come root per modificarlo.",
        NeedAdministrator="Avvia Tavrin Hushgate come amministratore per modificarlo.",
        SettingsNotSaved="Impossibile salvare le impostazioni in %1: %2.",
        LanguageFilesMissing="File di lingua non trovati in %1; viene mostrato l'inglese.",
        ChangeNotAllowed="Tavrin Hushgate non è stato autorizzato a modificare il file "
        "hosts: %1",
        ChangeFailed="Impossibile modificare il file hosts: %1",
        PkexecMissing="Il file hosts può essere modificato solo con i diritti di "
        "amministratore, e il programma che li richiede (%1) non è installato. Installa il "
        "pacchetto \"pkexec\" o avvia Tavrin Hushgate come root.",
        HelperMissing="Il file hosts può essere modificato solo con i diritti di "
        "amministratore, e l'assistente di Tavrin Hushgate (%1) non è installato. Installa il "
        "pacchetto di Tavrin Hushgate o avvialo come root.",
        ChangeRolledBack="Una modifica interrotta di %1 è stata annullata; la copia "
        "danneggiata è stata conservata come %2.",
        ButtonOK="OK", ButtonYes="&Sì", ButtonNo="&No",
        LanguageFileDamaged="Impossibile usare il file di lingua %1: %2; viene mostrato l'inglese.",
        ResourcesMissing="\"Resources.dll\" non è presente!",
        ResourcesDamaged="Impossibile usare la libreria di icone %1: %2; la barra degli strumenti resta senza immagini.",
        PartlyBlocked="%1 voci su %2 presenti",
        MarkedReadOnly="%1 è contrassegnato come di sola lettura e Tavrin Hushgate non modifica un file così contrassegnato. Per togliere il contrassegno, eseguire: %2",
        HeldByOther="%1 è trattenuto da un altro programma%2; non è stato scritto nulla. "
        "Riprova.",
        RecordSetAside="Una registrazione di una modifica interrotta di %1 non corrisponde al file "
        "com'è ora; il file è stato lasciato com'era e la registrazione messa da parte come %2.",
        RecordIgnored="La registrazione %2 di una modifica di %1 non è affidabile (altro "
        "proprietario, o modificabile da altri) ed è stata ignorata.",
    ),
    "Portuguese": texts(
        "desconhecido",
        ReadFailed="Não foi possível ler %1: %2.",
        WriteFailed="Não foi possível gravar %1: %2.",
        ChangedByOther="Outro programa continuou alterando %1 durante a atualização; nada foi "
        "gravado. Tente novamente.",
        OriginalSaved="O original está guardado como %1 e será reposto na próxima alteração do "
        "arquivo.",
        FileUnchanged="O arquivo hosts não foi alterado.",
        NeedRoot="Inicie o Tavrin Hushgate como root para alterá-lo.",
        NeedAdministrator="Inicie o Tavrin Hushgate como administrador para alterá-lo.",
        SettingsNotSaved="Não foi possível salvar as configurações em %1: %2.",
        LanguageFilesMissing="Arquivos de idioma não encontrados em %1; exibindo em inglês.",
        ChangeNotAllowed="O Tavrin Hushgate não teve permissão para alterar o arquivo "
        "hosts: %1",
        ChangeFailed="Não foi possível alterar o arquivo hosts: %1",
        PkexecMissing="O arquivo hosts só pode ser alterado com direitos de administrador, e o "
        "programa que os solicita (%1) não está instalado. Instale o pacote \"pkexec\" ou "
        "inicie o Tavrin Hushgate como root.",
        HelperMissing="O arquivo hosts só pode ser alterado com direitos de administrador, e o "
        "auxiliar do Tavrin Hushgate (%1) não está instalado. Instale o pacote do Tavrin "
        "Hushgate ou inicie-o como root.",
        ChangeRolledBack="Uma alteração interrompida de %1 foi desfeita; a cópia danificada foi "
        "mantida como %2.",
        ButtonOK="OK", ButtonYes="&Sim", ButtonNo="&Não",
        LanguageFileDamaged="Não é possível usar o arquivo de idioma %1: %2; exibindo em inglês.",
        ResourcesMissing="\"Resources.dll\" não foi encontrado!",
        ResourcesDamaged="Não é possível usar a biblioteca de ícones %1: %2; a barra de ferramentas fica sem imagens.",
        PartlyBlocked="%1 de %2 entradas presentes",
        MarkedReadOnly="%1 está marcado como somente leitura, e o Tavrin Hushgate não altera um arquivo assim marcado. Para remover a marca, execute: %2",
        HeldByOther="%1 está retido por outro programa%2; nada foi escrito. Tente de novo.",
        RecordSetAside="Um registo de uma alteração interrompida de %1 não corresponde ao ficheiro "
        "como está; o ficheiro ficou como estava e o registo foi posto de parte como %2.",
        RecordIgnored="O registo %2 de uma alteração de %1 não é de confiança (outro dono, ou "
        "alterável por outros) e foi ignorado.",
    ),
    "Polish": texts(
        "nieznany",
        ReadFailed="Nie można odczytać %1: %2.",
        WriteFailed="Nie można zapisać %1: %2.",
        ChangedByOther="Inny program wciąż zmieniał %1 podczas aktualizacji; nic nie zostało "
        "zapisane. Spróbuj ponownie.",
        OriginalSaved="Oryginał zachowano jako %1; zostanie przywrócony przy następnej zmianie "
        "pliku.",
        FileUnchanged="Plik hosts nie został zmieniony.",
        NeedRoot="Uruchom Tavrin Hushgate jako root, aby go zmienić.",
        NeedAdministrator="Uruchom Tavrin Hushgate jako administrator, aby go zmienić.",
        SettingsNotSaved="Nie można zapisać ustawień w %1: %2.",
        LanguageFilesMissing="Nie znaleziono plików językowych w %1; wyświetlany jest "
        "angielski.",
        ChangeNotAllowed="Tavrin Hushgate nie otrzymał zgody na zmianę pliku hosts: %1",
        ChangeFailed="Nie udało się zmienić pliku hosts: %1",
        PkexecMissing="Plik hosts można zmienić tylko z uprawnieniami administratora, a "
        "program, który o nie prosi (%1), nie jest zainstalowany. Zainstaluj pakiet „pkexec” "
        "lub uruchom Tavrin Hushgate jako root.",
        HelperMissing="Plik hosts można zmienić tylko z uprawnieniami administratora, a "
        "program pomocniczy Tavrin Hushgate (%1) nie jest zainstalowany. Zainstaluj pakiet "
        "Tavrin Hushgate lub uruchom go jako root.",
        ChangeRolledBack="Przerwana zmiana pliku %1 została cofnięta; uszkodzoną kopię "
        "zachowano jako %2.",
        ButtonOK="OK", ButtonYes="&Tak", ButtonNo="&Nie",
        LanguageFileDamaged="Nie można użyć pliku językowego %1: %2; wyświetlany jest angielski.",
        ResourcesMissing="Brak pliku „Resources.dll”!",
        ResourcesDamaged="Nie można użyć biblioteki ikon %1: %2; pasek narzędzi pozostaje bez obrazków.",
        PartlyBlocked="Obecne wpisy: %1 z %2",
        MarkedReadOnly="Plik %1 jest oznaczony jako tylko do odczytu, a Tavrin Hushgate nie zmienia tak oznaczonych plików. Aby usunąć to oznaczenie, wykonaj: %2",
        HeldByOther="Plik %1 jest zajęty przez inny program%2; nic nie zapisano. Spróbuj "
        "ponownie.",
        RecordSetAside="Zapis przerwanej zmiany pliku %1 nie pasuje do pliku w obecnej postaci; "
        "plik pozostawiono bez zmian, a zapis odłożono jako %2.",
        RecordIgnored="Zapisowi %2 zmiany pliku %1 nie można ufać (inny właściciel lub zapis "
        "dostępny dla innych); pominięto go.",
    ),
    "Russian": texts(
        "неизвестно",
        ReadFailed="Не удаётся прочитать %1: %2.",
        WriteFailed="Не удаётся записать %1: %2.",
        ChangedByOther="Другая программа продолжала изменять %1 во время обновления; ничего не "
        "записано. Повторите попытку.",
        OriginalSaved="Оригинал сохранён как %1 и будет восстановлен при следующем изменении "
        "файла.",
        FileUnchanged="Файл hosts не изменён.",
        NeedRoot="Чтобы изменить его, запустите Tavrin Hushgate от имени root.",
        NeedAdministrator="Чтобы изменить его, запустите Tavrin Hushgate от имени "
        "администратора.",
        SettingsNotSaved="Не удаётся сохранить настройки в %1: %2.",
        LanguageFilesMissing="Файлы языков не найдены в %1; используется английский.",
        ChangeNotAllowed="Tavrin Hushgate не получил разрешения изменить файл hosts: %1",
        ChangeFailed="Не удалось изменить файл hosts: %1",
        PkexecMissing="Файл hosts можно изменить только с правами администратора, а программа, "
        "которая их запрашивает (%1), не установлена. Установите пакет «pkexec» или запустите "
        "Tavrin Hushgate от имени root.",
        HelperMissing="Файл hosts можно изменить только с правами администратора, а "
        "вспомогательная программа Tavrin Hushgate (%1) не установлена. Установите пакет "
        "Tavrin Hushgate или запустите программу от имени root.",
        ChangeRolledBack="Прерванное изменение %1 отменено; повреждённая копия сохранена как "
        "%2.",
        ButtonOK="OK", ButtonYes="&Да", ButtonNo="&Нет",
        LanguageFileDamaged="Файл языка %1 нельзя использовать: %2; используется английский.",
        ResourcesMissing="Файл «Resources.dll» не найден!",
        ResourcesDamaged="Библиотеку значков %1 нельзя использовать: %2; панель инструментов остаётся без рисунков.",
        PartlyBlocked="Есть записей: %1 из %2",
        MarkedReadOnly="Файл %1 помечен как доступный только для чтения, и Tavrin Hushgate не изменяет такие файлы. Чтобы снять эту отметку, выполните: %2",
        HeldByOther="%1 занят другой программой%2; ничего не записано. Попробуйте ещё раз.",
        RecordSetAside="Запись о прерванном изменении %1 не подходит к файлу в его нынешнем виде; "
        "файл оставлен как есть, запись отложена как %2.",
        RecordIgnored="Записи %2 об изменении %1 нельзя доверять (другой владелец или доступна "
        "для записи другим); она пропущена.",
    ),
    "Ukrainian": texts(
        "невідомо",
        ReadFailed="Не вдається прочитати %1: %2.",
        WriteFailed="Не вдається записати %1: %2.",
        ChangedByOther="Інша програма постійно змінювала %1 під час оновлення; нічого не "
        "записано. Спробуйте ще раз.",
        OriginalSaved="Оригінал збережено як %1; його буде відновлено під час наступної зміни "
        "файлу.",
        FileUnchanged="Файл hosts не змінено.",
        NeedRoot="Щоб змінити його, запустіть Tavrin Hushgate від імені root.",
        NeedAdministrator="Щоб змінити його, запустіть Tavrin Hushgate від імені "
        "адміністратора.",
        SettingsNotSaved="Не вдається зберегти налаштування в %1: %2.",
        LanguageFilesMissing="Файли мов не знайдено в %1; показано англійською.",
        ChangeNotAllowed="Tavrin Hushgate не отримав дозволу змінити файл hosts: %1",
        ChangeFailed="Не вдалося змінити файл hosts: %1",
        PkexecMissing="Файл hosts можна змінити лише з правами адміністратора, а програму, яка "
        "їх запитує (%1), не встановлено. Встановіть пакет «pkexec» або запустіть Tavrin "
        "Hushgate від імені root.",
        HelperMissing="Файл hosts можна змінити лише з правами адміністратора, а допоміжну "
        "програму Tavrin Hushgate (%1) не встановлено. Встановіть пакет Tavrin Hushgate або "
        "запустіть програму від імені root.",
        ChangeRolledBack="Перервану зміну %1 скасовано; пошкоджену копію збережено як %2.",
        ButtonOK="OK", ButtonYes="&Так", ButtonNo="&Ні",
        LanguageFileDamaged="Файл мови %1 неможливо використати: %2; показано англійською.",
        ResourcesMissing="Файл «Resources.dll» не знайдено!",
        ResourcesDamaged="Бібліотеку значків %1 неможливо використати: %2; панель інструментів залишається без зображень.",
        PartlyBlocked="Наявно записів: %1 з %2",
        MarkedReadOnly="Файл %1 позначено як доступний лише для читання, і Tavrin Hushgate не змінює такі файли. Щоб зняти цю позначку, виконайте: %2",
        HeldByOther="%1 зайнятий іншою програмою%2; нічого не записано. Спробуйте ще раз.",
        RecordSetAside="Запис про перервану зміну %1 не відповідає файлу в його теперішньому "
        "вигляді; файл залишено як є, запис відкладено як %2.",
        RecordIgnored="Запису %2 про зміну %1 не можна довіряти (інший власник або доступний "
        "для запису іншим); його пропущено.",
    ),
    "Greek": texts(
        "άγνωστη",
        ReadFailed="Δεν είναι δυνατή η ανάγνωση του %1: %2.",
        WriteFailed="Δεν είναι δυνατή η εγγραφή του %1: %2.",
        ChangedByOther="Ένα άλλο πρόγραμμα άλλαζε συνεχώς το %1 κατά την ενημέρωση\u00b7 δεν "
        "γράφτηκε τίποτα. Δοκιμάστε ξανά.",
        OriginalSaved="Το αρχικό φυλάσσεται ως %1 και θα επανέλθει στην επόμενη αλλαγή του "
        "αρχείου.",
        FileUnchanged="Το αρχείο hosts δεν άλλαξε.",
        NeedRoot="Ξεκινήστε το Tavrin Hushgate ως root για να το αλλάξετε.",
        NeedAdministrator="Ξεκινήστε το Tavrin Hushgate ως διαχειριστής για να το αλλάξετε.",
        SettingsNotSaved="Δεν είναι δυνατή η αποθήκευση των ρυθμίσεων στο %1: %2.",
        LanguageFilesMissing="Δεν βρέθηκαν αρχεία γλώσσας στο %1\u00b7 εμφανίζονται αγγλικά.",
        ChangeNotAllowed="Δεν επιτράπηκε στο Tavrin Hushgate να αλλάξει το αρχείο hosts: %1",
        ChangeFailed="Δεν ήταν δυνατή η αλλαγή του αρχείου hosts: %1",
        PkexecMissing="Το αρχείο hosts αλλάζει μόνο με δικαιώματα διαχειριστή, και το "
        "πρόγραμμα που τα ζητά (%1) δεν είναι εγκατεστημένο. Εγκαταστήστε το πακέτο «pkexec» ή "
        "ξεκινήστε το Tavrin Hushgate ως root.",
        HelperMissing="Το αρχείο hosts αλλάζει μόνο με δικαιώματα διαχειριστή, και το "
        "βοηθητικό πρόγραμμα του Tavrin Hushgate (%1) δεν είναι εγκατεστημένο. Εγκαταστήστε το "
        "πακέτο του Tavrin Hushgate ή ξεκινήστε το ως root.",
        ChangeRolledBack="Μια αλλαγή του %1 που διακόπηκε αναιρέθηκε\u00b7 το κατεστραμμένο "
        "αντίγραφο κρατήθηκε ως %2.",
        ButtonOK="OK", ButtonYes="&Ναι", ButtonNo="Ό&χι",
        LanguageFileDamaged="Το αρχείο γλώσσας %1 δεν μπορεί να χρησιμοποιηθεί: %2\u00b7 εμφανίζονται αγγλικά.",
        ResourcesMissing="Το «Resources.dll» λείπει!",
        ResourcesDamaged="Η βιβλιοθήκη εικονιδίων %1 δεν μπορεί να χρησιμοποιηθεί: %2\u00b7 η γραμμή εργαλείων μένει χωρίς εικόνες.",
        PartlyBlocked="Υπάρχουν %1 από %2 καταχωρίσεις",
        MarkedReadOnly="Το %1 έχει σημειωθεί ως μόνο για ανάγνωση και το Tavrin Hushgate δεν αλλάζει τέτοιο αρχείο. Για να αφαιρέσετε τη σήμανση, εκτελέστε: %2",
        HeldByOther="Το %1 κρατείται από άλλο πρόγραμμα%2\u00b7 δεν γράφτηκε τίποτα. "
        "Δοκιμάστε ξανά.",
        RecordSetAside="Μια καταγραφή διακοπείσας αλλαγής του %1 δεν ταιριάζει με το αρχείο όπως "
        "είναι\u00b7 το αρχείο έμεινε ως έχει και η καταγραφή παραμερίστηκε ως %2.",
        RecordIgnored="Η καταγραφή %2 μιας αλλαγής του %1 δεν είναι αξιόπιστη (άλλος κάτοχος ή "
        "εγγράψιμη από άλλους) και αγνοήθηκε.",
    ),
    "Turkish": texts(
        "bilinmiyor",
        ReadFailed="%1 okunamıyor: %2.",
        WriteFailed="%1 yazılamıyor: %2.",
        ChangedByOther="Başka bir program güncelleme sırasında %1 dosyasını sürekli değiştirdi; "
        "hiçbir şey yazılmadı. Yeniden deneyin.",
        OriginalSaved="Özgün dosya %1 olarak saklandı ve dosyanın bir sonraki değişikliğinde "
        "geri yüklenecek.",
        FileUnchanged="hosts dosyası değişmedi.",
        NeedRoot="Değiştirmek için Tavrin Hushgate'i root olarak başlatın.",
        NeedAdministrator="Değiştirmek için Tavrin Hushgate'i yönetici olarak başlatın.",
        SettingsNotSaved="Ayarlar %1 dosyasına kaydedilemiyor: %2.",
        LanguageFilesMissing="%1 içinde dil dosyası bulunamadı; İngilizce gösteriliyor.",
        ChangeNotAllowed="Tavrin Hushgate'in hosts dosyasını değiştirmesine izin verilmedi: %1",
        ChangeFailed="hosts dosyası değiştirilemedi: %1",
        PkexecMissing="hosts dosyası yalnızca yönetici haklarıyla değiştirilebilir ve bu "
        "hakları isteyen program (%1) kurulu değil. \"pkexec\" paketini kurun ya da Tavrin "
        "Hushgate'i root olarak başlatın.",
        HelperMissing="hosts dosyası yalnızca yönetici haklarıyla değiştirilebilir ve Tavrin "
        "Hushgate'in yardımcı programı (%1) kurulu değil. Tavrin Hushgate paketini kurun ya da "
        "programı root olarak başlatın.",
        ChangeRolledBack="%1 dosyasındaki yarım kalan değişiklik geri alındı; bozuk kopya %2 "
        "olarak saklandı.",
        ButtonOK="Tamam", ButtonYes="&Evet", ButtonNo="&Hayır",
        LanguageFileDamaged="%1 dil dosyası kullanılamıyor: %2; İngilizce gösteriliyor.",
        ResourcesMissing="\"Resources.dll\" bulunamadı!",
        ResourcesDamaged="%1 simge kitaplığı kullanılamıyor: %2; araç çubuğu resimsiz kalıyor.",
        PartlyBlocked="%2 girdiden %1 tanesi mevcut",
        MarkedReadOnly="%1 salt okunur olarak işaretli ve Tavrin Hushgate böyle işaretli bir dosyayı değiştirmez. İşareti kaldırmak için şunu çalıştırın: %2",
        HeldByOther="%1 başka bir program tarafından tutuluyor%2; hiçbir şey yazılmadı. "
        "Yeniden deneyin.",
        RecordSetAside="%1 dosyasının yarıda kalan bir değişikliğine ait kayıt dosyanın şimdiki "
        "hâline uymuyor; dosyaya dokunulmadı ve kayıt %2 olarak bir kenara kondu.",
        RecordIgnored="%1 dosyasının bir değişikliğine ait %2 kaydına güvenilemez (başka bir sahip "
        "ya da başkalarınca yazılabilir) ve yok sayıldı.",
    ),
}
