#!/usr/bin/env python3
"""Writes the translations below into translations/vantor_*.ts after lupdate has added
new source texts: `python3 tools/translations/fill.py`. A text listed here replaces what
the file holds; a text missing here is left as it is (lrelease reports it unfinished)."""
import html
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[2] / "translations"

# English: only the texts with a count, each as (one, more).
EN = {
    "No files match your rules. %n other files left alone.":
        ("No files match your rules. %n other file left alone.",
         "No files match your rules. %n other files left alone."),
    "%n files to put away": ("%n file to put away", "%n files to put away"),
    "%n other files stay where they are.":
        ("%n other file stays where it is.", "%n other files stay where they are."),
    "%n file types": ("%n file type", "%n file types"),
    "Moved %n files": ("Moved %n file", "Moved %n files"),
    "· %n couldn't be moved": ("· %n couldn't be moved", "· %n couldn't be moved"),
    "· %n couldn't be moved: in use":
        ("· %n couldn't be moved: in use", "· %n couldn't be moved: in use"),
    "Put back %n files.": ("Put back %n file.", "Put back %n files."),
    "%n were missing.": ("%n were missing.", "%n were missing."),
    "Last clean moved %n files %1": ("Last clean moved %n file %1", "Last clean moved %n files %1"),
    "Put away %n files": ("Put away %n file", "Put away %n files"),
    "%1 now belongs to no rule.": ("%1 now belongs to no rule.", "%1 now belong to no rule."),
    "%n files": ("%n file", "%n files"),
    "%n other items stay there.": ("%n other item stays there.", "%n other items stay there."),
    "%n other items stay on the Desktop.":
        ("%n other item stays on the Desktop.", "%n other items stay on the Desktop."),
    "Moved %1; %n couldn't be moved.":
        ("Moved %1; %n couldn't be moved.", "Moved %1; %n couldn't be moved."),
    "Moved %1; %n couldn't be moved (%2 in use).":
        ("Moved %1; %n couldn't be moved (%2 in use).", "Moved %1; %n couldn't be moved (%2 in use)."),
    "Put back %1; %n couldn't be put back.":
        ("Put back %1; %n couldn't be put back.", "Put back %1; %n couldn't be put back."),
    "%1 (%n files)": ("%1 (%n file)", "%1 (%n files)"),
    "Vantor — %n files to put away": ("Vantor — %n file to put away", "Vantor — %n files to put away"),
    "%n files → %1": ("%n file → %1", "%n files → %1"),
    "%n more → %1": ("%n more → %1", "%n more → %1"),
    "%n more elsewhere": ("%n more elsewhere", "%n more elsewhere"),
    "%n files to the Trash": ("%n file to the Trash", "%n files to the Trash"),
    "added more than %n days ago": ("added more than %n day ago", "added more than %n days ago"),
}

