// SPDX-License-Identifier: MIT
// The drive list (the places of the mount table and the one selected at
// start) and the folder list (its lines, and how a folder is opened).
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <QtWidgets>
#include <cerrno>

#include "app/drive_list.h"
#include "app/folder_list.h"
#include "doubles/scripted_ui.h"
#include "search/errors.h"
#include "test_support/child.h"

using doze::DriveList;
using doze::FolderList;
namespace test = doze::test;

// Runs `body` in a forked child; returns what it said went wrong (empty:
// nothing), or how the child ended when it could not say.
QString InChildSaying(const std::function<QString()>& body) {
    QTemporaryFile said;
    if (!said.open()) return "no file for the child's answer";
    const int status = test::InChild([&] {
        const QByteArray text = body().toUtf8();
        return said.write(text) == text.size() && said.flush() ? 0 : 1;
    });
    said.seek(0);
    const QString text = QString::fromUtf8(said.readAll());
    return status == 0 ? text : QString("the child ended with %1 %2").arg(status).arg(text);
}

constexpr const char* kLong = "With a name far too long for the folder list";  // to be cut

class TestLists : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir tree_;
    std::string music_;

  private slots:
    // The places of whole mount tables: "/", disks, USB sticks, the user's
    // disk images and network shares; no snap or other loop image, automount
    // point, bind mount of a folder offered or mount in the system's own
    // folders. A point mounted twice shows the later mount. At start, without
    // a word, the one holding the current folder: the deepest mount above it.
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
        QTest::newRow("Debian desktop with a USB stick")
            << QString(R"(
21 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro
60 21 253:0 / /mnt/backup rw,relatime shared:30 - ext4 /dev/mapper/backup rw
810 21 8:17 / /media/anna/USB\040STICK rw,nosuid shared:400 - vfat /dev/sdb1 rw,uid=1000
820 26 8:33 / /run/media/anna/DATA rw,nosuid shared:410 - exfat /dev/sdc1 rw,uid=1000
830 21 7:3 / /media/anna/Debian\04012 ro,nosuid shared:420 - iso9660 /dev/loop3 ro
831 21 7:4 / /media/ben/Old ro,nosuid shared:421 - iso9660 /dev/loop4 ro
840 21 8:1 /home/anna/music /srv/music rw shared:1 - ext4 /dev/sda1 rw
841 21 8:17 / /mnt/stick rw,nosuid shared:400 - vfat /dev/sdb1 rw,uid=1000
)")
            << QStringList{"/", "/media/anna/Debian 12", "/media/anna/USB STICK [USB STICK]",
                           "/mnt/backup", "/run/media/anna/DATA"}
            << "/media/anna/USB STICK/x" << 2;
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
        list.Fill(doze::ParseVolumes(mountinfo.toStdString(), labels, "anna"),
                  current.toStdString());
        QStringList shown;
        for (int i = 0; i < list.count(); ++i) shown << list.itemText(i);
        QCOMPARE(shown, offered);
        QCOMPARE(list.currentIndex(), selected);
        QCOMPARE(changes.count(), 0);
    }

    void initTestCase() {
        QVERIFY(tree_.isValid());
        QVERIFY(::chmod(QFile::encodeName(tree_.path()).constData(), 0755) == 0);
        QDir root(tree_.path());
        for (const char* folder : {"gamma/inner", "Alpha", "beta", "Disc 10", "Disc 2", kLong})
            QVERIFY(root.mkpath(QStringLiteral("music/") + folder));
        QVERIFY(QFile(root.filePath("music/song.mp3")).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(root.filePath("music/Alpha"), root.filePath("music/zlink")));
        music_ = QFile::encodeName(root.filePath("music")).toStdString();
    }

    // Ancestors from "/" down, one step further in each, then the subfolders
    // in natural order (the file left out, the link to a folder kept); a
    // name cut short, and only that one, shows whole in a tooltip.
    void lines_show_ancestors_then_subfolders() {
        FolderList list;
        list.ShowFolder(music_);
        list.setGeometry(0, 0, 161, 186);
        list.show();
        QStringList tips;  // of the line before the long name's, and of that one
        for (int row : {list.count() - 3, list.count() - 2}) {
            const QPoint at = list.visualItemRect(list.item(row)).center();
            QHelpEvent tip(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(list.viewport(), &tip);
            tips << (QToolTip::isVisible() ? QToolTip::text() : "");
        }
        QCOMPARE(tips, (QStringList{"", kLong}));
        QStringList lines;  // "<indent><o|c> <text>", o for an open (ancestor) folder
        for (int row = 0; row < list.count(); ++row) {
            const QListWidgetItem* line = list.item(row);
            lines << QString(line->data(FolderList::kLevelRole).toInt(), ' ') +
                         (line->data(FolderList::kOpenRole).toBool() ? "o " : "c ") + line->text();
        }
        const int open = static_cast<int>(std::count(music_.begin(), music_.end(), '/')) + 1;
        QCOMPARE(lines.first(), QStringLiteral("o /"));
        QStringList expected{QString(open - 1, ' ') + "o music"};
        for (const char* name : {"Alpha", "beta", "Disc 2", "Disc 10", "gamma", kLong, "zlink"}) {
            expected << QString(open, ' ') + "c " + name;
        }
        QCOMPARE(lines.mid(open - 1), expected);
        QCOMPARE(list.currentRow(), open - 1);
    }

    // Enter opens the highlighted line, with the busy pointer while it is
    // read, also a folder whose name is not valid UTF-8, and goes no further
    // (to the window's default button). A folder
    // that cannot be listed (by an ordinary user) is not opened: a "Warning"
    // (48) names it and the cause; the path and the highlight stay. (Clicks:
    // tst_frm_main.)
    void enter_opens_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("error");  // 0: it opens
        QTest::newRow("name not UTF-8") << QByteArray("caf\xe9") << 0;
        QTest::newRow("no permission") << QByteArray("locked") << EACCES;
        QTest::newRow("removed since shown") << QByteArray("gone") << ENOENT;
    }
    void enter_opens() {
        QFETCH(QByteArray, name);
        QFETCH(int, error);
        const std::string folder = music_ + '/' + name.toStdString();
        QVERIFY(::mkdir(folder.c_str(), 0755) == 0);
        const QString wrong = InChildSaying([&]() -> QString {
            doze::testing::ScriptedUi ui;
            FolderList list;
            list.ShowFolder(music_);
            const int shown = list.currentRow();
            for (int row = 0; row < list.count(); ++row) {
                if (list.LinePath(row) == folder) list.setCurrentRow(row);
            }
            if (error == ENOENT && ::rmdir(folder.c_str()) != 0) return "folder not removed";
            if (error == EACCES && (::chmod(folder.c_str(), 0) != 0 || !test::DropToOrdinaryUser()))
                return "skip";
            QSignalSpy changes(&list, &FolderList::Change);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(&list, &enter);
            QStringList faults;
            if (ui.pointerChanges != QList<bool>{true, false}) faults << "not busy while read";
            if (!enter.isAccepted()) faults << "Enter went on to the window";
            if (error == 0 && (list.Path() != folder || changes.count() != 1))
                faults << "not opened";
            const QString told = ui.messages.join(" | ");
            const QString cause = QString::fromLocal8Bit(doze::SystemErrorText(error));
            if (error != 0 &&
                (ui.messages.size() != 1 || !told.startsWith("Warning 48: ") ||
                 !told.contains(cause) || !told.contains(QString::fromStdString(folder))))
                faults << "told: " + told;
            if (error != 0 &&
                (list.Path() != music_ || list.currentRow() != shown || changes.size()))
                faults << "the list moved";
            return faults.join("; ");
        });
        ::chmod(folder.c_str(), 0755);
        ::rmdir(folder.c_str());
        if (wrong == "skip") QSKIP("cannot give up root's rights here");
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

QTEST_MAIN(TestLists)
#include "tst_lists.moc"
