<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>FileList</name>
    <message>
        <source>Changed</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Change failed</source>
        <translation>Ändern fehlgeschlagen</translation>
    </message>
    <message>
        <source>Unreadable</source>
        <translation>Nicht lesbar</translation>
    </message>
    <message>
        <source>Unchanged</source>
        <translation>Unverändert</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Open XML package</source>
        <translation>Open-XML-Paket</translation>
    </message>
    <message>
        <source>Compound document</source>
        <translation>Verbunddokument</translation>
    </message>
</context>
<context>
    <name>TForm4</name>
    <message>
        <source>Summary Information:</source>
        <translation>Zusammenfassung:</translation>
    </message>
    <message>
        <source>File Date Time:</source>
        <translation>Dateidatum/-zeit:</translation>
    </message>
    <message>
        <source>Change the date or time</source>
        <translation>Datum oder Zeit ändern</translation>
    </message>
    <message>
        <source>Keep the primary date or time</source>
        <translation>Ursprüngliches Datum bzw. Zeit behalten</translation>
    </message>
    <message>
        <source>File Attribute:</source>
        <translation>Dateiattribut:</translation>
    </message>
    <message>
        <source>Attribute unchange</source>
        <translation>Attribut unverändert</translation>
    </message>
    <message>
        <source>Attribute on</source>
        <translation>Attribut an</translation>
    </message>
    <message>
        <source>Attribute off</source>
        <translation>Attribut aus</translation>
    </message>
    <message>
        <source>Mouse click the Value, then edit the value. </source>
        <translation>Auf den Wert klicken, dann den Wert bearbeiten. </translation>
    </message>
    <message>
        <source>Change the Summary Information</source>
        <translation>Zusammenfassung ändern</translation>
    </message>
    <message>
        <source>Keep the primary Summary Information</source>
        <translation>Ursprüngliche Zusammenfassung behalten</translation>
    </message>
    <message>
        <source>Backup original files in the same folder before making change</source>
        <translation>Originaldateien vor dem Ändern im selben Ordner sichern</translation>
    </message>
    <message>
        <source>If this option is on, the original files will automatically backup before making change. The backup file is in the same </source>
        <translation>Ist diese Option an, werden die Originaldateien vor dem Ändern automatisch gesichert. Die Sicherungsdatei liegt im selben </translation>
    </message>
    <message>
        <source>folder as the original file.</source>
        <translation>Ordner wie die Originaldatei.</translation>
    </message>
    <message>
        <source>Help Hints</source>
        <translation>Hinweise</translation>
    </message>
    <message>
        <source>Before making change, Please close other applications which are opening the files you want to change.</source>
        <translation>Bitte schließen Sie vor dem Ändern alle anderen Programme, die die zu ändernden Dateien geöffnet haben.</translation>
    </message>
    <message>
        <source>Select file wanted to change</source>
        <translation>Zu ändernde Dateien auswählen</translation>
    </message>
    <message>
        <source>Add Files: You can select multi files at one time. </source>
        <translation>Dateien hinzufügen: Sie können mehrere Dateien auf einmal auswählen. </translation>
    </message>
    <message>
        <source>Attention: You may not see hidden or system files if you setup hidden files in  windows system.</source>
        <translation>Achtung: Versteckte oder Systemdateien sehen Sie eventuell nicht, wenn das System versteckte Dateien ausblendet.</translation>
    </message>
    <message>
        <source>Add files from folder: You can select a folder, all the files in the folder will be added to the  file list, </source>
        <translation>Dateien aus Ordner hinzufügen: Sie können einen Ordner wählen; alle Dateien darin kommen in die Dateiliste, </translation>
    </message>
    <message>
        <source>no matter whether it is hidden or system file.</source>
        <translation>auch versteckte Dateien und Systemdateien.</translation>
    </message>
    <message>
        <source>There are four status for each file:</source>
        <translation>Jede Datei hat einen von vier Zuständen:</translation>
    </message>
    <message>
        <source>Unchanged file</source>
        <translation>Unveränderte Datei</translation>
    </message>
    <message>
        <source>Can not get file information,because of error format or the file is opened by other program</source>
        <translation>Dateiinformationen nicht lesbar: fehlerhaftes Format, oder die Datei ist in einem anderen Programm geöffnet</translation>
    </message>
    <message>
        <source>Changed sucessfully</source>
        <translation>Erfolgreich geändert</translation>
    </message>
    <message>
        <source>Changed unsucessfully,because of error format or the file is opened by other program</source>
        <translation>Ändern fehlgeschlagen: fehlerhaftes Format, oder die Datei ist in einem anderen Programm geöffnet</translation>
    </message>
    <message>
        <source>File Change Attribute Option</source>
        <translation>Optionen zum Ändern der Dateiattribute</translation>
    </message>
    <message>
        <source>Backup Option</source>
        <translation>Sicherungsoption</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Status: unchanged</source>
        <translation>Status: unverändert</translation>
    </message>
    <message>
        <source>Status: cannot read</source>
        <translation>Status: nicht lesbar</translation>
    </message>
    <message>
        <source>Status: changed</source>
        <translation>Status: geändert</translation>
    </message>
    <message>
        <source>Status: change failed</source>
        <translation>Status: Änderung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Keyboard: Ctrl+O adds files, Delete removes one; F2 or Enter edits the selected row&apos;s value, Space ticks the row; Alt with an underlined letter presses its button.</source>
        <translation>Tastatur: Strg+O fügt Dateien hinzu, Entf entfernt eine; F2 oder Eingabe bearbeitet den Wert der gewählten Zeile, die Leertaste hakt sie an; Alt mit einem unterstrichenen Buchstaben drückt seine Schaltfläche.</translation>
    </message>
