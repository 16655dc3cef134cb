// The drive list: the volumes of the mount table and the one selected at start.
#include <QtTest>

#include "app/drive_list.h"

using doze::DriveList;

class TestDriveList : public QObject {
    Q_OBJECT
  private slots:
    // Pseudo file systems left out, "/" first, a point mounted twice offered
    // once (the later mount), a label in brackets.
    void offers_the_storage_volumes() {
        const auto line = [](const char* point, const char* type, const char* source) {
            return QStringLiteral("21 1 8:1 / %1 rw,relatime shared:1 - %2 %3 rw\n")
                .arg(point, type, source)
                .toStdString();
        };
        const std::string table = line("/srv", "ext4", "/dev/sdb1") +
                                  line("/", "ext4", "/dev/sda1") + line("/proc", "proc", "proc") +
                                  line("/srv", "ext4", "/dev/sdb2");
        const auto labels = [](const std::string& source) {
            return source == "/dev/sdb2" ? QStringLiteral("MUSIC") : QString();
        };
        DriveList list;
        list.Fill(doze::ParseVolumes(table, labels), "/");
        QCOMPARE(list.count(), 2);
        QCOMPARE((QStringList{list.itemText(0), list.itemText(1)}),
                 (QStringList{"/", "/srv [MUSIC]"}));
    }

    // At start the volume holding the current folder: the deepest mount above it.
    void selects_the_volume_holding_the_folder_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("index");
        QTest::newRow("below a mount") << "/home/anna/Music" << 1;
        QTest::newRow("name only starting like one") << "/homework" << 0;
        QTest::newRow("nested mount") << "/home/anna/usb/x" << 2;
    }
    void selects_the_volume_holding_the_folder() {
        QFETCH(QString, current);
        QFETCH(int, index);
        DriveList list;
        QSignalSpy changes(&list, &DriveList::Change);
        list.Fill({{"/", "", {}}, {"/home", "", {}}, {"/home/anna/usb", "", {}}},
                  current.toStdString());
        QCOMPARE(list.currentIndex(), index);
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(TestDriveList)
#include "tst_drive_list.moc"
