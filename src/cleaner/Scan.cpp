#include "cleaner/Scan.h"

#include <algorithm>

int Scan::Folder::totalFiles() const {
    int total = 0;
    for (const Group& g : groups)
        total += int(g.files.size());
    return total;
}

int Scan::totalFiles() const {
    int total = 0;
    for (const Folder& f : folders)
        total += f.totalFiles();
    return total;
}

bool Scan::noneReadable() const {
    return std::none_of(folders.begin(), folders.end(), [](const Folder& f) { return f.readable; });
}
