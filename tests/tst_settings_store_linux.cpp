// The read-only stand-in for the settings store on Linux.
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "about/settings_store_linux.h"

class TestSettingsStoreLinux : public QObject {
    Q_OBJECT
  private slots:
    // Look-up 1 answers, as a text value with its NUL, the first of the tools
    // in their order, then in the order of the folders on PATH, that can run.
    // Look-up 2 misses.
    void answers_the_first_tool_data() {
        QTest::addColumn<QStringList>("files");  // "<folder 1|2>/<name>"; "-x": cannot run
        QTest::addColumn<QString>("expected");   // one of them, or "" (miss)
        QTest::newRow("hardinfo2") << QStringList{"1/hardinfo2"} << "1/hardinfo2";
        QTest::newRow("tool order first")
            << QStringList{"1/kinfocenter", "1/hardinfo", "2/hardinfo2"} << "2/hardinfo2";
        QTest::newRow("then path order") << QStringList{"1/hardinfo", "2/hardinfo"} << "1/hardinfo";
        QTest::newRow("cannot run")
            << QStringList{"1/hardinfo2-x", "2/kinfocenter"} << "2/kinfocenter";
        QTest::newRow("none") << QStringList{"1/msinfo32"} << "";
    }
    void answers_the_first_tool() {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir one, two;
        const auto path = [&](const QString& file) {
            return (file[0] == '1' ? one : two).filePath(file.mid(2).section("-x", 0, 0));
        };
        for (const QString& name : files) {
            QFile file(path(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                (name.endsWith("-x") ? QFile::Permissions() : QFile::ExeOwner));
        }
        const QByteArray saved = qgetenv("PATH");
        const auto restore = qScopeGuard([&saved] { qputenv("PATH", saved); });
        qputenv("PATH", QFile::encodeName(one.path() + ':' + two.path()));
        doze::StandInSettingsStore store;
        doze::StoreKey key = 0;
        QVERIFY(store.OpenKey(doze::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                              0, doze::kKeyRead, key) != 0);
        QCOMPARE(store.OpenKey(doze::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                               0, doze::kKeyRead, key),
                 0L);
        char data[1024];
        std::uint32_t type = 0, size = sizeof data;
        const long result = store.QueryValue(key, "PATH", type, data, size);
        store.CloseKey(key);
        QCOMPARE(result == 0, !expected.isEmpty());
        if (result != 0) return;
        QCOMPARE(type, doze::kTypeText);
        QCOMPARE(QByteArray(data, size), QFile::encodeName(path(expected)) + '\0');
    }
};

QTEST_GUILESS_MAIN(TestSettingsStoreLinux)
#include "tst_settings_store_linux.moc"