</context>
<context>
    <name>TForm5</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Version: 3.16</source>
        <translation>Version: 3.16</translation>
    </message>
    <message>
        <source>Made by %1</source>
        <translation>Hergestellt von %1</translation>
    </message>
    <message>
        <source>Email:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>Web Site:</source>
        <translation>Website:</translation>
    </message>
    <message>
        <source>Copyright (C) %1. All rights reserved.</source>
        <translation>Copyright (C) %1. Alle Rechte vorbehalten.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>TForm7</name>
    <message>
        <source>Changing...</source>
        <translation>Ändern …</translation>
    </message>
</context>
<context>
    <name>quorvane::app::AccessibleNames</name>
    <message>
        <source>%1 value</source>
        <translation>%1, Wert</translation>
    </message>
    <message>
        <source>%1 date</source>
        <translation>%1, Datum</translation>
    </message>
    <message>
        <source>%1 time of day</source>
        <translation>%1, Uhrzeit</translation>
    </message>
</context>
<context>
    <name>quorvane::app::CsvFileDialog</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existiert bereits.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>CSV File (*.[cC][sS][vV])</source>
        <translation>CSV-Datei (*.[cC][sS][vV])</translation>
    </message>
</context>
<context>
    <name>quorvane::app::CustomPropertiesPage</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>A&amp;pply</source>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>The file has no custom properties.</source>
        <translation>Die Datei hat keine benutzerdefinierten Eigenschaften.</translation>
    </message>
    <message>
        <source>Custom properties of the file: %1</source>
        <translation>Benutzerdefinierte Eigenschaften der Datei: %1</translation>
    </message>
    <message>
        <source>No file selected.</source>
        <translation>Keine Datei ausgewählt.</translation>
    </message>
    <message>
        <source>a custom property on line %1 has no name</source>
        <translation>eine benutzerdefinierte Eigenschaft in Zeile %1 hat keinen Namen</translation>
    </message>
    <message>
        <source>two custom properties are named %1</source>
        <translation>zwei benutzerdefinierte Eigenschaften heißen %1</translation>
    </message>
</context>
<context>
    <name>quorvane::app::CustomValueText</name>
    <message>
        <source> in the form %1 or 2024-05-01 13:30</source>
        <translation> in der Form %1 oder 2024-05-01 13:30</translation>
    </message>
</context>
<context>
    <name>quorvane::app::FileList</name>
    <message>
        <source>Microsoft PowerPoint Files (%1)</source>
        <translation>Microsoft-PowerPoint-Dateien (%1)</translation>
    </message>
    <message>
        <source>All Office documents (%1 *.doc *.dot *.xls *.xlt *.docx *.docm *.dotx *.xlsx *.xlsm *.xltx)</source>
        <translation>Alle Office-Dokumente (%1 *.doc *.dot *.xls *.xlt *.docx *.docm *.dotx *.xlsx *.xlsm *.xltx)</translation>
    </message>
    <message>
        <source>Please select folder</source>
        <translation>Bitte Ordner wählen</translation>
    </message>
