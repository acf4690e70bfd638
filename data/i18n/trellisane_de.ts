<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Trellisane</name>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Each listed folder&apos;s current path and its new path. Delete removes the selected row; the context menu key opens the list&apos;s menu.</source>
        <translation>Der aktuelle und der neue Pfad jedes aufgelisteten Ordners. Entf entfernt die ausgewählte Zeile; die Kontextmenütaste öffnet das Menü der Liste.</translation>
    </message>
    <message>
        <source>Picks a folder and adds it to the list.</source>
        <translation>Wählt einen Ordner und fügt ihn der Liste hinzu.</translation>
    </message>
    <message>
        <source>Renames every listed folder to its new path.</source>
        <translation>Benennt jeden aufgelisteten Ordner in seinen neuen Pfad um.</translation>
    </message>
    <message>
        <source>Renaming operation</source>
        <translation>Umbenennungsvorgang</translation>
    </message>
    <message>
        <source>Removes every folder from the list; nothing on disk changes.</source>
        <translation>Entfernt alle Ordner aus der Liste; auf dem Datenträger ändert sich nichts.</translation>
    </message>
    <message>
        <source>Adds the sample folders that come with the program.</source>
        <translation>Fügt die mitgelieferten Beispielordner hinzu.</translation>
    </message>
    <message>
        <source>Tells where to ask questions.</source>
        <translation>Sagt, wo Sie Fragen stellen können.</translation>
    </message>
    <message>
        <source>Cannot be renamed.</source>
        <translation>Kann nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>Unchanged: the new name is the current name.</source>
        <translation>Unverändert: Der neue Name ist der aktuelle Name.</translation>
    </message>
    <message>
        <source>Renamed.</source>
        <translation>Umbenannt.</translation>
    </message>
    <message>
        <source>Could not be renamed.</source>
        <translation>Konnte nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>Made by an earlier preview.</source>
        <translation>Von einer früheren Vorschau erstellt.</translation>
    </message>
    <message>
        <source>Renamed by the last run, from &quot;%1&quot;.</source>
        <translation>Vom letzten Durchlauf umbenannt, von „%1“.</translation>
    </message>
    <message>
        <source>Left as it is by the last run: its new name was its current name.</source>
        <translation>Vom letzten Durchlauf unverändert gelassen: Sein neuer Name war sein aktueller Name.</translation>
    </message>
    <message>
        <source>The last run could not rename it:
%1</source>
        <translation>Der letzte Durchlauf konnte ihn nicht umbenennen:
%1</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot;, listed earlier, gets this new name first.</source>
        <translation>Der weiter oben aufgelistete Ordner „%1“ erhält diesen neuen Namen zuerst.</translation>
    </message>
    <message>
        <source>After the whole run the folder will be at &quot;%1&quot;.</source>
        <translation>Nach dem ganzen Durchlauf liegt der Ordner unter „%1“.</translation>
    </message>
    <message>
        <source>an earlier operation</source>
        <translation>einen früheren Vorgang</translation>
    </message>
    <message>
        <source>Not made by the latest preview but earlier, by %1. Start Renaming applies it as shown.</source>
        <translation>Nicht von der letzten Vorschau erstellt, sondern früher durch %1. „Umbenennen starten“ wendet ihn so an, wie er angezeigt wird.</translation>
    </message>
    <message>
        <source>Questions? Please contact Team Quorvane at </source>
        <translation>Fragen? Bitte wenden Sie sich an das Team von Quorvane: </translation>
    </message>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>Soll das Programm den Ordner öffnen, in dem diese Beispielordner liegen (damit Sie sie ansehen können, bevor Sie mit ihnen arbeiten)?</translation>
    </message>
    <message>
        <source>The pointer image %1 could not be read.</source>
        <translation>Das Zeigerbild %1 konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Name Of Folder - Current</source>
        <translation>Ordnername - aktuell</translation>
    </message>
    <message>
        <source>Name Of Folder - New Name</source>
        <translation>Ordnername - neuer Name</translation>
    </message>
    <message>
        <source>There is no listing of %1 to go through.</source>
        <translation>Es gibt keine Auflistung von %1 zum Durchgehen.</translation>
    </message>
    <message>
        <source>The operation selector has no row %1.</source>
        <translation>Die Vorgangsauswahl hat keine Zeile %1.</translation>
    </message>
    <message>
        <source>Please select folder:</source>
        <translation>Bitte Ordner auswählen:</translation>
    </message>
    <message>
        <source>Add Folder/s</source>
        <translation>Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Start Renaming</source>
        <translation>Umbenennen starten</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Add Folder Option</source>
        <translation>Option beim Hinzufügen</translation>
    </message>
    <message>
        <source>Add subfolders when adding folder</source>
        <translation>Unterordner mit hinzufügen</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>Load Sample/Example Folders</source>
        <translation>Beispielordner laden</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Doppelklick auf einen Eintrag entfernt ihn. Ziehen Sie die |-Linie nach rechts aus dem Fenster, um ganze Namen zu sehen.</translation>
    </message>
    <message>
        <source>Remove Rows That Cannot Be Renamed</source>
        <translation>Nicht umbenennbare Zeilen entfernen</translation>
    </message>
    <message>
        <source>No folders added.</source>
        <translation>Keine Ordner hinzugefügt.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
    <message>
        <source>Renaming folder 1 of %1</source>
        <translation>Ordner 1 von %1 wird umbenannt</translation>
    </message>
    <message>
        <source>Renaming folder %1 of %2
%3</source>
        <translation>Ordner %1 von %2 wird umbenannt
