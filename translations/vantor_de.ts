<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AutoTidySection</name>
    <message>
        <source>Put away files left alone</source>
        <translation>Unberührte Dateien wegräumen</translation>
    </message>
    <message numerus="yes">
        <source>after %n hours</source>
        <translation>
            <numerusform>nach %n Stunde</numerusform>
            <numerusform>nach %n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>after %n minutes</source>
        <translation>
            <numerusform>nach %n Minute</numerusform>
            <numerusform>nach %n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>after %n seconds</source>
        <translation>
            <numerusform>nach %n Sekunde</numerusform>
            <numerusform>nach %n Sekunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CleanView</name>
    <message>
        <source>Clean Desktop</source>
        <translation>Schreibtisch aufräumen</translation>
    </message>
    <message>
        <source>Your desktop is clean</source>
        <translation>Dein Schreibtisch ist aufgeräumt</translation>
    </message>
    <message>
        <source>Nothing to sort right now.</source>
        <translation>Gerade gibt es nichts einzuordnen.</translation>
    </message>
    <message numerus="yes">
        <source>No files match your rules. %n other files left alone.</source>
        <translation>
            <numerusform>Keine Datei passt zu deinen Regeln. %n andere Datei bleibt unberührt.</numerusform>
            <numerusform>Keine Datei passt zu deinen Regeln. %n andere Dateien bleiben unberührt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files to put away</source>
        <translation>
            <numerusform>%n Datei zum Wegräumen</numerusform>
            <numerusform>%n Dateien zum Wegräumen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n other files stay where they are.</source>
        <translation>
            <numerusform>%n andere Datei bleibt, wo sie ist.</numerusform>
            <numerusform>%n andere Dateien bleiben, wo sie sind.</numerusform>
        </translation>
    </message>
    <message>
        <source>Clean All</source>
        <translation>Alle aufräumen</translation>
    </message>
    <message>
        <source>Your folders are clean</source>
        <translation>Deine Ordner sind aufgeräumt</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--json goes with scan, clean, undo, history or folders.</source>
        <translation>--json gehört zu scan, clean, undo, history oder folders.</translation>
    </message>
    <message>
        <source>--automatic goes with folders add.</source>
        <translation>--automatic gehört zu folders add.</translation>
    </message>
    <message>
        <source>Unknown command &apos;%1&apos;.</source>
        <translation>Unbekannter Befehl '%1'.</translation>
    </message>
    <message>
        <source>Unknown folders command &apos;%1&apos;.</source>
        <translation>Unbekannter folders-Befehl '%1'.</translation>
    </message>
    <message>
        <source>folders %1 needs a folder.</source>
        <translation>folders %1 braucht einen Ordner.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unerwartetes Argument '%1'.</translation>
    </message>
    <message>
        <source>--json goes with folders, not with folders %1.</source>
        <translation>--json gehört zu folders, nicht zu folders %1.</translation>
    </message>
    <message>
        <source>An empty ID names no clean.</source>
        <translation>Eine leere ID bezeichnet kein Aufräumen.</translation>
    </message>
    <message>
        <source>An empty path names no folder.</source>
        <translation>Ein leerer Pfad bezeichnet keinen Ordner.</translation>
    </message>
    <message>
        <source>Usage: vantor [command] [argument] [--json]

Vantor tidies the loose files of your Desktop, and of the folders you add (such
as Downloads), into folders by type. Each folder has rules of its own.

Commands:
  (none)          start Vantor; if it already runs, open its panel
  scan [--json]   show what a clean would move now in each tidied folder;
                  changes nothing
  clean [--json]  clean every tidied folder now, as the panel&apos;s Clean button does
  undo [--json]   put the last clean back, as Undo does
  undo ID [--json]
                  put back that clean from the history
  history [--json]
                  list the last 20 cleans, newest first, with their IDs
  folders [--json]
                  list the tidied folders, the Desktop first, and which of them
                  are tidied automatically
  folders add PATH [--automatic]
                  tidy that folder too, with the default rules in folders inside it
  folders remove PATH
                  stop tidying that folder; its files stay as they are

Options:
  -h, --help      show this help
  -v, --version   show the version
  --json          print the result as one JSON document
  --automatic     with folders add: also tidy the folder automatically, once a
                  new file there has stayed untouched for a while

