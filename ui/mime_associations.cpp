#include "ui/mime_associations.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

namespace doze {
namespace {

using KeyGroup = QHash<QString, QString>;

// The groups of a key file (mimeapps.list, a .desktop file); empty when it
// cannot be read.
QHash<QString, KeyGroup> ReadKeyFile(const QString& path) {
    QHash<QString, KeyGroup> groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return groups;
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            group = line.mid(1, line.size() - 2);
        } else if (const auto equals = line.indexOf('='); equals > 0 && !line.startsWith('#')) {
            groups[group].insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    return groups;
}

QStringList Items(const KeyGroup& group, const QString& key) {
    return group.value(key).split(';', Qt::SkipEmptyParts);
}

// Desktop file ID -> its [Desktop Entry] group, from the most important
// folder that has it. IDs of files in subfolders join the parts with "-".
QHash<QString, KeyGroup> ReadApplications(const QStringList& dataFolders) {
    QHash<QString, KeyGroup> applications;
    for (const QString& folder : dataFolders) {
        const QString root = folder + QStringLiteral("/applications/");
        QDirIterator files(root, {QStringLiteral("*.desktop")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString id = path.mid(root.size()).replace('/', '-');
            if (!applications.contains(id)) {
                applications.insert(id, ReadKeyFile(path).value(QStringLiteral("Desktop Entry")));
            }
        }
    }
    return applications;
}

}  // namespace

AssociationFolders DesktopAssociationFolders() {
    return {QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation),
            QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)};
}

bool HasRegisteredApplication(const QString& mimeType, const AssociationFolders& folders) {
    const QHash<QString, KeyGroup> applications = ReadApplications(folders.data);
    const auto installed = [&applications](const QString& id) {
        const auto found = applications.find(id);
        return found != applications.end() && found->value(QStringLiteral("Hidden")) != "true";
    };
    QStringList lists;
    for (const QString& folder : folders.config) lists << folder + "/mimeapps.list";
    for (const QString& folder : folders.data) lists << folder + "/applications/mimeapps.list";
    QSet<QString> removed;
    for (const QString& path : lists) {
        const auto list = ReadKeyFile(path);
        for (const char* group : {"Default Applications", "Added Associations"}) {
            for (const QString& id : Items(list.value(group), mimeType)) {
                if (!removed.contains(id) && installed(id)) return true;
            }
        }
        for (const QString& id : Items(list.value("Removed Associations"), mimeType)) {
            removed.insert(id);
        }
    }
    for (auto application = applications.cbegin(); application != applications.cend();
         ++application) {
        if (!removed.contains(application.key()) && installed(application.key()) &&
            Items(*application, QStringLiteral("MimeType")).contains(mimeType)) {
            return true;
        }
    }
    return false;
}

}  // namespace doze
