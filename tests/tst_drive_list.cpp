// The drive list: the places of the mount table and the one selected at start.
#include <QtTest>

#include "app/drive_list.h"

using doze::DriveList;

class TestDriveList : public QObject {
    Q_OBJECT
  private slots:
    // The places of whole mount tables: "/", disks, USB sticks and network
    // shares; no snap or other loop image, automount point or mount in the
    // system's own folders. A point mounted twice shows the later mount. At
    // start, without a word, the one holding the current folder: the deepest
    // mount above it.
    void offers_the_places_data() {
        QTest::addColumn<QString>("mountinfo");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("selected");
        QTest::newRow("Ubuntu desktop with snaps") << QString(R"(
29 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw,errors=remount-ro
31 22 0:27 / /sys/fs/cgroup rw,nosuid shared:9 - cgroup2 cgroup2 rw
45 23 0:38 / /proc/sys/fs/binfmt_misc rw,relatime shared:25 - autofs systemd-1 rw,fd=29,direct
70 29 7:0 / /snap/firefox/4173 ro,nodev,relatime shared:36 - squashfs /dev/loop0 ro
99 29 259:3 / /home rw,relatime shared:61 - ext4 /dev/nvme0n1p3 rw
101 29 259:1 / /boot/efi rw,relatime shared:63 - vfat /dev/nvme0n1p1 rw,fmask=0077
540 26 0:60 / /run/credentials/systemd-resolved.service ro shared:287 - ramfs ramfs rw
1300 1201 0:69 / /run/user/1000/gvfs rw,nosuid shared:680 - fuse.gvfsd-fuse gvfsd-fuse rw
)") << QStringList{"/", "/home"} << "/homework" << 0;
        QTest::newRow("Debian desktop with a USB stick") << QString(R"(
21 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro
60 21 253:0 / /mnt/backup rw,relatime shared:30 - ext4 /dev/mapper/backup rw
810 21 8:17 / /media/anna/USB\040STICK rw,nosuid shared:400 - vfat /dev/sdb1 rw,uid=1000
820 26 8:33 / /run/media/anna/DATA rw,nosuid shared:410 - exfat /dev/sdc1 rw,uid=1000
830 21 7:3 / /media/anna/Debian\04012 ro,nosuid shared:420 - iso9660 /dev/loop3 ro
)") << QStringList{"/", "/media/anna/USB STICK [USB STICK]", "/mnt/backup", "/run/media/anna/DATA"}
                                                         << "/media/anna/USB STICK/x" << 1;
        QTest::newRow("NAS shares") << QString(R"(
21 1 0:30 /@ / rw,relatime shared:1 - btrfs /dev/sda2 rw,subvol=/@
22 21 0:30 /@home /home rw,relatime shared:2 - btrfs /dev/sda2 rw,subvol=/@home
50 21 0:40 / /net rw,relatime shared:30 - autofs -hosts rw,fd=7,indirect
51 21 0:41 / /mnt/music rw,relatime shared:31 - autofs systemd-1 rw,fd=40,direct
90 51 0:55 / /mnt/music rw,relatime shared:50 - nfs4 nas:/volume1/music rw,vers=4.2
91 21 0:56 / /media/share rw,relatime shared:51 - cifs //nas/share rw,vers=3.1.1
92 22 0:57 / /home/anna/remote rw,nosuid shared:52 - fuse.sshfs anna@nas: rw,user_id=1000
)") << QStringList{"/", "/home", "/home/anna/remote", "/media/share", "/mnt/music"}
                                    << "/home/anna/remote/x" << 2;
    }
    void offers_the_places() {
        QFETCH(QString, mountinfo);
        QFETCH(QStringList, offered);
        QFETCH(QString, current);
        QFETCH(int, selected);
        const auto labels = [](const std::string& source) {
            return source == "/dev/sdb1" ? QStringLiteral("USB STICK") : QString();
        };
        DriveList list;
        QSignalSpy changes(&list, &DriveList::Change);
        list.Fill(doze::ParseVolumes(mountinfo.toStdString(), labels), current.toStdString());
        QStringList shown;
        for (int i = 0; i < list.count(); ++i) shown << list.itemText(i);
        QCOMPARE(shown, offered);
        QCOMPARE(list.currentIndex(), selected);
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(TestDriveList)
#include "tst_drive_list.moc"
