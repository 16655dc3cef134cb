// SPDX-License-Identifier: MIT
#include "app/drive_list.h"

#include <QHelpEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolTip>

#include "app/search_thread.h"

namespace doze {

DriveList::DriveList(QWidget* parent) : QComboBox(parent), source_(LoadVolumes) {
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { emit Change(); });
}

void DriveList::Fill(const std::vector<Volume>& volumes, const std::string& currentPath) {
    const QSignalBlocker quiet(this);
    volumes_ = volumes;
    clear();
    for (const Volume& volume : volumes_) addItem(VolumeCaption(volume));
    SelectHolding(currentPath);
}

void DriveList::SelectHolding(const std::string& path) {
    const QSignalBlocker quiet(this);
    shownPath_ = path;
    setCurrentIndex(VolumeHolding(volumes_, path));
}

bool DriveList::Reload() {
    const std::string selected = SelectedRoot();
    std::vector<Volume> volumes;
    WaitOffWindowThread([&] { volumes = source_(); });
    Fill(volumes, shownPath_);
    for (std::size_t i = 0; i < volumes_.size(); ++i) {
        if (volumes_[i].root == selected) {
            const QSignalBlocker quiet(this);
            setCurrentIndex(static_cast<int>(i));
            return true;
        }
    }
    return false;
}

std::string DriveList::SelectedRoot() const {
    const int index = currentIndex();
    return index >= 0 && index < static_cast<int>(volumes_.size())
               ? volumes_[static_cast<std::size_t>(index)].root
               : std::string();
}

bool DriveList::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QComboBox::event(event);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (fontMetrics().horizontalAdvance(currentText()) > field.width()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), currentText(), this);
    } else {
        QToolTip::hideText();
    }
    return true;
}

void DriveList::showPopup() {
    Reload();
    QComboBox::showPopup();
}

}  // namespace doze
