#pragma once
#include <QString>
#include <QStringList>

namespace doze {

// Where a desktop keeps its file associations, the most important folder first.
struct AssociationFolders {
    QStringList config;  // folders holding mimeapps.list: XDG_CONFIG_HOME, XDG_CONFIG_DIRS
    QStringList data;    // folders holding applications/: XDG_DATA_HOME, XDG_DATA_DIRS
};

// The folders of the running desktop session.
AssociationFolders DesktopAssociationFolders();

// True when an installed application is registered for files of `mimeType`
// under the freedesktop.org rules for MIME applications: a default or added
// association in a mimeapps.list, or the MimeType key of its .desktop file,
// unless a [Removed Associations] entry of an equally or more important list
// takes it away. A .desktop file hidden (Hidden=true) by a more important
// folder counts as not installed. Desktop-specific lists are not read.
bool HasRegisteredApplication(const QString& mimeType, const AssociationFolders& folders);

}  // namespace doze
