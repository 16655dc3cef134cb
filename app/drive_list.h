// SPDX-License-Identifier: MIT
#pragma once
#include <QComboBox>
#include <string>
#include <vector>

#include "app/volume_table.h"

namespace doze {

// The drive list `Drive1`: the mounted volumes, one selected, read again each
// time the list opens. Choosing another one emits Change (`Drive1_Change`);
// filling and selecting from code do not. A caption cut short shows whole in
// a tooltip.
class DriveList : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveList(QWidget* parent = nullptr);

    // Where the volumes come from: at first LoadVolumes.
    void SetSource(VolumeSource source) { source_ = std::move(source); }

    // Offers `volumes` and selects the one holding `currentPath`.
    void Fill(const std::vector<Volume>& volumes, const std::string& currentPath);

    // Selects the volume holding `path`, the folder shown beside the list.
    void SelectHolding(const std::string& path);

    // Reads the volumes again, off the window thread, and offers them. True
    // when the one selected is still there and stays selected; false when it
    // is gone, and the one holding the folder shown is selected.
    bool Reload();

    // Root of the volume now selected; empty when there is none.
    std::string SelectedRoot() const;

    void showPopup() override;

  signals:
    void Change();

  protected:
    bool event(QEvent* event) override;

  private:
    std::vector<Volume> volumes_;
    VolumeSource source_;
    std::string shownPath_;
};

}  // namespace doze
