#include "app/drive_list.h"

#include <QSignalBlocker>

namespace doze {

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { emit Change(); });
}

void DriveList::Fill(const std::vector<Volume>& volumes, const std::string& currentPath) {
    const QSignalBlocker quiet(this);
    volumes_ = volumes;
    clear();
    for (const Volume& volume : volumes_) addItem(VolumeCaption(volume));
    setCurrentIndex(VolumeHolding(volumes_, currentPath));
}

std::string DriveList::SelectedRoot() const {
    const int index = currentIndex();
    return index >= 0 && index < static_cast<int>(volumes_.size()) ? volumes_[index].root
                                                                   : std::string();
}

}  // namespace doze