%3</translation>
    </message>
    <message>
        <source>Renaming was stopped: %1 of %2 folders renamed</source>
        <translation>Das Umbenennen wurde angehalten: %1 von %2 Ordnern umbenannt</translation>
    </message>
    <message>
        <source>, %1 left as they are (their names do not change)</source>
        <translation>, %1 unverändert gelassen (ihre Namen ändern sich nicht)</translation>
    </message>
    <message>
        <source>, %1 could not be renamed</source>
        <translation>, %1 konnten nicht umbenannt werden</translation>
    </message>
    <message>
        <source>, %1 not tried</source>
        <translation>, %1 nicht versucht</translation>
    </message>
    <message>
        <source>. &quot;Start Renaming&quot; renames the folders not tried.</source>
        <translation>. „Umbenennen starten“ benennt die nicht versuchten Ordner um.</translation>
    </message>
    <message>
        <source>The skin file %1 could not be read: %2</source>
        <translation>Die Skin-Datei %1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The web browser could not be started to open %1.</source>
        <translation>Der Webbrowser konnte nicht gestartet werden, um %1 zu öffnen.</translation>
    </message>
    <message>
        <source>Ticked: &quot;Add Folder/s&quot; lists the folder you pick and every folder beneath it, and Start Renaming renames them all, the picked folder itself too. A folder whose name holds a character outside the single-byte set, a &quot;?&quot; or a control character, or is 260 characters or longer, is left out with everything beneath it, and you are told which.
Not ticked: only the picked folder is listed.</source>
        <translation>Angekreuzt: „Ordner hinzufügen“ listet den gewählten Ordner und jeden Ordner darunter auf, und „Umbenennen starten“ benennt sie alle um, auch den gewählten Ordner selbst. Ein Ordner, dessen Name ein Zeichen außerhalb des Einzelbyte-Zeichensatzes, ein „?“ oder ein Steuerzeichen enthält oder 260 Zeichen oder länger ist, wird samt allem darunter ausgelassen, und Sie erfahren, welcher.
