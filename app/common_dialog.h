// SPDX-License-Identifier: MIT
#pragma once
#include <QString>
#include <string>

class QWidget;

namespace doze {

// The main window's Save-As dialog component `CD`: a few properties and one
// operation over the desktop's Save dialog (doze::Ui().ShowSaveDialog). The
// file name stays from one showing to the next.
class CommonDialog {
  public:
    QString DialogTitle;
    QString Filter;  // "Description|pattern"
    QString FileName;

    // Shows the Save dialog modally over `owner`, offering FileName. On
    // acceptance FileName is the full path accepted, and true is returned;
    // on Cancel FileName is kept, and false is returned.
    bool ShowSave(QWidget* owner);

    // FileName as the byte-string path the file system uses.
    std::string FileNamePath() const;
};

}  // namespace doze
