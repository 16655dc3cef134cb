#pragma once
#include <QComboBox>
#include <string>
#include <vector>

#include "app/volume_table.h"

namespace doze {

// The drive list `Drive1`: the mounted volumes, one selected. Choosing another
// one emits Change (`Drive1_Change`); filling and selecting from code do not.
class DriveList : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveList(QWidget* parent = nullptr);

    // Offers `volumes` and selects the one holding `currentPath`.
    void Fill(const std::vector<Volume>& volumes, const std::string& currentPath);

    // Root of the volume now selected; empty when there is none.
    std::string SelectedRoot() const;

  signals:
    void Change();

  private:
    std::vector<Volume> volumes_;
};

}  // namespace doze