Nicht angekreuzt: Nur der gewählte Ordner wird aufgelistet.</translation>
    </message>
    <message>
        <source>Try &apos;trellisane-cli --help&apos;.</source>
        <translation>Siehe &apos;trellisane-cli --help&apos;.</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; takes no value</source>
        <translation>Option &apos;%1&apos; nimmt keinen Wert</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a value</source>
        <translation>Option &apos;%1&apos; braucht einen Wert</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a file name</source>
        <translation>Option &apos;%1&apos; braucht einen Dateinamen</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option &apos;%1&apos;</translation>
    </message>
    <message>
        <source>the value of &apos;%1&apos; is not valid UTF-8</source>
        <translation>der Wert von &apos;%1&apos; ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>--undo takes no --operation, --journal, --status, --check or FOLDER</source>
        <translation>--undo nimmt kein --operation, --journal, --status, --check und keinen ORDNER</translation>
    </message>
    <message>
        <source>--journal needs --apply</source>
        <translation>--journal braucht --apply</translation>
    </message>
    <message>
        <source>--operation is missing</source>
        <translation>--operation fehlt</translation>
    </message>
    <message>
        <source>no FOLDER given</source>
        <translation>kein ORDNER angegeben</translation>
    </message>
    <message>
        <source>--status and --check show a preview; they do not go with --apply</source>
        <translation>--status und --check zeigen eine Vorschau; sie passen nicht zu --apply</translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>&apos;%1&apos; needs %2</source>
        <translation>&apos;%1&apos; braucht %2</translation>
    </message>
    <message>
        <source>warning: --%1 is not used by &apos;%2&apos; and changes nothing</source>
        <translation>Warnung: --%1 wird von &apos;%2&apos; nicht verwendet und ändert nichts</translation>
    </message>
    <message>
        <source>cannot write the output</source>
        <translation>die Ausgabe kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>--operation &apos;%1&apos; selects no operation; the operations are:</source>
        <translation>--operation &apos;%1&apos; wählt keinen Vorgang; die Vorgänge sind:</translation>
    </message>
    <message>
        <source>cannot read the working directory for &apos;%1&apos;</source>
        <translation>das Arbeitsverzeichnis für &apos;%1&apos; kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the name of &apos;%1&apos; is not valid UTF-8</source>
        <translation>der Name von &apos;%1&apos; ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not an existing folder</source>
        <translation>&apos;%1&apos; ist kein vorhandener Ordner</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to </source>
        <translation>Bitte senden Sie ein Bildschirmfoto dieser Meldung per E-Mail an </translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Anwendungsfehler</translation>
    </message>
    <message>
        <source>Writes every letter of each folder&apos;s name in upper case.</source>
        <translation>Schreibt jeden Buchstaben jedes Ordnernamens groß.</translation>
    </message>
    <message>
        <source>Writes every letter of each folder&apos;s name in lower case.</source>
        <translation>Schreibt jeden Buchstaben jedes Ordnernamens klein.</translation>
    </message>
    <message>
        <source>Writes the first letter of every word of each folder&apos;s name in upper case and the rest in lower case.</source>
        <translation>Schreibt den ersten Buchstaben jedes Wortes jedes Ordnernamens groß und den Rest klein.</translation>
    </message>
    <message>
        <source>Writes the first letter of each folder&apos;s name in upper case and the rest in lower case.</source>
        <translation>Schreibt den ersten Buchstaben jedes Ordnernamens groß und den Rest klein.</translation>
    </message>
    <message>
        <source>Adds x at the beginning of each folder&apos;s name.</source>
        <translation>Fügt x am Anfang jedes Ordnernamens hinzu.</translation>
    </message>
    <message>
        <source>x is the text to add; you are asked for it.</source>
        <translation>x ist der hinzuzufügende Text; Sie werden danach gefragt.</translation>
    </message>
    <message>
        <source>Adds x at the end of each folder&apos;s name.</source>
        <translation>Fügt x am Ende jedes Ordnernamens hinzu.</translation>
    </message>
    <message>
        <source>Adds x before every y in each folder&apos;s name.</source>
        <translation>Fügt x vor jedem y in jedem Ordnernamen ein.</translation>
    </message>
    <message>
        <source>y is the text to look for and x the text to add; you are asked for y, then for x.</source>
        <translation>y ist der gesuchte Text und x der hinzuzufügende; Sie werden nach y, dann nach x gefragt.</translation>
    </message>
    <message>
        <source>Adds x after every y in each folder&apos;s name.</source>
        <translation>Fügt x nach jedem y in jedem Ordnernamen ein.</translation>
    </message>
    <message>
        <source>Removes every blank from each folder&apos;s name.</source>
        <translation>Entfernt jedes Leerzeichen aus jedem Ordnernamen.</translation>
    </message>
    <message>
        <source>Removes the empty lines from names that hold line breaks: two line breaks in a row become one.</source>
        <translation>Entfernt die Leerzeilen aus Namen mit Zeilenumbrüchen: Zwei Zeilenumbrüche hintereinander werden zu einem.</translation>
    </message>
    <message>
        <source>Removes the letters A to Z and a to z from each folder&apos;s name.</source>
        <translation>Entfernt die Buchstaben A bis Z und a bis z aus jedem Ordnernamen.</translation>
    </message>
    <message>
        <source>Removes the digits 0 to 9 from each folder&apos;s name.</source>
        <translation>Entfernt die Ziffern 0 bis 9 aus jedem Ordnernamen.</translation>
    </message>
    <message>
        <source>Removes the letters A to Z and a to z and the digits 0 to 9 from each folder&apos;s name.</source>
        <translation>Entfernt die Buchstaben A bis Z und a bis z und die Ziffern 0 bis 9 aus jedem Ordnernamen.</translation>
    </message>
    <message>
        <source>Keeps only the letters A to Z and a to z, the digits 0 to 9, blanks and line breaks in each folder&apos;s name.</source>
        <translation>Behält in jedem Ordnernamen nur die Buchstaben A bis Z und a bis z, die Ziffern 0 bis 9, Leerzeichen und Zeilenumbrüche.</translation>
    </message>
    <message>
        <source>Removes every x from each folder&apos;s name.</source>
        <translation>Entfernt jedes x aus jedem Ordnernamen.</translation>
    </message>
    <message>
        <source>x is the text to remove; you are asked for it.</source>
        <translation>x ist der zu entfernende Text; Sie werden danach gefragt.</translation>
    </message>
    <message>
        <source>Replaces every occurrence of one text with another in each folder&apos;s name.</source>
        <translation>Ersetzt in jedem Ordnernamen jedes Vorkommen eines Textes durch einen anderen.</translation>
    </message>
    <message>
        <source>You are asked for the text to find, then for the text to put in its place; if either is left empty, no name changes.</source>
        <translation>Sie werden nach dem zu suchenden Text gefragt, dann nach dem Text, der an seine Stelle tritt; bleibt einer leer, ändert sich kein Name.</translation>
    </message>
    <message>
        <source>A separator: picking it changes no name.</source>
        <translation>Ein Trenner: Ihn zu wählen ändert keinen Namen.</translation>
    </message>
    <message>
        <source>Example: %1 becomes %2.</source>
        <translation>Beispiel: %1 wird zu %2.</translation>
    </message>
    <message>
        <source>Example: with %1, %2 becomes %3.</source>
        <translation>Beispiel: Mit %1 wird %2 zu %3.</translation>
    </message>
    <message>
        <source>(%1 stands for a line break.)</source>
        <translation>(%1 steht für einen Zeilenumbruch.)</translation>
    </message>
    <message>
        <source>%1 with %2</source>
        <translation>%1 mit %2</translation>
    </message>
    <message>
        <source>Enter text to add: </source>
        <translation>Hinzuzufügenden Text eingeben: </translation>
    </message>
    <message>
        <source>Enter text to add (x): </source>
        <translation>Hinzuzufügenden Text eingeben (x): </translation>
    </message>
    <message>
        <source>Change case of folder(s) to UPPER CASE</source>
        <translation>Ordnernamen in GROSSBUCHSTABEN schreiben</translation>
    </message>
    <message>
        <source>Change case of folder(s) to lower case</source>
        <translation>Ordnernamen in kleinbuchstaben schreiben</translation>
    </message>
    <message>
        <source>Change case of folder(s) to Proper Case</source>
        <translation>Ordnernamen Mit Großen Anfangsbuchstaben schreiben</translation>
    </message>
    <message>
        <source>Change case of folder(s) to Sentence case</source>
        <translation>Ordnernamen wie einen Satz schreiben (erster Buchstabe groß)</translation>
    </message>
    <message>
        <source>Add x to beginning of each in folder(s)</source>
        <translation>x am Anfang jedes Ordnernamens hinzufügen</translation>
    </message>
    <message>
        <source>Add x to end of each in folder(s)</source>
        <translation>x am Ende jedes Ordnernamens hinzufügen</translation>
    </message>
    <message>
        <source>Add x before every y character(s) in folder(s)</source>
        <translation>x vor jedem y in Ordnernamen einfügen</translation>
    </message>
    <message>
        <source>Enter before text (y): </source>
        <translation>Text eingeben, vor dem eingefügt wird (y): </translation>
    </message>
    <message>
        <source>Add x after every y character(s) in folder(s)</source>
        <translation>x nach jedem y in Ordnernamen einfügen</translation>
    </message>
    <message>
        <source>Enter after text (y): </source>
        <translation>Text eingeben, nach dem eingefügt wird (y): </translation>
    </message>
    <message>
        <source>Remove all spaces in folder(s)</source>
        <translation>Alle Leerzeichen aus Ordnernamen entfernen</translation>
    </message>
    <message>
        <source>Remove all blank lines (enters) in folder(s)</source>
        <translation>Alle Leerzeilen (Zeilenumbrüche) aus Ordnernamen entfernen</translation>
    </message>
    <message>
        <source>Remove alphabet character(s) in folder(s)</source>
        <translation>Buchstaben aus Ordnernamen entfernen</translation>
    </message>
    <message>
        <source>Remove numeric character(s) in folder(s)</source>
        <translation>Ziffern aus Ordnernamen entfernen</translation>
    </message>
    <message>
        <source>Remove alphanumeric character(s) in folder(s)</source>
        <translation>Buchstaben und Ziffern aus Ordnernamen entfernen</translation>
    </message>
    <message>
        <source>Remove non-alphanumeric character(s) in folder(s)</source>
        <translation>Alles außer Buchstaben und Ziffern aus Ordnernamen entfernen</translation>
    </message>
    <message>
        <source>Remove x (user-specified) in folder(s)</source>
        <translation>x (frei wählbar) aus Ordnernamen entfernen</translation>
    </message>
    <message>
        <source>Please enter characters you would like to remove:</source>
        <translation>Bitte die Zeichen eingeben, die entfernt werden sollen:</translation>
    </message>
    <message>
        <source>Find and replace x (user-specified) character(s) in folder(s)</source>
        <translation>x (frei wählbar) in Ordnernamen suchen und ersetzen</translation>
    </message>
    <message>
        <source>Find What:</source>
        <translation>Suchen nach:</translation>
    </message>
    <message>
        <source>Replace With:</source>
        <translation>Ersetzen durch:</translation>
    </message>
    <message>
        <source>another listed folder</source>
        <translation>einen anderen aufgelisteten Ordner</translation>
    </message>
    <message>
        <source>another folder</source>
        <translation>einen anderen Ordner</translation>
    </message>
    <message>
        <source>a file</source>
        <translation>eine Datei</translation>
    </message>
    <message>
        <source>a listed symbolic link</source>
        <translation>eine aufgelistete symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>a symbolic link</source>
        <translation>eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>The folder&apos;s path holds a NUL character.</source>
        <translation>Der Pfad des Ordners enthält ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>The folder has no name to change.</source>
        <translation>Der Ordner hat keinen Namen, der sich ändern ließe.</translation>
    </message>
    <message>
        <source>The new path is not in the folder&apos;s own parent folder.</source>
        <translation>Der neue Pfad liegt nicht im übergeordneten Ordner des Ordners.</translation>
    </message>
    <message>
        <source>The new name would be empty.</source>
        <translation>Der neue Name wäre leer.</translation>
    </message>
    <message>
        <source>The new name &quot;%1&quot; is not a folder name.</source>
        <translation>Der neue Name „%1“ ist kein Ordnername.</translation>
    </message>
    <message>
        <source>The new name &quot;%1&quot; holds a path separator.</source>
        <translation>Der neue Name „%1“ enthält ein Pfadtrennzeichen.</translation>
    </message>
    <message>
        <source>The new name holds a NUL character.</source>
        <translation>Der neue Name enthält ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>The new name is longer than its file system allows.</source>
        <translation>Der neue Name ist länger, als sein Dateisystem erlaubt.</translation>
    </message>
    <message>
        <source>You may not rename folders in its parent folder.</source>
        <translation>Sie dürfen im übergeordneten Ordner keine Ordner umbenennen.</translation>
    </message>
    <message>
        <source>The folder is on a read-only file system.</source>
        <translation>Der Ordner liegt auf einem schreibgeschützten Dateisystem.</translation>
    </message>
    <message>
        <source>The folder cannot be renamed.</source>
        <translation>Der Ordner kann nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>a folder of that name is already there</source>
        <translation>ein Ordner dieses Namens ist schon vorhanden</translation>
    </message>
    <message>
        <source>a file of that name is already there</source>
        <translation>eine Datei dieses Namens ist schon vorhanden</translation>
    </message>
    <message>
        <source>a symbolic link of that name is already there</source>
        <translation>eine symbolische Verknüpfung dieses Namens ist schon vorhanden</translation>
    </message>
    <message>
        <source>a folder of that name is already there, given it by row %1</source>
        <translation>ein Ordner dieses Namens ist schon vorhanden, benannt von Zeile %1</translation>
    </message>
    <message>
        <source>no folder is there any more</source>
        <translation>dort ist kein Ordner mehr</translation>
    </message>
    <message>
        <source>its parent folder may not be changed</source>
        <translation>sein übergeordneter Ordner darf nicht verändert werden</translation>
    </message>
    <message>
        <source>its file system is read-only</source>
        <translation>sein Dateisystem ist schreibgeschützt</translation>
    </message>
    <message>
        <source>the name is longer than its file system allows</source>
        <translation>der Name ist länger, als sein Dateisystem erlaubt</translation>
    </message>
    <message>
        <source>The folder gets its new name.</source>
        <translation>Der Ordner erhält seinen neuen Namen.</translation>
    </message>
    <message>
        <source>The new name is the folder&apos;s current name.</source>
        <translation>Der neue Name ist der aktuelle Name des Ordners.</translation>
    </message>
    <message>
        <source>The row has no new name: it has not been previewed.</source>
        <translation>Die Zeile hat keinen neuen Namen: Sie wurde nicht in der Vorschau berechnet.</translation>
    </message>
    <message>
        <source>The new name is already taken by %1 in its parent folder.</source>
        <translation>Der neue Name ist im übergeordneten Ordner schon von %1 belegt.</translation>
    </message>
    <message>
        <source>Row %1 gives its folder this new name first.</source>
        <translation>Zeile %1 gibt ihrem Ordner diesen neuen Namen zuerst.</translation>
    </message>
    <message>
        <source>The folder is no longer at its current path.</source>
        <translation>Der Ordner liegt nicht mehr unter seinem aktuellen Pfad.</translation>
    </message>
    <message>
        <source>The folder cannot be renamed: %1.</source>
        <translation>Der Ordner kann nicht umbenannt werden: %1.</translation>
    </message>
    <message>
        <source>The run was stopped before this folder&apos;s turn.</source>
        <translation>Der Durchlauf wurde angehalten, bevor dieser Ordner an der Reihe war.</translation>
    </message>
    <message>
        <source>No new name: %1 has not been previewed.</source>
        <translation>Kein neuer Name: %1 wurde nicht in der Vorschau berechnet.</translation>
    </message>
    <message>
        <source>%1 was not renamed to &quot;%2&quot;: the run was stopped before its turn.</source>
        <translation>%1 wurde nicht in „%2“ umbenannt: Der Durchlauf wurde angehalten, bevor er an der Reihe war.</translation>
    </message>
    <message>
        <source>%1 cannot be renamed to &quot;%2&quot;. </source>
        <translation>%1 kann nicht in „%2“ umbenannt werden. </translation>
    </message>
    <message>
        <source>%1 folders could not be put back</source>
        <translation>%1 Ordner konnten nicht zurückgesetzt werden</translation>
    </message>
    <message>
        <source>
