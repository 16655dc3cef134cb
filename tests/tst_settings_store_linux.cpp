// The read-only stand-in for the settings store on Linux.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "about/key_value.h"
#include "about/settings_store_linux.h"

namespace {
const QString kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

// Makes `dir`/`name`, executable or not.
void MakeFile(const QTemporaryDir& dir, const QString& name, bool executable = true) {
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                        (executable ? QFile::ExeOwner : QFile::Permissions()));
}
}  // namespace

class TestSettingsStoreLinux : public QObject {
    Q_OBJECT
  private slots:
    // Look-up 1 names the first of the tools, in their order, found on the path.
    void findsTheFirstTool_data() {
        QTest::addColumn<QStringList>("first");   // in the first path folder; "-x": not executable
        QTest::addColumn<QStringList>("second");  // in the second
        QTest::addColumn<QString>("expected");    // "1/name", "2/name" or "" (miss)
        QTest::newRow("hardinfo2") << QStringList{"hardinfo2"} << QStringList{} << "1/hardinfo2";
        QTest::newRow("tool order first")
            << QStringList{"kinfocenter"} << QStringList{"hardinfo"} << "2/hardinfo";
        QTest::newRow("hardinfo2 before hardinfo")
            << QStringList{"hardinfo"} << QStringList{"hardinfo2"} << "2/hardinfo2";
        QTest::newRow("then path order")
            << QStringList{"hardinfo"} << QStringList{"hardinfo"} << "1/hardinfo";
        QTest::newRow("cannot run")
            << QStringList{"hardinfo2-x"} << QStringList{"kinfocenter"} << "2/kinfocenter";
        QTest::newRow("none") << QStringList{"msinfo32"} << QStringList{} << "";
    }
    void findsTheFirstTool() {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QString, expected);
        QTemporaryDir one, two;
        for (const QString& n : first) MakeFile(one, n.section("-x", 0, 0), !n.endsWith("-x"));
        for (const QString& n : second) MakeFile(two, n);
        doze::StandInSettingsStore store({one.path(), two.path()});
        QString value;
        const bool found =
            doze::GetKeyValue(store, doze::kHkeyLocalMachine, kMsinfoKey, "PATH", value);
        QCOMPARE(found, !expected.isEmpty());
        if (found) {
            QCOMPARE(value, (expected[0] == '1' ? one : two).filePath(expected.mid(2)));
        }
    }

    // A text value with its NUL; everything else misses; PATH is the default.
    void answersLikeTheRegistry() {
        QTemporaryDir dir;
        MakeFile(dir, "hardinfo");
        const QByteArray saved = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()));
        doze::StandInSettingsStore store;
        doze::StoreKey key = 0;
        QVERIFY(store.OpenKey(doze::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                              0, doze::kKeyRead, key) != 0);
        QVERIFY(store.OpenKey(0x80000001u, kMsinfoKey.toLatin1(), 0, doze::kKeyRead, key) != 0);
        QCOMPARE(
            store.OpenKey(doze::kHkeyLocalMachine, kMsinfoKey.toLatin1(), 0, doze::kKeyRead, key),
            0L);
        char data[1024];
        std::uint32_t type = 0, size = sizeof data;
        QVERIFY(store.QueryValue(key, "MSINFO", type, data, size) != 0);
        QCOMPARE(store.QueryValue(key, "PATH", type, data, size), 0L);
        QCOMPARE(type, doze::kTypeText);
        QCOMPARE(QByteArray(data, size), QFile::encodeName(dir.filePath("hardinfo")) + '\0');
        std::uint32_t small = 4;
        QVERIFY(store.QueryValue(key, "PATH", type, data, small) != 0);  // no room
        QCOMPARE(small, size);
        store.CloseKey(key);
        qputenv("PATH", saved);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStoreLinux)
#include "tst_settings_store_linux.moc"