When Vantor is running, it carries out the command itself.
Exit status: 0 done (also when there was nothing to move), 1 not done in full
(items that failed, a tidied folder that can&apos;t be read, nothing to undo, no clean
with that ID, a folder that can&apos;t be added or removed, busy), 2 bad usage.
</source>
        <translation>Aufruf: vantor [Befehl] [Argument] [--json]

Vantor räumt die losen Dateien deines Schreibtischs und der Ordner, die du
hinzufügst (etwa Downloads), nach Art in Ordner. Jeder Ordner hat eigene Regeln.

Befehle:
  (keiner)        Vantor starten; läuft es schon, sein Fenster öffnen
  scan [--json]   zeigen, was Aufräumen jetzt in jedem aufgeräumten Ordner
                  verschieben würde; ändert nichts
  clean [--json]  jeden aufgeräumten Ordner jetzt aufräumen, wie der
                  Aufräumen-Knopf des Fensters
  undo [--json]   das letzte Aufräumen zurücklegen, wie Widerrufen
  undo ID [--json]
                  dieses Aufräumen aus dem Verlauf zurücklegen
  history [--json]
                  die letzten 20 Aufräumvorgänge auflisten, neueste zuerst, mit
                  ihren IDs
  folders [--json]
                  die aufgeräumten Ordner auflisten, den Schreibtisch zuerst, und
                  welche davon automatisch aufgeräumt werden
  folders add PATH [--automatic]
                  auch diesen Ordner aufräumen, mit den Standardregeln und ihren
                  Ordnern darin
  folders remove PATH
                  diesen Ordner nicht mehr aufräumen; seine Dateien bleiben, wie
                  sie sind

Optionen:
  -h, --help      diese Hilfe zeigen
  -v, --version   die Version zeigen
  --json          das Ergebnis als ein JSON-Dokument ausgeben
  --automatic     mit folders add: den Ordner auch automatisch aufräumen, sobald
                  eine neue Datei darin eine Weile unberührt geblieben ist

Läuft Vantor, führt es den Befehl selbst aus.
Rückgabewert: 0 erledigt (auch wenn nichts zu verschieben war), 1 nicht ganz
erledigt (Dateien mit Fehler, ein aufgeräumter Ordner nicht lesbar, nichts zu
widerrufen, kein Aufräumen mit dieser ID, ein Ordner nicht hinzuzufügen oder zu
entfernen, beschäftigt), 2 falscher Aufruf.
</translation>
    </message>
    <message>
        <source>The running Vantor&apos;s answer can&apos;t be read; nothing was done here.</source>
        <translation>Die Antwort des laufenden Vantor ist nicht lesbar; hier wurde nichts getan.</translation>
    </message>
    <message>
        <source>The running Vantor&apos;s answer is longer than %1 MB and was not read; its panel shows what was done.</source>
        <translation>Die Antwort des laufenden Vantor ist länger als %1 MB und wurde nicht gelesen; sein Fenster zeigt, was getan wurde.</translation>
    </message>
    <message>
        <source>The running Vantor did not answer; nothing was done here.</source>
        <translation>Der laufende Vantor hat nicht geantwortet; hier wurde nichts getan.</translation>
    </message>
    <message>
        <source>See &apos;vantor --help&apos;.</source>
        <translation>Siehe 'vantor --help'.</translation>
    </message>
    <message>
        <source>no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session, or on a virtual display with: xvfb-run -a %1 (xvfb-run is in the xvfb package)</source>
        <translation>keine grafische Sitzung (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt); starte Vantor in einer Desktop-Sitzung oder auf einem virtuellen Bildschirm mit: xvfb-run -a %1 (xvfb-run ist im Paket xvfb)</translation>
    </message>
    <message>
        <source>this Wayland session has no XWayland (DISPLAY is not set) and Qt&apos;s Wayland support is not installed; install the qt6-wayland package, or start Vantor in a session with XWayland or X11</source>
        <translation>diese Wayland-Sitzung hat kein XWayland (DISPLAY ist nicht gesetzt), und die Wayland-Unterstützung von Qt ist nicht installiert; installiere das Paket qt6-wayland oder starte Vantor in einer Sitzung mit XWayland oder X11</translation>
    </message>