and %1 more</source>
        <translation>
und %1 weitere</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weiterer</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>Undo Last Renaming</source>
        <translation>Letzte Umbenennung rückgängig machen</translation>
    </message>
    <message>
        <source>1 folder was put back where it was before the last run.</source>
        <translation>1 Ordner wurde dorthin zurückgesetzt, wo er vor dem letzten Durchlauf war.</translation>
    </message>
    <message>
        <source>%1 folders were put back where they were before the last run.</source>
        <translation>%1 Ordner wurden dorthin zurückgesetzt, wo sie vor dem letzten Durchlauf waren.</translation>
    </message>
    <message>
        <source>%1: %2 cannot be renamed to &quot;%3&quot;</source>
        <translation>%1: %2 kann nicht in „%3“ umbenannt werden</translation>
    </message>
    <message>
        <source> (%1)</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>The renaming operation, which gives every listed folder its new name.</source>
        <translation>Der Umbenennungsvorgang, der jedem aufgelisteten Ordner seinen neuen Namen gibt.</translation>
    </message>
    <message>
        <source>The folder lies inside the installed program&apos;s own folder %1, which Trellisane never changes. To try the samples, copy that folder somewhere of your own and start the trellisane program inside the copy.</source>
        <translation>Der Ordner liegt im eigenen Ordner des installierten Programms, %1, den Trellisane nie verändert. Um die Beispiele auszuprobieren, kopieren Sie diesen Ordner an einen eigenen Ort und starten Sie das Programm trellisane in der Kopie.</translation>
    </message>
    <message>
        <source>
