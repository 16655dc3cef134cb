// The drive list: the places of the mount table and the one selected at start.
#include <QtTest>

#include "app/drive_list.h"

using doze::DriveList;

class TestDriveList : public QObject {
    Q_OBJECT
  private slots:
    // The places of whole mount tables: "/", disks, USB sticks and network
    // shares; no snap or other loop image, automount point or mount in the
    // system's own folders. A point mounted twice shows the later mount.
    void offers_the_places_data() {
        QTest::addColumn<QString>("mountinfo");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("Ubuntu desktop with snaps") << QString(R"(
22 29 0:21 / /sys rw,nosuid shared:7 - sysfs sysfs rw
23 29 0:22 / /proc rw,nosuid shared:13 - proc proc rw
24 29 0:5 / /dev rw,nosuid shared:2 - devtmpfs udev rw,mode=755
26 29 0:24 / /run rw,nosuid shared:5 - tmpfs tmpfs rw,mode=755
29 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw,errors=remount-ro
31 22 0:27 / /sys/fs/cgroup rw,nosuid shared:9 - cgroup2 cgroup2 rw
45 23 0:38 / /proc/sys/fs/binfmt_misc rw,relatime shared:25 - autofs systemd-1 rw,fd=29,direct
70 29 7:0 / /snap/core22/1380 ro,nodev,relatime shared:36 - squashfs /dev/loop0 ro
72 29 7:2 / /snap/firefox/4173 ro,nodev,relatime shared:38 - squashfs /dev/loop2 ro
99 29 259:3 / /home rw,relatime shared:61 - ext4 /dev/nvme0n1p3 rw
101 29 259:1 / /boot/efi rw,relatime shared:63 - vfat /dev/nvme0n1p1 rw,fmask=0077
540 26 0:60 / /run/credentials/systemd-resolved.service ro,nosuid shared:287 - ramfs ramfs rw
1201 26 0:67 / /run/user/1000 rw,nosuid shared:640 - tmpfs tmpfs rw,mode=700,uid=1000
1250 1201 0:68 / /run/user/1000/doc rw,nosuid shared:660 - fuse.portal portal rw,user_id=1000
1300 1201 0:69 / /run/user/1000/gvfs rw,nosuid shared:680 - fuse.gvfsd-fuse gvfsd-fuse rw
)") << QStringList{"/", "/home"};
        QTest::newRow("Debian desktop with a USB stick") << QString(R"(
21 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro
25 21 0:23 / /dev/shm rw,nosuid,nodev shared:3 - tmpfs tmpfs rw
40 21 0:35 / /tmp rw,nosuid,nodev shared:20 - tmpfs tmpfs rw
60 21 253:0 / /mnt/backup rw,relatime shared:30 - ext4 /dev/mapper/backup rw
810 21 8:17 / /media/anna/USB\040STICK rw,nosuid,nodev,relatime shared:400 - vfat /dev/sdb1 rw,uid=1000
820 26 8:33 / /run/media/anna/DATA rw,nosuid,nodev shared:410 - exfat /dev/sdc1 rw,uid=1000
830 21 7:3 / /media/anna/Debian\04012 ro,nosuid,nodev shared:420 - iso9660 /dev/loop3 ro
)") << QStringList{"/", "/media/anna/USB STICK [USB STICK]", "/mnt/backup", "/run/media/anna/DATA"};
        QTest::newRow("NAS shares") << QString(R"(
21 1 0:30 /@ / rw,relatime shared:1 - btrfs /dev/sda2 rw,subvol=/@
22 21 0:30 /@home /home rw,relatime shared:2 - btrfs /dev/sda2 rw,subvol=/@home
50 21 0:40 / /net rw,relatime shared:30 - autofs -hosts rw,fd=7,indirect
51 21 0:41 / /mnt/music rw,relatime shared:31 - autofs systemd-1 rw,fd=40,direct
52 21 0:42 / /mnt/photos rw,relatime shared:32 - autofs systemd-1 rw,fd=41,direct
90 51 0:55 / /mnt/music rw,relatime shared:50 - nfs4 nas:/volume1/music rw,vers=4.2
91 21 0:56 / /media/share rw,relatime shared:51 - cifs //nas/share rw,vers=3.1.1
92 22 0:57 / /home/anna/remote rw,nosuid shared:52 - fuse.sshfs anna@nas: rw,user_id=1000
)") << QStringList{"/", "/home", "/home/anna/remote", "/media/share", "/mnt/music"};
    }
    void offers_the_places() {
        QFETCH(QString, mountinfo);
        QFETCH(QStringList, offered);
        const auto labels = [](const std::string& source) {
            return source == "/dev/sdb1" ? QStringLiteral("USB STICK") : QString();
        };
        DriveList list;
        list.Fill(doze::ParseVolumes(mountinfo.toStdString(), labels), "/");
        QStringList shown;
        for (int i = 0; i < list.count(); ++i) shown << list.itemText(i);
        QCOMPARE(shown, offered);
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