</context>
<context>
    <name>CommandRunner</name>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
    <message>
        <source>Vantor can&apos;t see your Desktop (%1).</source>
        <translation>Vantor kann deinen Schreibtisch nicht sehen (%1).</translation>
    </message>
    <message>
        <source>Vantor can&apos;t read %1.</source>
        <translation>Vantor kann %1 nicht lesen.</translation>
    </message>
    <message>
        <source>%1 can&apos;t be read; using the default rules.</source>
        <translation>%1 ist nicht lesbar; es gelten die Standardregeln.</translation>
    </message>
    <message>
        <source>Nothing to move.</source>
        <translation>Nichts zu verschieben.</translation>
    </message>
    <message numerus="yes">
        <source>%n other items stay there.</source>
        <translation>
            <numerusform>%n anderes Objekt bleibt dort.</numerusform>
            <numerusform>%n andere Objekte bleiben dort.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n other items stay on the Desktop.</source>
        <translation>
            <numerusform>%n anderes Objekt bleibt auf dem Schreibtisch.</numerusform>
            <numerusform>%n andere Objekte bleiben auf dem Schreibtisch.</numerusform>
        </translation>
    </message>
    <message>
        <source>Moved %1, automatically; put back.</source>
        <translation>%1 automatisch verschoben; zurückgelegt.</translation>
    </message>
    <message>
        <source>Moved %1, automatically.</source>
        <translation>%1 automatisch verschoben.</translation>
    </message>
    <message>
        <source>Moved %1; put back.</source>
        <translation>%1 verschoben; zurückgelegt.</translation>
    </message>
    <message>
        <source>Moved %1.</source>
        <translation>%1 verschoben.</translation>
    </message>
    <message>
        <source>No cleans yet.</source>
        <translation>Noch nichts aufgeräumt.</translation>
    </message>
    <message>
        <source>Added %1 to the tidied folders, tidied automatically.</source>
        <translation>%1 zu den aufgeräumten Ordnern hinzugefügt, wird automatisch aufgeräumt.</translation>
    </message>
    <message>
        <source>Added %1 to the tidied folders.</source>
        <translation>%1 zu den aufgeräumten Ordnern hinzugefügt.</translation>
    </message>
    <message>
        <source>The Desktop is always tidied; it can&apos;t be removed.</source>
        <translation>Der Schreibtisch wird immer aufgeräumt; er kann nicht entfernt werden.</translation>
    </message>
    <message>
        <source>%1 is not a tidied folder.</source>
        <translation>%1 ist kein aufgeräumter Ordner.</translation>
    </message>
    <message>
        <source>Removed %1 from the tidied folders.</source>
        <translation>%1 aus den aufgeräumten Ordnern entfernt.</translation>
    </message>
    <message>
        <source>No clean with ID &apos;%1&apos; in the history.</source>
        <translation>Kein Aufräumen mit der ID '%1' im Verlauf.</translation>
    </message>
    <message>
        <source>Clean %1 was put back already.</source>
        <translation>Das Aufräumen %1 wurde schon zurückgelegt.</translation>
    </message>
    <message>
        <source>Nothing to undo.</source>
        <translation>Nichts zu widerrufen.</translation>
    </message>
    <message numerus="yes">
        <source>Moved %1; %n couldn&apos;t be moved.</source>
        <translation>
            <numerusform>%1 verschoben; %n konnte nicht verschoben werden.</numerusform>
            <numerusform>%1 verschoben; %n konnten nicht verschoben werden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Moved %1; %n couldn&apos;t be moved (%2 in use).</source>
        <translation>
            <numerusform>%1 verschoben; %n konnte nicht verschoben werden (%2 in Benutzung).</numerusform>
            <numerusform>%1 verschoben; %n konnten nicht verschoben werden (%2 in Benutzung).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Put back %1; %n couldn&apos;t be put back.</source>
        <translation>
            <numerusform>%1 zurückgelegt; %n konnte nicht zurückgelegt werden.</numerusform>
            <numerusform>%1 zurückgelegt; %n konnten nicht zurückgelegt werden.</numerusform>
        </translation>
    </message>
    <message>
        <source>Put back %1.</source>
        <translation>%1 zurückgelegt.</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Papierkorb</translation>
    </message>
</context>
<context>
    <name>DesktopCleaner</name>
    <message>
        <source>Couldn&apos;t save the record for Undo, so nothing was moved.</source>
        <translation>Das Protokoll zum Widerrufen konnte nicht gespeichert werden, daher wurde nichts verschoben.</translation>
    </message>
    <message>
        <source>Vantor is busy with another clean. Try again in a moment.</source>
        <translation>Vantor räumt gerade schon auf. Versuche es gleich noch einmal.</translation>
    </message>
    <message>
        <source>Couldn&apos;t save the record for Undo, so nothing more was moved.</source>
        <translation>Das Protokoll zum Widerrufen konnte nicht gespeichert werden, daher wurde nichts weiter verschoben.</translation>
    </message>