</context>
<context>
    <name>quorvane::app::FileListLines</name>
    <message>
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>cannot read: %1</source>
        <translation>nicht lesbar: %1</translation>
    </message>
</context>
<context>
    <name>quorvane::app::FileListView</name>
    <message>
        <source>&amp;Columns</source>
        <translation>&amp;Spalten</translation>
    </message>
    <message>
        <source>&amp;Sort by</source>
        <translation>&amp;Sortieren nach</translation>
    </message>
    <message>
        <source>Files: %1 / %2</source>
        <translation>Dateien: %1 / %2</translation>
    </message>
</context>
<context>
    <name>quorvane::app::PageControls</name>
    <message>
        <source>&amp;Backup original files in the same folder before making change</source>
        <translation>&amp;Originaldateien vor dem Ändern im selben Ordner sichern</translation>
    </message>
</context>
<context>
    <name>quorvane::app::ProgressWindow</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>quorvane::app::PropertyDisplay</name>
    <message>
        <source>Cannot read</source>
        <translation>Nicht lesbar</translation>
    </message>
</context>
<context>
    <name>quorvane::app::PropertyTable</name>
    <message>
        <source>Summary Information</source>
        <translation>Zusammenfassung</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
</context>
<context>
    <name>quorvane::app::RowEditors</name>
    <message>
        <source>Blank</source>
        <translation>Leer</translation>
    </message>
</context>
<context>
    <name>quorvane::app::ScrubDialog</name>
    <message>
        <source>Remove personal information</source>
        <translation>Persönliche Informationen entfernen</translation>
    </message>
    <message>
        <source>the file</source>
        <translation>der Datei</translation>
    </message>
    <message>
        <source>each of the %1 files</source>
        <translation>jeder der %1 Dateien</translation>
    </message>
    <message>
        <source>This removes from %1 in the list:</source>
        <translation>Dies entfernt aus %1 in der Liste:</translation>
    </message>
    <message>
        <source>all custom properties</source>
        <translation>alle benutzerdefinierten Eigenschaften</translation>
    </message>
    <message>
        <source>Also remove the &amp;thumbnail</source>
        <translation>Auch die &amp;Miniaturansicht entfernen</translation>
    </message>
    <message>
        <source>%1, the file times and the file attributes stay.</source>
        <translation>%1, die Dateizeiten und die Dateiattribute bleiben.</translation>
    </message>
    <message>
        <source>Each file is first copied aside as a .bak file in its folder (the backup option of the Batch Change page).</source>
        <translation>Jede Datei wird zuerst als .bak-Datei in ihrem Ordner gesichert (die Sicherungsoption der Seite „Stapeländerung“).</translation>
    </message>
    <message>
        <source>The files are not copied aside first (the backup option of the Batch Change page is off).</source>
        <translation>Die Dateien werden vorher nicht gesichert (die Sicherungsoption der Seite „Stapeländerung“ ist aus).</translation>
    </message>
</context>
<context>
    <name>quorvane::app::TForm1</name>
    <message>
        <source>&amp;Add Files</source>
        <translation>Dateien &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Add Files from &amp;floder</source>
        <translation>Dateien aus &amp;Ordner hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Remove A&amp;ll</source>
        <translation>&amp;Alle entfernen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Remove &amp;personal information…</source>
        <translation>&amp;Persönliche Informationen entfernen …</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Help &amp;online</source>
        <translation>Hilfe &amp;online</translation>
    </message>
    <message>
        <source>&amp;Show hint</source>
        <translation>Hin&amp;weise anzeigen</translation>
    </message>
    <message>
        <source>%1 &amp;Web Site</source>
        <translation>&amp;Website von %1</translation>
    </message>
    <message>
        <source>&amp;Email support</source>
        <translation>&amp;E-Mail an den Support</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Document properties of .ppt and .pptx files</source>
        <translation>Dokumenteigenschaften von .ppt- und .pptx-Dateien</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>%1 %2 %3, %4 failed</source>
        <translation>%1 %2 %3, %4 fehlgeschlagen</translation>
    </message>
    <message>
        <source>Please select files you want to change properties!</source>
        <translation>Bitte wählen Sie die Dateien, deren Eigenschaften Sie ändern möchten!</translation>
    </message>
    <message>
        <source>Change failed</source>
        <translation>Ändern fehlgeschlagen</translation>
    </message>
    <message>
        <source>An error occured when backup original file, 
