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
}

MESSAGE = re.compile(r'(<message( numerus="yes")?>\s*<source>(.*?)</source>\s*)'
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