</context>
<context>
    <name>ElidedLabel</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>ExtensionChip</name>
    <message>
        <source>Remove .%1</source>
        <translation>.%1 entfernen</translation>
    </message>
</context>
<context>
    <name>FolderList</name>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Add Folder…</source>
        <translation>Ordner hinzufügen…</translation>
    </message>
    <message>
        <source>Add Downloads</source>
        <translation>Downloads hinzufügen</translation>
    </message>
    <message>
        <source>Choose a folder for Vantor to tidy</source>
        <translation>Wähle einen Ordner, den Vantor aufräumen soll</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
    <message>
        <source>Show %1 folder</source>
        <translation>Ordner %1 zeigen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Remove %1</source>
        <translation>%1 entfernen</translation>
    </message>
    <message>
        <source>Stop tidying this folder. Its files stay where they are.</source>
        <translation>Diesen Ordner nicht mehr aufräumen. Seine Dateien bleiben, wo sie sind.</translation>
    </message>
    <message>
        <source>Tidy automatically</source>
        <translation>Automatisch aufräumen</translation>
    </message>
    <message>
        <source>Tidy %1 automatically</source>
        <translation>%1 automatisch aufräumen</translation>
    </message>
</context>
<context>
    <name>FolderSection</name>
    <message>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
    <message>
        <source>Show %1 folder</source>
        <translation>Ordner %1 zeigen</translation>
    </message>
    <message>
        <source>Vantor can&apos;t read %1.</source>
        <translation>Vantor kann %1 nicht lesen.</translation>
    </message>
</context>
<context>
    <name>HistoryList</name>
    <message>
        <source>No cleans yet</source>
        <translation>Noch nichts aufgeräumt</translation>
    </message>
    <message numerus="yes">
        <source>Moved %n files</source>
        <translation>
            <numerusform>%n Datei verschoben</numerusform>
            <numerusform>%n Dateien verschoben</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 · automatic</source>
        <translation>%1 · automatisch</translation>
    </message>
    <message>
        <source>Put Back</source>
        <translation>Zurücklegen</translation>
    </message>
    <message numerus="yes">
        <source>Put back %n files moved %1</source>
        <translation>
            <numerusform>%n Datei zurücklegen, die %1 verschoben wurde</numerusform>
            <numerusform>%n Dateien zurücklegen, die %1 verschoben wurden</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 · automatic · put back</source>
        <translation>%1 · automatisch · zurückgelegt</translation>
    </message>
    <message>
        <source>%1 · put back</source>
        <translation>%1 · zurückgelegt</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <comment>a day, then a time</comment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Put back %1</source>
        <translation>Zurückgelegt %1</translation>
    </message>
</context>
<context>
    <name>NoAccessView</name>
    <message>
        <source>Vantor can&apos;t see your Desktop</source>
        <translation>Vantor kann deinen Schreibtisch nicht sehen</translation>
    </message>
    <message>
        <source>Vantor can&apos;t read %1. Check that the folder exists and that you may open it.</source>
        <translation>Vantor kann %1 nicht lesen. Prüfe, ob der Ordner existiert und ob du ihn öffnen darfst.</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>In der Dateiverwaltung zeigen</translation>
    </message>
    <message>
        <source>Try Again</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <source>Vantor can&apos;t see your folders</source>
        <translation>Vantor kann deine Ordner nicht sehen</translation>
    </message>
    <message>
        <source>Vantor can&apos;t read %1. Check that the folders exist and that you may open them.</source>
        <translation>Vantor kann %1 nicht lesen. Prüfe, ob die Ordner existieren und ob du sie öffnen darfst.</translation>
    </message>