please make sure there not any other application open this file!
</source>
        <translation>Beim Sichern der Originaldatei ist ein Fehler aufgetreten.
Bitte stellen Sie sicher, dass kein anderes Programm diese Datei geöffnet hat!
</translation>
    </message>
    <message>
        <source>Not changed: the file could not be read when it was selected; select it again once it can be read</source>
        <translation>Nicht geändert: Die Datei war beim Auswählen nicht lesbar; wählen Sie sie erneut, sobald sie lesbar ist</translation>
    </message>
    <message>
        <source>Not changed: the file changed on disk after it was shown; its values are shown again</source>
        <translation>Nicht geändert: Die Datei wurde nach dem Anzeigen auf dem Datenträger geändert; ihre Werte werden neu angezeigt</translation>
    </message>
    <message>
        <source>Please setup File Change Attribute Option.
According to you setup, noting to do!</source>
        <translation>Bitte legen Sie fest, was geändert werden soll.
Nach Ihren Einstellungen ist nichts zu tun!</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message>
        <source>Custom properties not changed: %1</source>
        <translation>Benutzerdefinierte Eigenschaften nicht geändert: %1</translation>
    </message>
    <message>
        <source>Custom properties not changed: nothing was edited</source>
        <translation>Benutzerdefinierte Eigenschaften nicht geändert: nichts wurde bearbeitet</translation>
    </message>
    <message>
        <source>Export failed</source>
        <translation>Export fehlgeschlagen</translation>
    </message>
    <message>
        <source>Please select files you want to export properties to CSV file!</source>
        <translation>Bitte wählen Sie die Dateien, deren Eigenschaften Sie in eine CSV-Datei exportieren möchten!</translation>
    </message>
    <message>
        <source>exported</source>
        <translation>exportiert</translation>
    </message>
    <message>
        <source>Cannot save to %1
please close other application that open this file!</source>
        <translation>Speichern in %1 nicht möglich.