… and %1 more</source>
        <translation>
… und %1 weitere</translation>
    </message>
    <message>
        <source>Only folders are listed, so these were not added:

%1</source>
        <translation>Nur Ordner werden aufgelistet, daher wurden diese nicht hinzugefügt:

%1</translation>
    </message>
    <message numerus="yes">
        <source>%n folder(s) beneath the folder you added were left out, each with everything beneath it, and will not be renamed: their names hold a character outside the single-byte character set, a &quot;?&quot; or a control character, or are 260 characters or longer.</source>
        <translation>
            <numerusform>%n Ordner unterhalb des hinzugefügten Ordners wurde samt allem darunter ausgelassen und wird nicht umbenannt: Sein Name enthält ein Zeichen außerhalb des Einzelbyte-Zeichensatzes, ein „?“ oder ein Steuerzeichen, oder ist 260 Zeichen oder länger.</numerusform>
            <numerusform>%n Ordner unterhalb des hinzugefügten Ordners wurden samt allem darunter ausgelassen und werden nicht umbenannt: Ihre Namen enthalten ein Zeichen außerhalb des Einzelbyte-Zeichensatzes, ein „?“ oder ein Steuerzeichen, oder sind 260 Zeichen oder länger.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more folder(s) could not be renamed. Each of their rows is marked with the reason.</source>
        <translation>
            <numerusform>%n weiterer Ordner konnte nicht umbenannt werden. Seine Zeile ist mit dem Grund markiert.</numerusform>
            <numerusform>%n weitere Ordner konnten nicht umbenannt werden. Jede ihrer Zeilen ist mit dem Grund markiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>The undo covers the last run only: %1 folders renamed by earlier runs keep their new names.</source>
        <translation>Das Rückgängigmachen betrifft nur den letzten Durchlauf: %1 Ordner, die frühere Durchläufe umbenannt haben, behalten ihre neuen Namen.</translation>
    </message>
    <message>
        <source>--trust-paths goes with --undo</source>
        <translation>--trust-paths gehört zu --undo</translation>
    </message>
    <message>
        <source>NTFS (through ntfs-3g, held to Windows&apos; naming rules)</source>
        <translation>NTFS (über ntfs-3g, an die Namensregeln von Windows gebunden)</translation>
    </message>
    <message>
        <source>exFAT (through exfat-fuse)</source>
        <translation>exFAT (über exfat-fuse)</translation>
    </message>
    <message>
        <source>NTFS (ntfs3 with Windows&apos; naming rules)</source>
        <translation>NTFS (ntfs3 mit den Namensregeln von Windows)</translation>
    </message>
    <message>
        <source>The new name holds &quot;%1&quot;, which %2 does not allow in names.</source>
        <translation>Der neue Name enthält „%1“, was %2 in Namen nicht erlaubt.</translation>
    </message>
    <message>
        <source>The new name holds a control character, which %1 does not allow in names.</source>
        <translation>Der neue Name enthält ein Steuerzeichen, das %1 in Namen nicht erlaubt.</translation>
    </message>
    <message>
        <source>The new name ends with a blank, which %1 does not allow.</source>
        <translation>Der neue Name endet mit einem Leerzeichen, was %1 nicht erlaubt.</translation>
    </message>
    <message>
        <source>The new name ends with a dot, which %1 does not allow.</source>
        <translation>Der neue Name endet mit einem Punkt, was %1 nicht erlaubt.</translation>
    </message>
    <message>
        <source>The new name ends with a dot, which %1 would silently drop.</source>
        <translation>Der neue Name endet mit einem Punkt, den %1 stillschweigend weglassen würde.</translation>
    </message>
    <message>
        <source>The new name &quot;%1&quot; is a device name, which %2 does not allow.</source>
        <translation>Der neue Name „%1“ ist ein Gerätename, den %2 nicht erlaubt.</translation>
    </message>
    <message>
        <source>The folder comes from a lower layer of an overlay mounted without redirect_dir, which cannot rename it.</source>
        <translation>Der Ordner stammt aus einer unteren Schicht eines Overlays, das ohne redirect_dir eingehängt ist und ihn daher nicht umbenennen kann.</translation>
    </message>
    <message>
        <source>The renaming may fail: the folder is on an overlay mounted without redirect_dir, whose lower layers cannot be seen from here, and a folder from a lower layer cannot be renamed there.</source>
        <translation>Das Umbenennen kann fehlschlagen: Der Ordner liegt auf einem ohne redirect_dir eingehängten Overlay, dessen untere Schichten von hier aus nicht sichtbar sind, und ein Ordner aus einer unteren Schicht kann dort nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>It is the root folder, which the system stands on.</source>
        <translation>Es ist der Wurzelordner, auf dem das System steht.</translation>
    </message>
    <message>
        <source>It lies directly in the root folder, where the system keeps its own folders.</source>
        <translation>Er liegt direkt im Wurzelordner, wo das System seine eigenen Ordner ablegt.</translation>
    </message>
    <message>
        <source>It is your home folder.</source>
        <translation>Es ist Ihr persönlicher Ordner.</translation>
    </message>
    <message>
        <source>A file system is mounted on it; unmount it first.</source>
        <translation>Auf ihm ist ein Dateisystem eingehängt; hängen Sie es zuerst aus.</translation>
    </message>
    <message>
        <source>(not recorded)</source>
        <translation>(nicht aufgezeichnet)</translation>
    </message>
    <message>
        <source>%1 = &quot;%2&quot;</source>
        <translation>%1 = &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Show Undo</source>
        <translation>Rückgängig zeigen</translation>
    </message>
    <message>
        <source>Export CSV...</source>
        <translation>Als CSV exportieren...</translation>
    </message>
    <message>
        <source>Forget</source>
        <translation>Vergessen</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>When</source>
        <translation>Wann</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Vorgang</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stand</translation>
    </message>
    <message>
        <source>Where it is now</source>
        <translation>Wo er jetzt ist</translation>
    </message>
    <message>
        <source>Put back to</source>
        <translation>Zurück nach</translation>
    </message>
    <message>
        <source>Why not</source>
        <translation>Warum nicht</translation>
    </message>
    <message>
        <source>The run of %1 renamed some of the same folders after this one. Undo it first: runs are undone newest first.</source>
        <translation>Der Durchlauf von %1 hat danach einige derselben Ordner umbenannt. Machen Sie ihn zuerst rückgängig: Durchläufe werden vom neuesten an rückgängig gemacht.</translation>
    </message>
    <message>
        <source>The folder has its old name already.</source>
        <translation>Der Ordner hat seinen alten Namen schon.</translation>
    </message>
    <message>
        <source>Undoing this run would put back %1 of %2 folders.</source>
        <translation>Das Rückgängigmachen dieses Durchlaufs setzte %1 von %2 Ordnern zurück.</translation>
    </message>
    <message>
        <source>A newer run over the same folders must be undone first.</source>
        <translation>Ein neuerer Durchlauf über dieselben Ordner muss zuerst rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be read: %1</source>
        <translation>Das Protokoll des Durchlaufs kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Als CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>The run could not be exported: %1</source>
        <translation>Der Durchlauf konnte nicht exportiert werden: %1</translation>
    </message>
    <message>
        <source>Forget the run of %1? It can no longer be undone.</source>
        <translation>Den Durchlauf von %1 vergessen? Er kann dann nicht mehr rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Its folders keep the names it gave them.</source>
        <translation>Seine Ordner behalten die Namen, die er ihnen gab.</translation>
    </message>
    <message>
        <source>The run could not be forgotten: %1</source>
        <translation>Der Durchlauf konnte nicht vergessen werden: %1</translation>
    </message>
    <message>
        <source>Usage: trellisane-cli --operation TEXT [--x TEXT] [--y TEXT] [--find TEXT]
                      [--replace TEXT] [--subfolders]
                      [--apply [--journal FILE | --record] [--quiet] | --status | --check]
                      [--print0] FOLDER...
       trellisane-cli --undo FILE|RUN [--apply] [--trust-paths] [--print0]
       trellisane-cli --history
       trellisane-cli --export-csv FILE|RUN

