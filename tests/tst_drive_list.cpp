// The drive list: its entries, the selection, and when it reports a change.
#include <QtTest>

#include "app/drive_list.h"

using doze::DriveList;
using doze::Volume;

class TestDriveList : public QObject {
    Q_OBJECT
  private:
    const std::vector<Volume> volumes_{
        {"/", "/dev/sda1", {}}, {"/home", "/dev/sda2", "HOME"}, {"/media/usb", "/dev/sdc1", "MP3"}};

  private slots:
    void fill_selects_volume_of_current_folder_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("index");
        QTest::newRow("below /home") << "/home/anna/Music" << 1;
        QTest::newRow("on the stick") << "/media/usb" << 2;
        QTest::newRow("elsewhere") << "/usr/share" << 0;
    }
    void fill_selects_volume_of_current_folder() {
        QFETCH(QString, current);
        QFETCH(int, index);
        DriveList list;
        QSignalSpy changes(&list, &DriveList::Change);
        list.Fill(volumes_, current.toStdString());
        QCOMPARE(list.currentIndex(), index);
        QCOMPARE(list.SelectedRoot(), volumes_[index].root);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.itemText(0), QStringLiteral("/"));
        QCOMPARE(list.itemText(1), QStringLiteral("/home [HOME]"));
    }

    void choosing_another_reports_a_change() {
        DriveList list;
        list.Fill(volumes_, "/home/anna");
        list.show();
        QSignalSpy changes(&list, &DriveList::Change);
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.currentIndex(), 2);
        QCOMPARE(changes.count(), 1);
        list.setCurrentIndex(2);
        QCOMPARE(changes.count(), 1);
    }
};

QTEST_MAIN(TestDriveList)
#include "tst_drive_list.moc"