Bitte schließen Sie andere Programme, die diese Datei geöffnet haben!</translation>
    </message>
    <message>
        <source>Single Change</source>
        <translation>Einzeländerung</translation>
    </message>
    <message>
        <source>Batch Change</source>
        <translation>Stapeländerung</translation>
    </message>
    <message>
        <source>Custom Properties</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Add files from folder</source>
        <translation>Aus Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>Alle entfernen</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>File Date Time</source>
        <translation>Dateidatum/-zeit</translation>
    </message>
    <message>
        <source>File Attribute</source>
        <translation>Dateiattribute</translation>
    </message>
    <message>
        <source>&amp;Add Files…</source>
        <translation>Dateien &amp;hinzufügen …</translation>
    </message>
    <message>
        <source>Add Files from &amp;Folder…</source>
        <translation>Dateien aus &amp;Ordner hinzufügen …</translation>
    </message>
    <message>
        <source>&amp;Export to CSV…</source>
        <translation>Als CSV &amp;exportieren …</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Filter</source>
        <translation>&amp;Filtern</translation>
    </message>
    <message>
        <source>Filter the list (Ctrl+F)</source>
        <translation>Liste filtern (Strg+F)</translation>
    </message>
    <message>
        <source>Creation date</source>
        <translation>Erstellungsdatum</translation>
    </message>
    <message>
        <source>Creation time of day</source>
        <translation>Erstellungsuhrzeit</translation>
    </message>
    <message>
        <source>Creation date of all files</source>
        <translation>Erstellungsdatum aller Dateien</translation>
    </message>
    <message>
        <source>Creation time of day of all files</source>
        <translation>Erstellungsuhrzeit aller Dateien</translation>
    </message>
    <message>
        <source>Apply the creation date</source>
        <translation>Erstellungsdatum übernehmen</translation>
    </message>
    <message>
        <source>Apply the creation time of day</source>
        <translation>Erstellungsuhrzeit übernehmen</translation>
    </message>
    <message>
        <source>Modification date</source>
        <translation>Änderungsdatum</translation>
    </message>
    <message>
        <source>Modification time of day</source>
        <translation>Änderungsuhrzeit</translation>
    </message>
    <message>
        <source>Modification date of all files</source>
        <translation>Änderungsdatum aller Dateien</translation>
    </message>
    <message>
        <source>Modification time of day of all files</source>
        <translation>Änderungsuhrzeit aller Dateien</translation>
    </message>
    <message>
        <source>Apply the modification date</source>
        <translation>Änderungsdatum übernehmen</translation>
    </message>
    <message>
        <source>Apply the modification time of day</source>
        <translation>Änderungsuhrzeit übernehmen</translation>
    </message>
    <message>
        <source>Last access date</source>
        <translation>Datum des letzten Zugriffs</translation>
    </message>
    <message>
        <source>Last access time of day</source>
        <translation>Uhrzeit des letzten Zugriffs</translation>
    </message>
    <message>
        <source>Last access date of all files</source>
        <translation>Datum des letzten Zugriffs aller Dateien</translation>
    </message>
    <message>
        <source>Last access time of day of all files</source>
        <translation>Uhrzeit des letzten Zugriffs aller Dateien</translation>
    </message>
    <message>
        <source>Apply the last access date</source>
        <translation>Datum des letzten Zugriffs übernehmen</translation>
    </message>
    <message>
        <source>Apply the last access time of day</source>
        <translation>Uhrzeit des letzten Zugriffs übernehmen</translation>
    </message>
    <message>
        <source>When ticked, every file gets the date beside it</source>
        <translation>Wenn angehakt, erhält jede Datei das Datum daneben</translation>
    </message>
    <message>
        <source>When ticked, every file gets the time beside it</source>
        <translation>Wenn angehakt, erhält jede Datei die Uhrzeit daneben</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>The files to change; a line&apos;s description tells how its last change went</source>
        <translation>Die zu ändernden Dateien; die Beschreibung einer Zeile sagt, wie ihre letzte Änderung ausging</translation>
    </message>
    <message>
        <source>Filter the list</source>
        <translation>Liste filtern</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>Document properties</source>
        <translation>Dokumenteigenschaften</translation>
    </message>
    <message>
        <source>The selected file&apos;s properties; F2 or Enter edits the value of the selected row</source>
        <translation>Die Eigenschaften der gewählten Datei; F2 oder Eingabe bearbeitet den Wert der gewählten Zeile</translation>
    </message>
    <message>
        <source>Batch values</source>
        <translation>Werte für alle Dateien</translation>
    </message>
    <message>
        <source>Ticked rows are written to every file; Space ticks a row, F2 or Enter edits its value</source>
        <translation>Angehakte Zeilen werden in jede Datei geschrieben; die Leertaste hakt eine Zeile an, F2 oder Eingabe bearbeitet ihren Wert</translation>
    </message>
    <message>
        <source>Custom properties</source>
        <translation>Benutzerdefinierte Eigenschaften</translation>
    </message>
    <message>
        <source>The selected file&apos;s custom properties; F2 edits a cell, Delete removes the selected lines</source>
        <translation>Die benutzerdefinierten Eigenschaften der gewählten Datei; F2 bearbeitet eine Zelle, Entf entfernt die gewählten Zeilen</translation>
    </message>
    <message>
        <source>&amp;Make Change</source>
        <translation>Ä&amp;ndern</translation>
    </message>
    <message>
        <source>E&amp;xport to CSV</source>
        <translation>CSV-E&amp;xport</translation>
    </message>
    <message>
        <source>&amp;Show Hint</source>
        <translation>H&amp;inweise</translation>
    </message>
    <message>
        <source>Save as defa&amp;ult</source>
        <translation>Als Standard s&amp;peichern</translation>
    </message>
    <message>
        <source>&amp;Load from default</source>
        <translation>Standard &amp;laden</translation>
    </message>
    <message>
        <source>Load from selec&amp;ted file</source>
        <translation>Aus &amp;gewählter Datei laden</translation>
    </message>
    <message>
        <source>Remove all custom &amp;properties</source>
        <translation>Alle benutzerdefinierten &amp;Eigenschaften entfernen</translation>
    </message>
    <message>
        <source>Apply &amp;values from table…</source>
        <translation>&amp;Werte aus Tabelle übernehmen …</translation>
    </message>
    <message>
        <source>Values a&amp;re templates</source>
        <translation>Werte sind &amp;Vorlagen</translation>
    </message>