Shows, for every FOLDER, the path it would get under one renaming operation, or renames
it with --apply. Each FOLDER is added as one batch, in the order given.

  --operation TEXT  the operation: a keyword or a full text from the list below
  --x TEXT          the text to add or to remove
  --y TEXT          the text before or after which x is added
  --find TEXT       the text to find (find and replace)
  --replace TEXT    the text to put in its place (find and replace)
  --subfolders      add every folder beneath each FOLDER as well, deepest first;
                    a folder whose name holds a character outside the single-byte
                    set (Latin-1), a &apos;?&apos; or a control character, or is 260 characters
                    or longer, is left out with everything beneath it, each named on
                    standard error on a line beginning &quot;skipped: &quot;
  --apply           rename the folders on disk, first row to last, then print the paths
                    where they are now
  --status          add a third field to every row: its status, as Start Renaming
                    would find it (the statuses are listed below)
  --check           print only the rows that would not be renamed, with their status
                    and the reason; exit 1 when there is any
  --journal FILE    with --apply, record the run in the new file FILE as it goes, so
                    that --undo can put every folder back, even after a crash
  --record          with --apply, keep the run in the history, beside the window&apos;s runs
                    ($XDG_STATE_HOME/trellisane/history), so that it can be undone
  --undo FILE|RUN   put back every folder the run recorded in FILE (or the run RUN of
                    the history) renamed, newest first (with --apply; without, only
                    show it: each folder&apos;s path now, a TAB and the path it would get
                    back); a run of the history is undone only after every newer run
                    over the same folders
  --history         list the runs of the history, newest first: id, start (UTC), state
                    (running, done, cut-short, partly-undone, undone), folders renamed,
                    where it was made, the operation and its answers, TAB-separated
  --export-csv FILE|RUN
                    write what the run did as CSV: time (UTC), old path, new path,
                    outcome
  --trust-paths     with --undo, also put back the folders known only by their path:
                    on a disk mounted again whose file system numbers its folders
                    anew at each mount (exFAT, FAT, sshfs, overlays)
  --print0          end every path with a NUL byte instead of a TAB or a newline
  --quiet           with --apply, show no progress counter on standard error (one
                    is shown only when it is a terminal); failures are still reported
  --help, -h        show this help and exit
  --version         show the version and exit
  --                end of options: every later argument is a FOLDER

An operation&apos;s answers must be given: --x to add or remove a text, --y and --x to add
before or after every y, --find and --replace to find and replace; a missing one is a
usage error. An answer given as &quot;&quot; is taken as a cancelled prompt: that operation then
changes no name. An answer the operation does not use is warned about and ignored.

Without --apply each row is printed as its current path, a TAB and its new path, one per
line. A new path is printed for every row the operation applies to, even when it equals
the current path; it is empty only when the operation made no change at all (an answer
given as &quot;&quot;).

Statuses (--status, --check):
  ok                the folder gets its new name
  unchanged         the new name is the folder&apos;s current name: nothing to do
  not-previewed     the row has no new path
  refused           the name or the place does not allow the rename (an empty name,
                    a separator, a name too long, a name the folder&apos;s file system
                    would refuse or change, no permission, a read-only file system,
                    or a folder the program never renames: the installed program&apos;s
                    own, /, a folder directly in /, the home folder, a mount point)
  taken             the new name is held by another entry in the parent folder
  claimed           an earlier row gives its folder this new name first
  missing           the current path no longer names a folder
  failed            the folder cannot be examined or renamed for another reason the
                    system gives (for example a folder of /proc, or one in an overlay&apos;s
                    lower layer), shown with --check
  may-fail          predicted ok, but its file system may refuse it (an overlay whose
                    layers cannot be seen); counted as ok by --check, reason shown

