<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>SettingsMenu</name>
    <message>
        <source>Start at Login</source>
        <translation>Beim Anmelden starten</translation>
    </message>
    <message>
        <source>Show Input Source Indicator</source>
        <translation>Belegungsanzeige einblenden</translation>
    </message>
    <message>
        <source>Hide Icon When Closed</source>
        <translation>Symbol nach dem Schließen ausblenden</translation>
    </message>
    <message>
        <source>Indicator Follows Front Window</source>
        <translation>Anzeige folgt dem aktiven Fenster</translation>
    </message>
    <message>
        <source>Latin Layout in Browser Address Bar</source>
        <translation>Lateinische Belegung in der Adressleiste</translation>
    </message>
    <message>
        <source>Using Velmora with Alfred</source>
        <translation>Velmora mit Alfred verwenden</translation>
    </message>
    <message>
        <source>Rate Velmora</source>
        <translation>Velmora bewerten</translation>
    </message>
    <message>
        <source>Velmora Online</source>
        <translation>Velmora im Web</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Videos</source>
        <translation>Videos</translation>
    </message>
    <message>
        <source>Quit Velmora</source>
        <translation>Velmora beenden</translation>
    </message>
</context>
<context>
    <name>Velmora</name>
    <message>
        <source>Icon</source>
        <translation>Symbol</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>Belegung</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Kürzel</translation>
    </message>
    <message>
        <source>Layout shortcuts</source>
        <translation>Kürzel für Belegungen</translation>
    </message>
    <message>
        <source>Each keyboard layout can have a shortcut that selects it in any application.</source>
        <translation>Jede Tastaturbelegung kann ein Kürzel haben, das sie in jeder Anwendung wählt.</translation>
    </message>
    <message>
        <source>Add an application</source>
        <translation>Anwendung hinzufügen</translation>
    </message>
    <message>
        <source>Remove the application</source>
        <translation>Anwendung entfernen</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>Click to record a shortcut</source>
        <translation>Klicken, um ein Kürzel aufzunehmen</translation>
    </message>
    <message>
        <source>Type Shortcut</source>
        <translation>Kürzel drücken</translation>
    </message>
    <message>
        <source>Record Shortcut</source>
        <translation>Kürzel aufnehmen</translation>
    </message>
    <message>
        <source>Ctrl</source>
        <translation>Strg</translation>
    </message>
    <message>
        <source>Alt</source>
        <translation>Alt</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Umschalt</translation>
    </message>
    <message>
        <source>Super</source>
        <translation>Super</translation>
    </message>
    <message>
        <source>Key %1</source>
        <translation>Taste %1</translation>
    </message>
    <message>
        <source>Applications (*.desktop)</source>
        <translation>Anwendungen (*.desktop)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Add an Application</source>
        <translation>Anwendung hinzufügen</translation>
    </message>
    <message>
        <source>Search applications</source>
        <translation>Anwendungen suchen</translation>
    </message>
    <message>
        <source>Other...</source>
        <translation>Andere …</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Velmora could not use its settings file</source>
        <translation>Velmora konnte seine Einstellungsdatei nicht verwenden</translation>
    </message>
</context>
</TS>
