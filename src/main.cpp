#include "platform/Locations.h"
#include "rules/RuleStore.h"

#include <QCoreApplication>
#include <QTextStream>

// Until the tray application exists: load the rules and say where Vantor keeps its files.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vantor");
    QCoreApplication::setApplicationVersion(VANTOR_VERSION);
    RuleStore store(platform::configFolder());
    QTextStream out(stdout);
    out << "Vantor " << VANTOR_VERSION << "\n"
        << "Desktop: " << platform::desktopFolder() << "\n"
        << "Rules:   " << store.fileName() << " (" << store.rules().size() << " rules)\n"
        << "Record:  " << platform::stateFolder() << "/last-clean.json\n";
    return 0;
}