Every failure is reported as one line on standard error; a backslash or a control
character in it is shown escaped (\\, \n, \t, \x1b, ...).

Exit status: 0 success, 1 some folder could not be renamed (or put back), 2 usage error
(an existing --journal FILE, an --undo FILE that is no sound journal included).

Operations (keyword, then full text):
</source>
        <translation>Aufruf: trellisane-cli --operation TEXT [--x TEXT] [--y TEXT] [--find TEXT]
                      [--replace TEXT] [--subfolders]
                      [--apply [--journal DATEI | --record] [--quiet] | --status | --check]
                      [--print0] ORDNER...
       trellisane-cli --undo DATEI|LAUF [--apply] [--trust-paths] [--print0]
       trellisane-cli --history
       trellisane-cli --export-csv DATEI|LAUF

Zeigt für jeden ORDNER den Pfad, den er unter einem Umbenennungsvorgang erhielte, oder
benennt ihn mit --apply um. Jeder ORDNER wird als ein Stapel hinzugefügt, in der
angegebenen Reihenfolge.

  --operation TEXT  der Vorgang: ein Schlüsselwort oder ein voller Text aus der Liste unten
  --x TEXT          der hinzuzufügende oder zu entfernende Text
  --y TEXT          der Text, vor oder nach dem x eingefügt wird
  --find TEXT       der zu suchende Text (Suchen und Ersetzen)
  --replace TEXT    der Text, der an seine Stelle tritt (Suchen und Ersetzen)
  --subfolders      auch jeden Ordner unterhalb jedes ORDNERS hinzufügen, tiefste zuerst;
                    ein Ordner, dessen Name ein Zeichen außerhalb des Einzelbyte-
                    Zeichensatzes (Latin-1), ein &apos;?&apos; oder ein Steuerzeichen enthält oder
                    260 Zeichen oder länger ist, wird samt allem darunter ausgelassen und
                    auf der Standardfehlerausgabe in einer Zeile genannt, die mit
                    &quot;skipped: &quot; beginnt
  --apply           die Ordner auf dem Datenträger umbenennen, erste Zeile zuerst, dann
                    die Pfade ausgeben, unter denen sie jetzt liegen
  --status          jeder Zeile ein drittes Feld anfügen: ihren Status, wie &quot;Umbenennen
                    starten&quot; ihn vorfände (die Status stehen unten)
  --check           nur die Zeilen ausgeben, die nicht umbenannt würden, mit Status und
                    Grund; Rückgabewert 1, wenn es welche gibt
  --journal DATEI   mit --apply den Durchlauf laufend in der neuen Datei DATEI
                    aufzeichnen, damit --undo jeden Ordner zurücksetzen kann, auch nach
                    einem Absturz
  --record          mit --apply den Durchlauf im Verlauf behalten, neben denen des Fensters
                    ($XDG_STATE_HOME/trellisane/history), damit er rückgängig gemacht werden kann
  --undo DATEI|LAUF jeden Ordner, den der in DATEI aufgezeichnete Durchlauf (oder der
                    Durchlauf LAUF des Verlaufs) umbenannt hat, zurücksetzen, neueste zuerst
                    (mit --apply; ohne nur anzeigen: den jetzigen Pfad jedes Ordners, ein
                    TAB und den Pfad, den er zurückerhielte); ein Durchlauf des Verlaufs
                    erst nach jedem neueren über dieselben Ordner
  --history         die Durchläufe des Verlaufs auflisten, neueste zuerst: Kennung, Beginn
                    (UTC), Stand (running, done, cut-short, partly-undone, undone),
                    umbenannte Ordner, Herkunft, der Vorgang und seine Antworten, durch TAB
                    getrennt
  --export-csv DATEI|LAUF
                    als CSV schreiben, was der Durchlauf tat: Zeit (UTC), alter Pfad,
                    neuer Pfad, Ergebnis
  --trust-paths     mit --undo auch die Ordner zurücksetzen, die nur an ihrem Pfad
                    erkannt werden: auf einem wieder eingehängten Datenträger, dessen
                    Dateisystem seine Ordner bei jedem Einhängen neu nummeriert (exFAT,
                    FAT, sshfs, Overlays)
  --print0          jeden Pfad mit einem NUL-Byte statt einem TAB oder Zeilenumbruch beenden
  --quiet           mit --apply keinen Fortschrittszähler auf der Standardfehlerausgabe
                    zeigen (er erscheint nur auf einem Terminal); Fehler werden weiterhin
                    gemeldet
  --help, -h        diese Hilfe zeigen und beenden
  --version         die Version zeigen und beenden
  --                Ende der Optionen: jedes weitere Argument ist ein ORDNER

Die Antworten eines Vorgangs müssen angegeben werden: --x zum Hinzufügen oder Entfernen
eines Textes, --y und --x zum Einfügen vor oder nach jedem y, --find und --replace zum
Suchen und Ersetzen; eine fehlende ist ein Aufruffehler. Eine als &quot;&quot; gegebene Antwort gilt
als abgebrochene Eingabe: Der Vorgang ändert dann keinen Namen. Eine Antwort, die der
Vorgang nicht verwendet, wird mit einer Warnung übergangen.

Ohne --apply wird jede Zeile als ihr aktueller Pfad, ein TAB und ihr neuer Pfad ausgegeben,
eine pro Zeile. Ein neuer Pfad wird für jede Zeile ausgegeben, auf die der Vorgang
angewandt wird, auch wenn er dem aktuellen gleicht; er ist nur leer, wenn der Vorgang gar
nichts geändert hat (eine als &quot;&quot; gegebene Antwort).

