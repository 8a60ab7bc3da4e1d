#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace testsupport {

void prepareEnvironment() {
    const QByteArray home = qgetenv("HOME");
    const passwd* pw = getpwuid(getuid());
    if (home.isEmpty() || (pw && home == QByteArray(pw->pw_dir))) {
        std::fputs("Refusing to run: HOME must point at a throw-away folder (run through ctest)\n",
                   stderr);
        std::exit(2);
    }
    for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME",
                            "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString dir = qEnvironmentVariable(var);
        if (!dir.isEmpty())
            QDir().mkpath(dir);
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testsupport
