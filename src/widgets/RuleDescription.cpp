#include "widgets/RuleDescription.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

QList<RuleDescription::Family> RuleDescription::families() {
    return {
        {tr("Images"), {"image/*"}},
        {tr("Documents"),
         {"application/pdf", "application/vnd.oasis.opendocument.text",
          "application/vnd.oasis.opendocument.spreadsheet",
          "application/vnd.oasis.opendocument.presentation", "application/msword",
          "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
          "application/vnd.ms-excel",
          "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
          "application/vnd.ms-powerpoint",
          "application/vnd.openxmlformats-officedocument.presentationml.presentation",
          "application/epub+zip", "application/rtf", "text/markdown", "text/csv"}},
        {tr("Audio"), {"audio/*"}},
        {tr("Video"), {"video/*"}},
        {tr("Archives"),
         {"application/zip", "application/x-tar", "application/gzip", "application/x-bzip2",
          "application/x-xz", "application/zstd", "application/x-7z-compressed",
          "application/vnd.rar", "application/x-compressed-tar",
          "application/x-bzip-compressed-tar", "application/x-xz-compressed-tar",
          "application/x-zstd-compressed-tar"}},
        {tr("Installers and disk images"),
         {"application/vnd.debian.binary-package", "application/x-rpm",
          "application/x-iso9660-image", "application/x-apple-diskimage",
          "application/vnd.appimage", "application/vnd.flatpak", "application/vnd.flatpak.ref",
          "application/vnd.snap", "application/x-executable", "application/x-msi",
          "application/x-ms-dos-executable"}},
    };
}

int RuleDescription::familyOf(const QStringList& kinds) {
    const QList<Family> all = families();
    for (int i = 0; i < all.size(); ++i) {
        const QStringList& own = all.at(i).kinds;
        if (own.size() == kinds.size() &&
            std::all_of(own.begin(), own.end(),
                        [&](const QString& k) { return kinds.contains(k); }))
            return i;
    }
    return -1;
}

QString RuleDescription::sizeText(qint64 bytes) {
    const QLocale locale;
    for (const auto& [unit, text] :
         {std::pair{kGB, tr("%1 GB")}, std::pair{kMB, tr("%1 MB")}, std::pair{kKB, tr("%1 KB")}})
        if (bytes >= unit && bytes % unit == 0)
            return text.arg(locale.toString(bytes / unit));
    return bytes == 1 ? tr("1 byte") : tr("%1 bytes").arg(locale.toString(bytes));
}

QString RuleDescription::conditionsText(const SortRule& rule) {
    // Kinds that make up a whole family are named by it, any other by its content type.
    QStringList kinds;
    QStringList rest = rule.kinds;
    for (const Family& family : families()) {
        if (std::all_of(family.kinds.begin(), family.kinds.end(),
                        [&](const QString& k) { return rest.contains(k); })) {
            kinds.append(family.name);
            for (const QString& k : family.kinds)
                rest.removeAll(k);
        }
    }
    QString kindText = kinds.join(QStringLiteral(", "));
    if (!rest.isEmpty())
        kindText = tr("%1 files").arg((kinds + rest).join(QStringLiteral(", ")));

    QString subject;
    const QString types = rule.extensions.join(QStringLiteral(", ")).toUpper();
    if (!rule.kinds.isEmpty() && !rule.extensions.isEmpty())
        subject = tr("%1 of type %2").arg(kindText, types);
    else if (!rule.kinds.isEmpty())
        subject = kindText;
    else if (!rule.extensions.isEmpty())
        subject = tr("%1 files").arg(types);
    else if (rule.hasConditions())
        subject = tr("Files");
    else
        return tr("No file types or conditions yet");

    QStringList conditions;
    if (!rule.namePattern.isEmpty())
        conditions.append(tr("named %1").arg(rule.namePattern));
    if (rule.minSize >= 0)
        conditions.append(tr("larger than %1").arg(sizeText(rule.minSize)));
    if (rule.maxSize >= 0)
        conditions.append(tr("smaller than %1").arg(sizeText(rule.maxSize)));
    if (rule.minAgeDays >= 0)
        conditions.append(tr("added more than %n days ago", nullptr, rule.minAgeDays));
    return conditions.isEmpty() ? subject : subject + u' ' + conditions.join(QStringLiteral(", "));
}

QString RuleDescription::text(const SortRule& rule) {
    if (!rule.unreadable.isEmpty())
        return tr("Ignored: it has values Vantor can't read");
    if (!rule.takesFiles())
        return tr("No file types or conditions yet: takes no files");
    return rule.action == SortRule::Action::Trash
               ? tr("%1 → Trash").arg(conditionsText(rule))
               : tr("%1 → %2").arg(conditionsText(rule), rule.destination);
}

QString RuleDescription::unreadableText(const SortRule& rule) {
    QStringList values;
    for (auto it = rule.unreadable.begin(); it != rule.unreadable.end(); ++it) {
        const QByteArray array =
            QJsonDocument(QJsonArray{it.value()}).toJson(QJsonDocument::Compact);
        values.append(it.key() + QStringLiteral(": ") +
                      QString::fromUtf8(array.mid(1, array.size() - 2)));
    }
    return tr("This rule moves nothing: rules.json gives it values Vantor can't read (%1). "
              "They are kept as written; correct them in the file.")
        .arg(values.join(QStringLiteral(", ")));
}