</context>
<context>
    <name>PanelView</name>
    <message>
        <source>Vantor</source>
        <translation>Vantor</translation>
    </message>
    <message>
        <source>Quit Vantor</source>
        <translation>Vantor beenden</translation>
    </message>
    <message>
        <source>Close settings</source>
        <translation>Einstellungen schließen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>RuleDescription</name>
    <message>
        <source>Images</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Documents</source>
        <translation>Dokumente</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>Archives</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>Installers and disk images</source>
        <translation>Installationsprogramme und Abbilder</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>1 byte</source>
        <translation>1 Byte</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>Dateien vom Typ %1</translation>
    </message>
    <message>
        <source>%1 of type %2</source>
        <translation>%1 vom Typ %2</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>No file types or conditions yet</source>
        <translation>Noch keine Dateitypen oder Bedingungen</translation>
    </message>
    <message>
        <source>named %1</source>
        <translation>mit Namen %1</translation>
    </message>
    <message>
        <source>larger than %1</source>
        <translation>größer als %1</translation>
    </message>
    <message>
        <source>smaller than %1</source>
        <translation>kleiner als %1</translation>
    </message>
    <message numerus="yes">
        <source>added more than %n days ago</source>
        <translation>
            <numerusform>vor mehr als %n Tag hinzugekommen</numerusform>
            <numerusform>vor mehr als %n Tagen hinzugekommen</numerusform>
        </translation>
    </message>
    <message>
        <source>Ignored: it has values Vantor can&apos;t read</source>
        <translation>Ignoriert: enthält Werte, die Vantor nicht lesen kann</translation>
    </message>
    <message>
        <source>No file types or conditions yet: takes no files</source>
        <translation>Noch keine Dateitypen oder Bedingungen: nimmt keine Dateien</translation>
    </message>
    <message>
        <source>%1 → Trash</source>
        <translation>%1 → Papierkorb</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>This rule moves nothing: rules.json gives it values Vantor can&apos;t read (%1). They are kept as written; correct them in the file.</source>
        <translation>Diese Regel bewegt nichts: rules.json gibt ihr Werte, die Vantor nicht lesen kann (%1). Sie bleiben, wie sie geschrieben sind; korrigiere sie in der Datei.</translation>
    </message>