</context>
<context>
    <name>quorvane::app::TablePreviewDialog</name>
    <message>
        <source>Apply values from table</source>
        <translation>Werte aus Tabelle übernehmen</translation>
    </message>
    <message>
        <source>%1 is refused; no file can be changed:</source>
        <translation>%1 wird abgelehnt; keine Datei kann geändert werden:</translation>
    </message>
    <message>
        <source>%1 would change these files; untick a file to leave it out:</source>
        <translation>%1 würde diese Dateien ändern; entfernen Sie das Häkchen einer Datei, um sie auszulassen:</translation>
    </message>
    <message>
        <source>Not changed: %1</source>
        <translation>Nicht geändert: %1</translation>
    </message>
    <message>
        <source>%1 (nothing to change)</source>
        <translation>%1 (nichts zu ändern)</translation>
    </message>
</context>
<context>
    <name>quorvane::app::TemplatePreview</name>
    <message>
        <source>Not a template: %1</source>
        <translation>Keine gültige Vorlage: %1</translation>
    </message>
    <message>
        <source>no row checked</source>
        <translation>keine Zeile angehakt</translation>
    </message>
    <message>
        <source>Add files to see the values of their templates.</source>
        <translation>Fügen Sie Dateien hinzu, um die Werte ihrer Vorlagen zu sehen.</translation>
    </message>
</context>
<context>
    <name>quorvane::app::UpDown</name>
    <message>
        <source>One more</source>
        <translation>Eins mehr</translation>
    </message>
    <message>
        <source>One less</source>
        <translation>Eins weniger</translation>
    </message>
</context>
<context>
    <name>quorvane::app::ValueTableFileDialog</name>
    <message>
        <source>Tables (*.[cC][sS][vV] *.[jJ][sS][oO][nN])</source>
        <translation>Tabellen (*.[cC][sS][vV] *.[jJ][sS][oO][nN])</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>quorvane::exporting::TForm9</name>
    <message>
        <source>Export to CSV...</source>
        <translation>CSV-Export …</translation>
    </message>
    <message>
        <source>Cannot save to %1
please close other application that open this file!</source>
        <translation>Speichern in %1 nicht möglich.
Bitte schließen Sie andere Programme, die diese Datei geöffnet haben!</translation>
    </message>
</context>
<context>
    <name>quorvane::props</name>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Thema</translation>
    </message>
    <message>
        <source>Author</source>
        <translation>Autor</translation>
    </message>
    <message>
        <source>Keywords</source>
        <translation>Stichwörter</translation>
    </message>
    <message>
        <source>Comments</source>
        <translation>Kommentare</translation>
    </message>
    <message>
        <source>Catagory</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Revision Number</source>
        <translation>Revisionsnummer</translation>
    </message>
    <message>
        <source>Last Saved By</source>
        <translation>Zuletzt gespeichert von</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>Manager</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Firma</translation>
    </message>
    <message>
        <source>Create Time/Date</source>
        <translation>Erstellt am</translation>
    </message>
    <message>
        <source>Last saved Time/Date</source>
        <translation>Zuletzt gespeichert am</translation>
    </message>
    <message>
        <source>Total Editing Time(Minutes)</source>
        <translation>Bearbeitungszeit (Minuten)</translation>
    </message>
    <message>
        <source>Last Printed</source>
        <translation>Zuletzt gedruckt</translation>
    </message>
    <message>
        <source>Creation Time</source>
        <translation>Erstellungszeit</translation>
    </message>
    <message>
        <source>Modify Time</source>
        <translation>Änderungszeit</translation>
    </message>
    <message>
        <source>Last Access Time</source>
        <translation>Letzter Zugriff</translation>
    </message>
    <message>
        <source>Read-only</source>
        <translation>Schreibgeschützt</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archiv</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Versteckt</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
</context>
</TS>