DE = {
    "Clean All": "Alle aufräumen",
    "Tidy automatically": "Automatisch aufräumen",
    "Your folders are clean": "Deine Ordner sind aufgeräumt",
    "Folders": "Ordner",
    "Add Folder…": "Ordner hinzufügen…",
    "Add Downloads": "Downloads hinzufügen",
    "Choose a folder for Vantor to tidy": "Wähle einen Ordner, den Vantor aufräumen soll",
    "Remove": "Entfernen",
    "Remove %1": "%1 entfernen",
    "Stop tidying this folder. Its files stay where they are.":
        "Diesen Ordner nicht mehr aufräumen. Seine Dateien bleiben, wo sie sind.",
    "Tidy %1 automatically": "%1 automatisch aufräumen",
    "Vantor can't read %1.": "Vantor kann %1 nicht lesen.",
    "Vantor can't see your folders": "Vantor kann deine Ordner nicht sehen",
    "Vantor can't read %1. Check that the folders exist and that you may open them.":
        "Vantor kann %1 nicht lesen. Prüfe, ob die Ordner existieren und ob du sie öffnen darfst.",
    "This rule points at %1 itself, so it won't move anything. Choose another folder.":
        "Diese Regel zeigt auf %1 selbst und verschiebt daher nichts. Wähle einen anderen Ordner.",
    "Files that match no rule stay in %1.": "Dateien, die zu keiner Regel passen, bleiben in %1.",
    "Your custom rules and folders for %1 will be replaced with the default ones. Files you already sorted stay where they are.":
        "Deine eigenen Regeln und Ordner für %1 werden durch die Standardregeln ersetzt. Bereits einsortierte Dateien bleiben, wo sie sind.",
    "%1 is not a folder.": "%1 ist kein Ordner.",
    "Give the folder's full path, starting with / or ~.":
        "Gib den vollständigen Pfad des Ordners an, beginnend mit / oder ~.",
    "%1 is your home folder: Vantor tidies folders inside it, never home itself.":
        "%1 ist dein persönlicher Ordner: Vantor räumt Ordner darin auf, nie ihn selbst.",
    "%1 holds your home folder: Vantor tidies folders inside home, never above it.":
        "%1 enthält deinen persönlichen Ordner: Vantor räumt nur Ordner darin auf, nie darüber.",
    "%1 is tidied already.": "%1 wird schon aufgeräumt.",
    "%1 is a rule folder or inside one: files are put away there, so it is not tidied itself.":
        "%1 ist ein Regelordner oder liegt in einem: Dort werden Dateien abgelegt, darum wird er nicht selbst aufgeräumt.",
    "Desktop": "Schreibtisch",
    "Clean Desktop": "Schreibtisch aufräumen",
    "Your desktop is clean": "Dein Schreibtisch ist aufgeräumt",
    "Nothing to sort right now.": "Gerade gibt es nichts einzuordnen.",
    "No files match your rules. %n other files left alone.":
        ("Keine Datei passt zu deinen Regeln. %n andere Datei bleibt unberührt.",
         "Keine Datei passt zu deinen Regeln. %n andere Dateien bleiben unberührt."),
    "%n files to put away": ("%n Datei zum Wegräumen", "%n Dateien zum Wegräumen"),
    "%n other files stay where they are.":
        ("%n andere Datei bleibt, wo sie ist.", "%n andere Dateien bleiben, wo sie sind."),
    "Remove .%1": ".%1 entfernen",
    "Vantor can't see your Desktop": "Vantor kann deinen Schreibtisch nicht sehen",
    "Vantor can't read %1. Check that the folder exists and that you may open it.":
        "Vantor kann %1 nicht lesen. Prüfe, ob der Ordner existiert und ob du ihn öffnen darfst.",
    "Show in File Manager": "In der Dateiverwaltung zeigen",
    "Try Again": "Erneut versuchen",
    "Vantor": "Vantor",
    "Quit Vantor": "Vantor beenden",
    "Close settings": "Einstellungen schließen",
    "Settings": "Einstellungen",
    "Rule name": "Name der Regel",
    "Name": "Name",
    "Choose…": "Auswählen…",
    "This rule points at the Desktop itself, so it won't move anything. Choose another folder.":
        "Diese Regel zeigt auf den Schreibtisch selbst und verschiebt daher nichts. "
        "Wähle einen anderen Ordner.",
    "Vantor creates the folder the first time it's needed.":
        "Vantor legt den Ordner an, sobald er gebraucht wird.",
    "Move matching files to": "Passende Dateien verschieben nach",
    "No file types yet. This rule won't move anything until you add some.":
        "Noch keine Dateitypen. Diese Regel verschiebt nichts, bis du welche hinzufügst.",
    "Add types, e.g. mov, mp4, mkv": "Typen hinzufügen, z. B. mov, mp4, mkv",
    "Add": "Hinzufügen",
    "Each file type belongs to one rule. Adding a type that's already used moves it here.":
        "Jeder Dateityp gehört zu genau einer Regel. Ein Typ, den schon eine andere Regel hat, "
        "wird hierher verschoben.",
    "File types": "Dateitypen",
    "these": "diese",
    "Choose where %1 files should go.": "Wähle, wohin %1 Dateien kommen sollen.",
    "Moves to %1": "Verschiebt nach %1",
    "Untitled": "Ohne Namen",
    "No file types": "Keine Dateitypen",
    "%n file types": ("%n Dateityp", "%n Dateitypen"),
    "Add a rule": "Regel hinzufügen",
    "Delete the selected rule": "Ausgewählte Regel löschen",
    "Select a rule, or add one with +": "Wähle eine Regel aus oder füge mit + eine hinzu",
    "Files that match no rule stay on your Desktop.":
        "Dateien, die zu keiner Regel passen, bleiben auf dem Schreibtisch.",
    "Restore Defaults…": "Standardregeln wiederherstellen…",
    "Vantor Rules": "Vantor-Regeln",
    "Restore the default rules?": "Standardregeln wiederherstellen?",
    "Your custom rules and folders will be replaced with Images, Documents and Installers on "
    "the Desktop. Files you already sorted stay where they are.":
        "Deine eigenen Regeln und Ordner werden durch Images, Documents und Installers auf dem "
        "Schreibtisch ersetzt. Bereits einsortierte Dateien bleiben, wo sie sind.",
    "Restore Defaults": "Standardregeln wiederherstellen",
    "Show": "Zeigen",
    "Show %1 folder": "Ordner %1 zeigen",
    "Open Vantor at login": "Vantor bei der Anmeldung öffnen",
    "Rules": "Regeln",
    "Edit Rules…": "Regeln bearbeiten…",
    "Done": "Fertig",
    "Vantor by Quillon": "Vantor von Quillon",
    "Vantor %1 by Quillon": "Vantor %1 von Quillon",
    "Couldn't change this. Check that %1 can be written and try again.":
        "Das ließ sich nicht ändern. Prüfe, ob %1 beschreibbar ist, und versuche es erneut.",
    "Undo": "Widerrufen",
    "Moved %1 from %2.": "%1 aus %2 hierher verschoben.",
    "Put away %n files": ("%n Datei weggeräumt", "%n Dateien weggeräumt"),
    "Nothing was moved": "Nichts wurde verschoben",
    "Moved %n files": ("%n Datei verschoben", "%n Dateien verschoben"),
    "· %n couldn't be moved":
        ("· %n konnte nicht verschoben werden", "· %n konnten nicht verschoben werden"),
    "· %n couldn't be moved: in use":
        ("· %n konnte nicht verschoben werden: in Benutzung",
         "· %n konnten nicht verschoben werden: in Benutzung"),
    "Couldn't save the record for Undo, so nothing more was moved.":
        "Das Protokoll zum Widerrufen konnte nicht gespeichert werden, daher wurde nichts "
        "weiter verschoben.",
    "Put back %n files.": ("%n Datei zurückgelegt.", "%n Dateien zurückgelegt."),
    "%n were missing.": ("%n fehlte.", "%n fehlten."),
    "Last clean moved %n files %1":
        ("Zuletzt %1 aufgeräumt: %n Datei", "Zuletzt %1 aufgeräumt: %n Dateien"),
    "Use Folder": "Ordner verwenden",
    "No file manager found to show %1.": "Keine Dateiverwaltung gefunden, um %1 zu zeigen.",
    "Open Vantor": "Vantor öffnen",
    "Vantor is in your system tray": "Vantor ist im Infobereich",
    "Click its icon in the system tray to clean your desktop. Vantor has no main window.":
        "Klicke auf sein Symbol im Infobereich, um deinen Schreibtisch aufzuräumen. "
        "Vantor hat kein Hauptfenster.",
    "Got It": "Verstanden",
    "Copy": "Kopieren",
    "Delete": "Löschen",
    "Delete the rule \"%1\"?": "Die Regel „%1“ löschen?",
    "Its files stay where they are.": "Ihre Dateien bleiben, wo sie sind.",
    "Deleted \"%1\". Ctrl+Z brings it back.": "„%1“ gelöscht. Strg+Z holt die Regel zurück.",
    "%1 now belongs to no rule.":
        ("%1 gehört jetzt zu keiner Regel.", "%1 gehören jetzt zu keiner Regel."),
    # CommandLine
    "--json goes with scan, clean, undo, history or folders.":
        "--json gehört zu scan, clean, undo, history oder folders.",
    "--automatic goes with folders add.": "--automatic gehört zu folders add.",
    "Unknown command '%1'.": "Unbekannter Befehl '%1'.",
    "Unknown folders command '%1'.": "Unbekannter folders-Befehl '%1'.",
    "folders %1 needs a folder.": "folders %1 braucht einen Ordner.",
    "Unexpected argument '%1'.": "Unerwartetes Argument '%1'.",
    "--json goes with folders, not with folders %1.":
        "--json gehört zu folders, nicht zu folders %1.",
    "An empty ID names no clean.": "Eine leere ID bezeichnet kein Aufräumen.",
    "An empty path names no folder.": "Ein leerer Pfad bezeichnet keinen Ordner.",
    "See 'vantor --help'.": "Siehe 'vantor --help'.",
    "The running Vantor's answer can't be read; nothing was done here.":
        "Die Antwort des laufenden Vantor ist nicht lesbar; hier wurde nichts getan.",
    "The running Vantor's answer is longer than %1 MB and was not read; its panel shows what was done.":
        "Die Antwort des laufenden Vantor ist länger als %1 MB und wurde nicht gelesen; sein Fenster zeigt, was getan wurde.",
    "The running Vantor did not answer; nothing was done here.":
        "Der laufende Vantor hat nicht geantwortet; hier wurde nichts getan.",
    "no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session, or on a virtual display with: xvfb-run -a %1 (xvfb-run is in the xvfb package)":
        "keine grafische Sitzung (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt); starte Vantor in einer Desktop-Sitzung oder auf einem virtuellen Bildschirm mit: xvfb-run -a %1 (xvfb-run ist im Paket xvfb)",
    "this Wayland session has no XWayland (DISPLAY is not set) and Qt's Wayland support is not installed; install the qt6-wayland package, or start Vantor in a session with XWayland or X11":
        "diese Wayland-Sitzung hat kein XWayland (DISPLAY ist nicht gesetzt), und die Wayland-Unterstützung von Qt ist nicht installiert; installiere das Paket qt6-wayland oder starte Vantor in einer Sitzung mit XWayland oder X11",
    "Usage: vantor [command] [argument] [--json]\n"
    "\n"
    "Vantor tidies the loose files of your Desktop, and of the folders you add (such\n"
    "as Downloads), into folders by type. Each folder has rules of its own.\n"
    "\n"
    "Commands:\n"
    "  (none)          start Vantor; if it already runs, open its panel\n"
    "  scan [--json]   show what a clean would move now in each tidied folder;\n"
    "                  changes nothing\n"
    "  clean [--json]  clean every tidied folder now, as the panel's Clean button does\n"
    "  undo [--json]   put the last clean back, as Undo does\n"
    "  undo ID [--json]\n"
    "                  put back that clean from the history\n"
    "  history [--json]\n"
    "                  list the last 20 cleans, newest first, with their IDs\n"
    "  folders [--json]\n"
    "                  list the tidied folders, the Desktop first, and which of them\n"
    "                  are tidied automatically\n"
    "  folders add PATH [--automatic]\n"
    "                  tidy that folder too, with the default rules in folders inside it\n"
    "  folders remove PATH\n"
    "                  stop tidying that folder; its files stay as they are\n"
    "\n"
    "Options:\n"
    "  -h, --help      show this help\n"
    "  -v, --version   show the version\n"
    "  --json          print the result as one JSON document\n"
    "  --automatic     with folders add: also tidy the folder automatically, once a\n"
    "                  new file there has stayed untouched for a while\n"
    "\n"
    "When Vantor is running, it carries out the command itself.\n"
    "Exit status: 0 done (also when there was nothing to move), 1 not done in full\n"
    "(items that failed, a tidied folder that can't be read, nothing to undo, no clean\n"
    "with that ID, a folder that can't be added or removed, busy), 2 bad usage.\n":
    "Aufruf: vantor [Befehl] [Argument] [--json]\n"
    "\n"
    "Vantor räumt die losen Dateien deines Schreibtischs und der Ordner, die du\n"
    "hinzufügst (etwa Downloads), nach Art in Ordner. Jeder Ordner hat eigene Regeln.\n"
    "\n"
    "Befehle:\n"
    "  (keiner)        Vantor starten; läuft es schon, sein Fenster öffnen\n"
    "  scan [--json]   zeigen, was Aufräumen jetzt in jedem aufgeräumten Ordner\n"
    "                  verschieben würde; ändert nichts\n"
    "  clean [--json]  jeden aufgeräumten Ordner jetzt aufräumen, wie der\n"
    "                  Aufräumen-Knopf des Fensters\n"
    "  undo [--json]   das letzte Aufräumen zurücklegen, wie Widerrufen\n"
    "  undo ID [--json]\n"
    "                  dieses Aufräumen aus dem Verlauf zurücklegen\n"
    "  history [--json]\n"
    "                  die letzten 20 Aufräumvorgänge auflisten, neueste zuerst, mit\n"
    "                  ihren IDs\n"
    "  folders [--json]\n"
    "                  die aufgeräumten Ordner auflisten, den Schreibtisch zuerst, und\n"
    "                  welche davon automatisch aufgeräumt werden\n"
    "  folders add PATH [--automatic]\n"
    "                  auch diesen Ordner aufräumen, mit den Standardregeln und ihren\n"
    "                  Ordnern darin\n"
    "  folders remove PATH\n"
    "                  diesen Ordner nicht mehr aufräumen; seine Dateien bleiben, wie\n"
    "                  sie sind\n"
    "\n"
    "Optionen:\n"
    "  -h, --help      diese Hilfe zeigen\n"
    "  -v, --version   die Version zeigen\n"
    "  --json          das Ergebnis als ein JSON-Dokument ausgeben\n"
    "  --automatic     mit folders add: den Ordner auch automatisch aufräumen, sobald\n"
    "                  eine neue Datei darin eine Weile unberührt geblieben ist\n"
    "\n"
    "Läuft Vantor, führt es den Befehl selbst aus.\n"
    "Rückgabewert: 0 erledigt (auch wenn nichts zu verschieben war), 1 nicht ganz\n"
    "erledigt (Dateien mit Fehler, ein aufgeräumter Ordner nicht lesbar, nichts zu\n"
    "widerrufen, kein Aufräumen mit dieser ID, ein Ordner nicht hinzuzufügen oder zu\n"
    "entfernen, beschäftigt), 2 falscher Aufruf.\n",
    # CommandRunner
    "%n files": ("%n Datei", "%n Dateien"),
    "Vantor can't see your Desktop (%1).": "Vantor kann deinen Schreibtisch nicht sehen (%1).",
    "Vantor can't read %1.": "Vantor kann %1 nicht lesen.",
    "%1 can't be read; using the default rules.":
        "%1 ist nicht lesbar; es gelten die Standardregeln.",
    "Nothing to move.": "Nichts zu verschieben.",
    "%n other items stay there.": ("%n anderes Objekt bleibt dort.", "%n andere Objekte bleiben dort."),
    "%n other items stay on the Desktop.":
        ("%n anderes Objekt bleibt auf dem Schreibtisch.",
         "%n andere Objekte bleiben auf dem Schreibtisch."),
    "Moved %1.": "%1 verschoben.",
    "Moved %1, automatically.": "%1 automatisch verschoben.",
    "Moved %1; put back.": "%1 verschoben; zurückgelegt.",
    "Moved %1, automatically; put back.": "%1 automatisch verschoben; zurückgelegt.",
    "No cleans yet.": "Noch nichts aufgeräumt.",
    "Added %1 to the tidied folders.": "%1 zu den aufgeräumten Ordnern hinzugefügt.",
    "Added %1 to the tidied folders, tidied automatically.":
        "%1 zu den aufgeräumten Ordnern hinzugefügt, wird automatisch aufgeräumt.",
    "The Desktop is always tidied; it can't be removed.":
        "Der Schreibtisch wird immer aufgeräumt; er kann nicht entfernt werden.",
    "%1 is not a tidied folder.": "%1 ist kein aufgeräumter Ordner.",
    "Removed %1 from the tidied folders.": "%1 aus den aufgeräumten Ordnern entfernt.",
    "No clean with ID '%1' in the history.": "Kein Aufräumen mit der ID '%1' im Verlauf.",
    "Clean %1 was put back already.": "Das Aufräumen %1 wurde schon zurückgelegt.",
    "Nothing to undo.": "Nichts zu widerrufen.",
    "Moved %1; %n couldn't be moved.":
        ("%1 verschoben; %n konnte nicht verschoben werden.",
         "%1 verschoben; %n konnten nicht verschoben werden."),
    "Moved %1; %n couldn't be moved (%2 in use).":
        ("%1 verschoben; %n konnte nicht verschoben werden (%2 in Benutzung).",
         "%1 verschoben; %n konnten nicht verschoben werden (%2 in Benutzung)."),
    "Put back %1; %n couldn't be put back.":
        ("%1 zurückgelegt; %n konnte nicht zurückgelegt werden.",
         "%1 zurückgelegt; %n konnten nicht zurückgelegt werden."),
    "Put back %1.": "%1 zurückgelegt.",
    # HistoryList
    "%1 · put back": "%1 · zurückgelegt",
    "%1 · automatic · put back": "%1 · automatisch · zurückgelegt",
    "%1 (%n files)": ("%1 (%n Datei)", "%1 (%n Dateien)"),
    "Pause Automatic Tidying for 1 Hour": "Automatisches Aufräumen 1 Stunde pausieren",
    "Vantor — nothing to put away": "Vantor — nichts wegzuräumen",
    "Vantor — %n files to put away": ("Vantor — %n Datei zum Wegräumen", "Vantor — %n Dateien zum Wegräumen"),
    "Show History": "Verlauf anzeigen",
    "%1 → %2": "%1 → %2",
    "%n files → %1": ("%n Datei → %1", "%n Dateien → %1"),
    "%n more → %1": ("%n weitere → %1", "%n weitere → %1"),
    "%n more elsewhere": ("%n weitere woandershin", "%n weitere woandershin"),
    "Images": "Bilder",
    "Documents": "Dokumente",
    "Audio": "Audio",
    "Video": "Video",
    "Archives": "Archive",
    "Installers and disk images": "Installationsprogramme und Abbilder",
    "%1 GB": "%1 GB",
    "%1 MB": "%1 MB",
    "%1 KB": "%1 KB",
    "1 byte": "1 Byte",
    "%1 bytes": "%1 Bytes",
    "%1 files": "Dateien vom Typ %1",
    "%1 of type %2": "%1 vom Typ %2",
    "Files": "Dateien",
    "No file types or conditions yet": "Noch keine Dateitypen oder Bedingungen",
    "named %1": "mit Namen %1",
    "larger than %1": "größer als %1",
    "smaller than %1": "kleiner als %1",
    "Ignored: it has values Vantor can't read": "Ignoriert: enthält Werte, die Vantor nicht lesen kann",
    "No file types or conditions yet: takes no files": "Noch keine Dateitypen oder Bedingungen: nimmt keine Dateien",
    "%1 → Trash": "%1 → Papierkorb",
    "This rule moves nothing: rules.json gives it values Vantor can't read (%1). They are kept as written; correct them in the file.":
        "Diese Regel bewegt nichts: rules.json gibt ihr Werte, die Vantor nicht lesen kann (%1). Sie bleiben, wie sie geschrieben sind; korrigiere sie in der Datei.",
    "Action": "Aktion",
    "Move to a folder": "In einen Ordner verschieben",
    "Move to the Trash": "In den Papierkorb verschieben",
    "Conditions": "Bedingungen",
    "Kind": "Art",
    "Any kind": "Jede Art",
    "Other type…": "Anderer Typ …",
    "Content type": "Inhaltstyp",
    "e.g. application/json, audio/*": "z. B. application/json, audio/*",
    "Name is": "Name wie",
    "Any name, or e.g. Screenshot*": "Jeder Name, oder z. B. Bildschirmfoto*",
    "Larger than": "Größer als",
    "Smaller than": "Kleiner als",
    "Unit of the larger size": "Einheit der Mindestgröße",
    "Unit of the smaller size": "Einheit der Höchstgröße",
    "any size": "beliebig",
    "KB": "KB",
    "MB": "MB",
    "GB": "GB",
    "Added more than": "Hinzugekommen vor mehr als",
    "any time": "beliebig",
    "days ago": "Tagen",
    "A file must fit all of them. Sizes count 1 MB as 1000 KB; age counts from when the file arrived in the folder.":
        "Eine Datei muss alle erfüllen. Größen rechnen 1 MB als 1000 KB; das Alter zählt ab dem Eintreffen der Datei im Ordner.",
    "Vantor doesn't know the content type \"%1\".": "Vantor kennt den Inhaltstyp „%1“ nicht.",
    "A name pattern can't contain \"/\".": "Ein Namensmuster darf kein „/“ enthalten.",
    "Other rules may have these types too: the first rule in the list that fits a file takes it.":
        "Andere Regeln können diese Typen auch haben: Die erste Regel der Liste, auf die eine Datei passt, nimmt sie.",
    "The first rule that fits a file takes it. Alt+Up and Alt+Down move the selected rule.":
        "Die erste Regel, auf die eine Datei passt, nimmt sie. Alt+Pfeil hoch und Alt+Pfeil runter verschieben die ausgewählte Regel.",
    "The first rule that fits a file takes it. Drag a rule, or press Alt+Up or Alt+Down, to change the order.":
        "Die erste Regel, auf die eine Datei passt, nimmt sie. Zieh eine Regel oder drück Alt+Pfeil hoch oder Alt+Pfeil runter, um die Reihenfolge zu ändern.",
    "Moves to the Trash": "Verschiebt in den Papierkorb",
    "%n files to the Trash": ("%n Datei in den Papierkorb", "%n Dateien in den Papierkorb"),
    "added more than %n days ago": ("vor mehr als %n Tag hinzugekommen", "vor mehr als %n Tagen hinzugekommen"),
    "Trash": "Papierkorb",
    "Put back %1": "Zurückgelegt %1",
    "%1, %2": "%1, %2",
    "New Rule": "Neue Regel",
    "New Rule %1": "Neue Regel %1",
}

MESSAGE = re.compile(r'(<message( numerus="yes")?>\s*<source>([^<]*)</source>\s*'
                     r'(?:<comment>[^<]*</comment>\s*)?)'
                     r'<translation[^>]*?(/>|>.*?</translation>)', re.S)


def fill(path, table):
    text = path.read_text(encoding="utf-8")

    def replace(m):
        head, numerus, source = m.group(1), m.group(2), html.unescape(m.group(3))
        if source not in table:
            return m.group(0)
        value = table[source]
        if numerus:
            forms = "".join(f"\n            <numerusform>{html.escape(f, quote=False)}</numerusform>"
                            for f in value)
            return f"{head}<translation>{forms}\n        </translation>"
        return f"{head}<translation>{html.escape(value, quote=False)}</translation>"

    path.write_text(MESSAGE.sub(replace, text), encoding="utf-8")


fill(ROOT / "vantor_en.ts", EN)
fill(ROOT / "vantor_de.ts", DE)