Status (--status, --check):
  ok                der Ordner erhält seinen neuen Namen
  unchanged         der neue Name ist der aktuelle Name des Ordners: nichts zu tun
  not-previewed     die Zeile hat keinen neuen Pfad
  refused           der Name oder der Ort erlaubt das Umbenennen nicht (ein leerer Name,
                    ein Trennzeichen, ein zu langer Name, ein Name, den das Dateisystem
                    des Ordners ablehnen oder ändern würde, keine Berechtigung, ein
                    schreibgeschütztes Dateisystem oder ein Ordner, den das Programm nie
                    umbenennt: der des installierten Programms, /, ein Ordner direkt in /,
                    der persönliche Ordner, ein Einhängepunkt)
  taken             der neue Name ist im übergeordneten Ordner von einem anderen Eintrag
                    belegt
  claimed           eine frühere Zeile gibt ihrem Ordner diesen neuen Namen zuerst
  missing           der aktuelle Pfad benennt keinen Ordner mehr
  failed            der Ordner kann aus einem anderen Grund, den das System nennt, nicht
                    untersucht oder umbenannt werden (etwa ein Ordner unter /proc oder
                    einer in der unteren Schicht eines Overlays); angezeigt mit --check
  may-fail          als ok vorhergesagt, aber sein Dateisystem lehnt es vielleicht ab
                    (ein Overlay, dessen Schichten nicht sichtbar sind); von --check als
                    ok gezählt, Grund angezeigt

Jeder Fehler wird als eine Zeile auf der Standardfehlerausgabe gemeldet; ein Backslash oder
ein Steuerzeichen darin wird maskiert gezeigt (\\, \n, \t, \x1b, ...).

Rückgabewert: 0 Erfolg, 1 ein Ordner konnte nicht umbenannt (oder zurückgesetzt) werden,
2 Aufruffehler (auch eine schon vorhandene DATEI für --journal oder eine DATEI für --undo,
die kein einwandfreies Journal ist).

Vorgänge (Schlüsselwort, dann voller Text):
</translation>
    </message>
    <message>
        <source>--history and --export-csv take no other option and no FOLDER</source>
        <translation>--history und --export-csv nehmen keine andere Option und keinen ORDNER</translation>
    </message>
    <message>
        <source>--record needs --apply, and no --journal</source>
        <translation>--record braucht --apply und kein --journal</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Cut short</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>Partly undone</source>
        <translation>Teilweise rückgängig</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Rückgängig gemacht</translation>
    </message>
    <message>
        <source>The run, or an undo of it, is still going.</source>
        <translation>Der Durchlauf oder sein Rückgängigmachen läuft noch.</translation>
    </message>
    <message>
        <source>The folder is at neither its old nor its new path: moved, deleted or replaced since the run.</source>
        <translation>Der Ordner liegt weder unter seinem alten noch unter seinem neuen Pfad: seit dem Durchlauf verschoben, gelöscht oder ersetzt.</translation>
    </message>
    <message>
        <source>The disk that holds it (%1) is not mounted now.</source>
        <translation>Der Datenträger, auf dem er liegt (%1), ist jetzt nicht eingehängt.</translation>
    </message>
    <message>
        <source>Something else has the folder&apos;s old name now.</source>
        <translation>Etwas anderes trägt jetzt den alten Namen des Ordners.</translation>
    </message>
    <message>
        <source>The folder cannot be renamed back: %1.</source>
        <translation>Der Ordner kann nicht zurückbenannt werden: %1.</translation>
    </message>
    <message>
        <source>The disk was mounted again and numbers its folders anew at each mount, so only the path says this is the folder the run renamed.</source>
        <translation>Der Datenträger wurde wieder eingehängt und nummeriert seine Ordner bei jedem Einhängen neu; nur der Pfad sagt, dass dies der Ordner ist, den der Durchlauf umbenannt hat.</translation>
    </message>
    <message>
        <source>The run is no longer in the history.</source>
        <translation>Der Durchlauf ist nicht mehr im Verlauf.</translation>
    </message>
    <message>
        <source>A newer run renamed some of the same folders: undo that one first.</source>
        <translation>Ein neuerer Durchlauf hat einige derselben Ordner umbenannt: Machen Sie zuerst ihn rückgängig.</translation>
    </message>
    <message>
        <source>The run renamed no folder: there is nothing to put back.</source>
        <translation>Der Durchlauf hat keinen Ordner umbenannt: Es gibt nichts zurückzusetzen.</translation>
    </message>
    <message>
        <source>1 folder was put back where it was before the run.</source>
        <translation>1 Ordner wurde dorthin zurückgesetzt, wo er vor dem Durchlauf war.</translation>
    </message>
    <message>
        <source>%1 folders were put back where they were before the run.</source>
        <translation>%1 Ordner wurden dorthin zurückgesetzt, wo sie vor dem Durchlauf waren.</translation>
    </message>
    <message>
        <source>The undo was cancelled: the rest keep their new names, and Undo Last Renaming puts them back later.</source>
        <translation>Das Rückgängigmachen wurde abgebrochen: Die übrigen behalten ihre neuen Namen, und &quot;Letzte Umbenennung rückgängig machen&quot; setzt sie später zurück.</translation>
    </message>
    <message>
        <source>History...</source>
        <translation>Verlauf...</translation>
    </message>
    <message>
        <source>Putting folders back...</source>
        <translation>Ordner werden zurückgesetzt...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Putting back folder %1 of %2</source>
        <translation>Ordner %1 von %2 wird zurückgesetzt</translation>
    </message>
    <message>
        <source>This run cannot be kept in the history (%1: %2), so it could not be undone after the program ends. Rename the folders all the same?</source>
        <translation>Dieser Durchlauf kann nicht im Verlauf behalten werden (%1: %2) und ließe sich nach dem Ende des Programms nicht rückgängig machen. Die Ordner trotzdem umbenennen?</translation>
    </message>
    <message>
        <source>The run&apos;s journal could not be written (%1); the folders after that point were not renamed.</source>
        <translation>Das Protokoll des Durchlaufs konnte nicht geschrieben werden (%1); die Ordner danach wurden nicht umbenannt.</translation>
    </message>
    <message>
        <source>%1, and up to %2 more</source>
        <translation>%1 und bis zu %2 weitere</translation>
    </message>
    <message>
        <source>The run of %1 was cut short before its end (the program was ended or the computer stopped), with %2 folders renamed. Undo it now, putting those folders back?</source>
        <translation>Der Durchlauf von %1 wurde vor seinem Ende abgebrochen (das Programm wurde beendet oder der Computer hielt an), mit %2 umbenannten Ordnern. Jetzt rückgängig machen und diese Ordner zurücksetzen?</translation>
    </message>
</context>
</TS>
