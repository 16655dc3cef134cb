// The volumes the drive list offers, read from mount-table text.
#include <QtTest>

#include "app/volume_table.h"

using doze::Volume;

namespace {

QString Line(const QString& point, const QString& type, const QString& source) {
    return QStringLiteral("21 1 8:1 / %1 rw,relatime shared:1 - %2 %3 rw\n")
        .arg(point, type, source);
}

QStringList Roots(const std::vector<Volume>& volumes) {
    QStringList roots;
    for (const Volume& volume : volumes) roots << QString::fromStdString(volume.root);
    return roots;
}

}  // namespace

class TestVolumeTable : public QObject {
    Q_OBJECT
  private slots:
    void parse_data() {
        QTest::addColumn<QString>("mountinfo");
        QTest::addColumn<QStringList>("roots");
        QTest::newRow("root first, rest in byte order")
            << Line("/srv", "ext4", "/dev/sdb1") + Line("/", "ext4", "/dev/sda1") +
                   Line("/home", "xfs", "/dev/sda2")
            << QStringList{"/", "/home", "/srv"};
        QTest::newRow("pseudo file systems left out")
            << Line("/", "ext4", "/dev/sda1") + Line("/proc", "proc", "proc") +
                   Line("/sys", "sysfs", "sysfs") + Line("/dev/pts", "devpts", "devpts") +
                   Line("/sys/fs/cgroup", "cgroup2", "cgroup2") + Line("/tmp", "tmpfs", "tmpfs")
            << QStringList{"/", "/tmp"};
        QTest::newRow("escaped blank in a mount point")
            << Line("/", "ext4", "/dev/sda1") + Line("/media/My\\040Music", "vfat", "/dev/sdc1")
            << QStringList{"/", "/media/My Music"};
        QTest::newRow("lines without the separator are skipped")
            << QStringLiteral("garbage line\n21 1 8:1 / /x rw\n") + Line("/", "ext4", "/dev/sda1")
            << QStringList{"/"};
        QTest::newRow("empty table") << QString() << QStringList{};
    }
    void parse() {
        QFETCH(QString, mountinfo);
        QFETCH(QStringList, roots);
        QCOMPARE(Roots(doze::ParseVolumes(mountinfo.toStdString(), {})), roots);
    }

    // A point mounted twice is offered once, as the later mount.
    void later_mount_wins_and_labels_come_from_the_lookup() {
        const QString table = Line("/", "ext4", "/dev/sda1") + Line("/mnt", "ext4", "/dev/sdb1") +
                              Line("/mnt", "ext4", "/dev/sdb2");
        const auto volumes = doze::ParseVolumes(table.toStdString(), [](const std::string& source) {
            return source == "/dev/sdb2" ? QStringLiteral("MUSIC") : QString();
        });
        QCOMPARE(Roots(volumes), (QStringList{"/", "/mnt"}));
        QCOMPARE(volumes[1].source, std::string("/dev/sdb2"));
        QCOMPARE(volumes[1].label, QStringLiteral("MUSIC"));
        QVERIFY(volumes[0].label.isEmpty());
        QCOMPARE(doze::VolumeCaption(volumes[1]), QStringLiteral("/mnt [MUSIC]"));
        QCOMPARE(doze::VolumeCaption(volumes[0]), QStringLiteral("/"));
    }

    void holding_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("index");
        QTest::newRow("deepest mount above") << "/home/anna/Music" << 1;
        QTest::newRow("the mount point itself") << "/home" << 1;
        QTest::newRow("a name that only starts like a mount") << "/homework" << 0;
        QTest::newRow("nested mount") << "/home/anna/usb/x" << 2;
        QTest::newRow("root") << "/" << 0;
        QTest::newRow("relative path has none") << "music" << -1;
    }
    void holding() {
        QFETCH(QString, path);
        QFETCH(int, index);
        const std::vector<Volume> volumes{
            {"/", "", {}}, {"/home", "", {}}, {"/home/anna/usb", "", {}}};
        QCOMPARE(doze::VolumeHolding(volumes, path.toStdString()), index);
    }

    void running_system_offers_root_first() {
        const auto volumes = doze::LoadVolumes();
        QVERIFY(!volumes.empty());
        QCOMPARE(volumes.front().root, std::string("/"));
        for (const Volume& volume : volumes) {
            const QFileInfo root(QString::fromStdString(volume.root));
            QVERIFY2(root.isDir() || !root.exists(), volume.root.c_str());
        }
    }
};

QTEST_MAIN(TestVolumeTable)
#include "tst_volume_table.moc"