</context>
<context>
    <name>RuleDetail</name>
    <message>
        <source>Rule name</source>
        <translation>Name der Regel</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>In der Dateiverwaltung zeigen</translation>
    </message>
    <message>
        <source>This rule points at the Desktop itself, so it won&apos;t move anything. Choose another folder.</source>
        <translation>Diese Regel zeigt auf den Schreibtisch selbst und verschiebt daher nichts. Wähle einen anderen Ordner.</translation>
    </message>
    <message>
        <source>Vantor creates the folder the first time it&apos;s needed.</source>
        <translation>Vantor legt den Ordner an, sobald er gebraucht wird.</translation>
    </message>
    <message>
        <source>Move matching files to</source>
        <translation>Passende Dateien verschieben nach</translation>
    </message>
    <message>
        <source>No file types yet. This rule won&apos;t move anything until you add some.</source>
        <translation>Noch keine Dateitypen. Diese Regel verschiebt nichts, bis du welche hinzufügst.</translation>
    </message>
    <message>
        <source>Add types, e.g. mov, mp4, mkv</source>
        <translation>Typen hinzufügen, z. B. mov, mp4, mkv</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Each file type belongs to one rule. Adding a type that&apos;s already used moves it here.</source>
        <translation>Jeder Dateityp gehört zu genau einer Regel. Ein Typ, den schon eine andere Regel hat, wird hierher verschoben.</translation>
    </message>
    <message>
        <source>File types</source>
        <translation>Dateitypen</translation>
    </message>
    <message>
        <source>these</source>
        <translation>diese</translation>
    </message>
    <message>
        <source>Choose where %1 files should go.</source>
        <translation>Wähle, wohin %1 Dateien kommen sollen.</translation>
    </message>
    <message>
        <source>This rule points at %1 itself, so it won&apos;t move anything. Choose another folder.</source>
        <translation>Diese Regel zeigt auf %1 selbst und verschiebt daher nichts. Wähle einen anderen Ordner.</translation>
    </message>
    <message>
        <source>Move to a folder</source>
        <translation>In einen Ordner verschieben</translation>
    </message>
    <message>
        <source>Move to the Trash</source>
        <translation>In den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>Any kind</source>
        <translation>Jede Art</translation>
    </message>
    <message>
        <source>Other type…</source>
        <translation>Anderer Typ …</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Content type</source>
        <translation>Inhaltstyp</translation>
    </message>
    <message>
        <source>e.g. application/json, audio/*</source>
        <translation>z. B. application/json, audio/*</translation>
    </message>
    <message>
        <source>Any name, or e.g. Screenshot*</source>
        <translation>Jeder Name, oder z. B. Bildschirmfoto*</translation>
    </message>
    <message>
        <source>Name is</source>
        <translation>Name wie</translation>
    </message>
    <message>
        <source>Larger than</source>
        <translation>Größer als</translation>
    </message>
    <message>
        <source>Unit of the larger size</source>
        <translation>Einheit der Mindestgröße</translation>
    </message>
    <message>
        <source>Smaller than</source>
        <translation>Kleiner als</translation>
    </message>
    <message>
        <source>Unit of the smaller size</source>
        <translation>Einheit der Höchstgröße</translation>
    </message>
    <message>
        <source>any time</source>
        <translation>beliebig</translation>
    </message>
    <message>
        <source>Added more than</source>
        <translation>Hinzugekommen vor mehr als</translation>
    </message>
    <message>
        <source>days ago</source>
        <translation>Tagen</translation>
    </message>
    <message>
        <source>A file must fit all of them. Sizes count 1 MB as 1000 KB; age counts from when the file arrived in the folder.</source>
        <translation>Eine Datei muss alle erfüllen. Größen rechnen 1 MB als 1000 KB; das Alter zählt ab dem Eintreffen der Datei im Ordner.</translation>
    </message>
    <message>
        <source>Conditions</source>
        <translation>Bedingungen</translation>
    </message>
    <message>
        <source>any size</source>
        <translation>beliebig</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>GB</translation>
    </message>
    <message>
        <source>Vantor doesn&apos;t know the content type &quot;%1&quot;.</source>
        <translation>Vantor kennt den Inhaltstyp „%1“ nicht.</translation>
    </message>
    <message>
        <source>A name pattern can&apos;t contain &quot;/&quot;.</source>
        <translation>Ein Namensmuster darf kein „/“ enthalten.</translation>
    </message>
    <message>
        <source>Other rules may have these types too: the first rule in the list that fits a file takes it.</source>
        <translation>Andere Regeln können diese Typen auch haben: Die erste Regel der Liste, auf die eine Datei passt, nimmt sie.</translation>
    </message>
</context>
<context>
    <name>RuleGroupRow</name>
    <message>
        <source>Moves to %1</source>
        <translation>Verschiebt nach %1</translation>
    </message>
    <message>
        <source>Moves to the Trash</source>
        <translation>Verschiebt in den Papierkorb</translation>
    </message>
    <message numerus="yes">
        <source>%n files to the Trash</source>
        <translation>
            <numerusform>%n Datei in den Papierkorb</numerusform>
            <numerusform>%n Dateien in den Papierkorb</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RuleListModel</name>
    <message>
        <source>Untitled</source>
        <translation>Ohne Namen</translation>
    </message>
    <message>
        <source>No file types</source>
        <translation>Keine Dateitypen</translation>
    </message>
    <message numerus="yes">
        <source>%n file types</source>
        <translation>
            <numerusform>%n Dateityp</numerusform>
            <numerusform>%n Dateitypen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RuleStore</name>
    <message numerus="yes">
        <source>%1 now belongs to no rule.</source>
        <translation>
            <numerusform>%1 gehört jetzt zu keiner Regel.</numerusform>
            <numerusform>%1 gehören jetzt zu keiner Regel.</numerusform>
        </translation>
    </message>
    <message>
        <source>Moved %1 from %2.</source>
        <translation>%1 aus %2 hierher verschoben.</translation>
    </message>
    <message>
        <source>New Rule</source>
        <translation>Neue Regel</translation>
    </message>
    <message>
        <source>New Rule %1</source>
        <translation>Neue Regel %1</translation>
    </message>
</context>
<context>
    <name>RulesEditor</name>
    <message>
        <source>Add a rule</source>
        <translation>Regel hinzufügen</translation>
    </message>
    <message>
        <source>Delete the selected rule</source>
        <translation>Ausgewählte Regel löschen</translation>
    </message>
    <message>
        <source>Select a rule, or add one with +</source>
        <translation>Wähle eine Regel aus oder füge mit + eine hinzu</translation>
    </message>
    <message>
        <source>Files that match no rule stay on your Desktop.</source>
        <translation>Dateien, die zu keiner Regel passen, bleiben auf dem Schreibtisch.</translation>
    </message>
    <message>
        <source>Restore Defaults…</source>
        <translation>Standardregeln wiederherstellen…</translation>
    </message>
    <message>
        <source>Vantor Rules</source>
        <translation>Vantor-Regeln</translation>
    </message>
    <message>
        <source>Restore the default rules?</source>
        <translation>Standardregeln wiederherstellen?</translation>
    </message>
    <message>
        <source>Your custom rules and folders will be replaced with Images, Documents and Installers on the Desktop. Files you already sorted stay where they are.</source>
        <translation>Deine eigenen Regeln und Ordner werden durch Images, Documents und Installers auf dem Schreibtisch ersetzt. Bereits einsortierte Dateien bleiben, wo sie sind.</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Standardregeln wiederherstellen</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>Regeln</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Ohne Namen</translation>
    </message>
    <message>
        <source>Deleted &quot;%1&quot;. Ctrl+Z brings it back.</source>
        <translation>„%1“ gelöscht. Strg+Z holt die Regel zurück.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete the rule &quot;%1&quot;?</source>
        <translation>Die Regel „%1“ löschen?</translation>
    </message>
    <message>
        <source>Its files stay where they are.</source>
        <translation>Ihre Dateien bleiben, wo sie sind.</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Files that match no rule stay in %1.</source>
        <translation>Dateien, die zu keiner Regel passen, bleiben in %1.</translation>
    </message>
    <message>
        <source>Your custom rules and folders for %1 will be replaced with the default ones. Files you already sorted stay where they are.</source>
        <translation>Deine eigenen Regeln und Ordner für %1 werden durch die Standardregeln ersetzt. Bereits einsortierte Dateien bleiben, wo sie sind.</translation>
    </message>
    <message>
        <source>The first rule that fits a file takes it. Alt+Up and Alt+Down move the selected rule.</source>
        <translation>Die erste Regel, auf die eine Datei passt, nimmt sie. Alt+Pfeil hoch und Alt+Pfeil runter verschieben die ausgewählte Regel.</translation>
    </message>
    <message>
        <source>The first rule that fits a file takes it. Drag a rule, or press Alt+Up or Alt+Down, to change the order.</source>
        <translation>Die erste Regel, auf die eine Datei passt, nimmt sie. Zieh eine Regel oder drück Alt+Pfeil hoch oder Alt+Pfeil runter, um die Reihenfolge zu ändern.</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
    <message>
        <source>Show %1 folder</source>
        <translation>Ordner %1 zeigen</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Ohne Namen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Open Vantor at login</source>
        <translation>Vantor bei der Anmeldung öffnen</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>Regeln</translation>
    </message>
    <message>
        <source>Edit Rules…</source>
        <translation>Regeln bearbeiten…</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Vantor by Quillon</source>
        <translation>Vantor von Quillon</translation>
    </message>
    <message>
        <source>Vantor %1 by Quillon</source>
        <translation>Vantor %1 von Quillon</translation>
    </message>
    <message>
        <source>Couldn&apos;t change this. Check that %1 can be written and try again.</source>
        <translation>Das ließ sich nicht ändern. Prüfe, ob %1 beschreibbar ist, und versuche es erneut.</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>Moving %1 of %2…</source>
        <translation>%1 von %2 werden verschoben …</translation>
    </message>
    <message>
        <source>Putting back %1 of %2…</source>
        <translation>%1 von %2 werden zurückgelegt …</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Widerrufen</translation>
    </message>
    <message>
        <source>Nothing was moved</source>
        <translation>Nichts wurde verschoben</translation>
    </message>
    <message numerus="yes">
        <source>Moved %n files</source>
        <translation>
            <numerusform>%n Datei verschoben</numerusform>
            <numerusform>%n Dateien verschoben</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>· %n couldn&apos;t be moved</source>
        <translation>
            <numerusform>· %n konnte nicht verschoben werden</numerusform>
            <numerusform>· %n konnten nicht verschoben werden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Put back %n files.</source>
        <translation>
            <numerusform>%n Datei zurückgelegt.</numerusform>
            <numerusform>%n Dateien zurückgelegt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n were missing.</source>
        <translation>
            <numerusform>%n fehlte.</numerusform>
            <numerusform>%n fehlten.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Last clean moved %n files %1</source>
        <translation>
            <numerusform>Zuletzt %1 aufgeräumt: %n Datei</numerusform>
            <numerusform>Zuletzt %1 aufgeräumt: %n Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>· %n couldn&apos;t be moved: in use</source>
        <translation>
            <numerusform>· %n konnte nicht verschoben werden: in Benutzung</numerusform>
            <numerusform>· %n konnten nicht verschoben werden: in Benutzung</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SystemServices</name>
    <message>
        <source>Use Folder</source>
        <translation>Ordner verwenden</translation>
    </message>
</context>
<context>
    <name>TidiedFolders</name>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>Give the folder&apos;s full path, starting with / or ~.</source>
        <translation>Gib den vollständigen Pfad des Ordners an, beginnend mit / oder ~.</translation>
    </message>
    <message>
        <source>%1 is your home folder: Vantor tidies folders inside it, never home itself.</source>
        <translation>%1 ist dein persönlicher Ordner: Vantor räumt Ordner darin auf, nie ihn selbst.</translation>
    </message>
    <message>
        <source>%1 holds your home folder: Vantor tidies folders inside home, never above it.</source>
        <translation>%1 enthält deinen persönlichen Ordner: Vantor räumt nur Ordner darin auf, nie darüber.</translation>
    </message>
    <message>
        <source>%1 is tidied already.</source>
        <translation>%1 wird schon aufgeräumt.</translation>
    </message>
    <message>
        <source>%1 is a rule folder or inside one: files are put away there, so it is not tidied itself.</source>
        <translation>%1 ist ein Regelordner oder liegt in einem: Dort werden Dateien abgelegt, darum wird er nicht selbst aufgeräumt.</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Undo</source>
        <translation>Widerrufen</translation>
    </message>
    <message>
        <source>Pause Automatic Tidying for 1 Hour</source>
        <translation>Automatisches Aufräumen 1 Stunde pausieren</translation>
    </message>
    <message>
        <source>Edit Rules…</source>
        <translation>Regeln bearbeiten…</translation>
    </message>
    <message>
        <source>Open Vantor</source>
        <translation>Vantor öffnen</translation>
    </message>
    <message>
        <source>Quit Vantor</source>
        <translation>Vantor beenden</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n files)</source>
        <translation>
            <numerusform>%1 (%n Datei)</numerusform>
            <numerusform>%1 (%n Dateien)</numerusform>
        </translation>
    </message>
    <message>
        <source>Vantor — nothing to put away</source>
        <translation>Vantor — nichts wegzuräumen</translation>
    </message>
    <message numerus="yes">
        <source>Vantor — %n files to put away</source>
        <translation>
            <numerusform>Vantor — %n Datei zum Wegräumen</numerusform>
            <numerusform>Vantor — %n Dateien zum Wegräumen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Vantor</name>
    <message>
        <source>No file manager found to show %1.</source>
        <translation>Keine Dateiverwaltung gefunden, um %1 zu zeigen.</translation>
    </message>
    <message>
        <source>Desktop</source>
        <translation>Schreibtisch</translation>
    </message>
</context>
<context>
    <name>VantorApp</name>
    <message>
        <source>Vantor is in your system tray</source>
        <translation>Vantor ist im Infobereich</translation>
    </message>
    <message>
        <source>Click its icon in the system tray to clean your desktop. Vantor has no main window.</source>
        <translation>Klicke auf sein Symbol im Infobereich, um deinen Schreibtisch aufzuräumen. Vantor hat kein Hauptfenster.</translation>
    </message>
    <message>
        <source>Got It</source>
        <translation>Verstanden</translation>
    </message>
    <message numerus="yes">
        <source>Put away %n files</source>
        <translation>
            <numerusform>%n Datei weggeräumt</numerusform>
            <numerusform>%n Dateien weggeräumt</numerusform>
        </translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Widerrufen</translation>
    </message>
    <message numerus="yes">
        <source>%n more → %1</source>
        <translation>
            <numerusform>%n weitere → %1</numerusform>
            <numerusform>%n weitere → %1</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message numerus="yes">
        <source>%n files → %1</source>
        <translation>
            <numerusform>%n Datei → %1</numerusform>
            <numerusform>%n Dateien → %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more elsewhere</source>
        <translation>
            <numerusform>%n weitere woandershin</numerusform>
            <numerusform>%n weitere woandershin</numerusform>
        </translation>
    </message>
    <message>
        <source>Show History</source>
        <translation>Verlauf anzeigen</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Papierkorb</translation>
    </message>
</context>
</TS>
