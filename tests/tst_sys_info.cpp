// The look-ups behind "System Info": GetKeyValue, the settings store on Linux,
// and StartSysInfo (the two look-ups in order, the file test, the start, the
// message).
#include <QtTest>

#include "about/key_value.h"
#include "about/settings_store_linux.h"
#include "about/sys_info.h"
#include "about/sys_info_failure.h"
#include "doubles/about_fakes.h"
#include "doubles/scripted_ui.h"

using doze::testing::ScriptedStore;
using doze::testing::ScriptedUi;

namespace {
const QByteArray kKey1 = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kKey2 = "SOFTWARE\\Microsoft\\Shared Tools Location";
}  // namespace

class TestSysInfo : public QObject {
    Q_OBJECT
  private slots:
    // GetKeyValue: the trimming, the buffer's edge, numbers.
    void reads_data() {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("keyVal");  // "<throws>": a failure for the caller
        QTest::newRow("only one NUL trimmed")
            << 1u << QByteArray("ab\0c\0\0", 6) << QString::fromLatin1("ab\0c\0", 5);
        QTest::newRow("1024 bytes fit") << 1u << QByteArray(1024, 'a') << QString(1024, 'a');
        QTest::newRow("number") << 4u << QByteArray::fromHex("78563412") << "305419896";
        QTest::newRow("number max") << 4u << QByteArray::fromHex("ffffffff") << "4294967295";
        QTest::newRow("number over 32 bits")
            << 4u << QByteArray::fromHex("0102030405") << "<throws>";
    }
    void reads() {
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, keyVal);
        ScriptedStore store;
        store.Set("K", "V", {type, data});
        QString value;
        const auto read = [&] {
            return doze::GetKeyValue(store, doze::kHkeyLocalMachine, "K", "V", value);
        };
        if (keyVal == "<throws>") {
            QVERIFY_THROWS_EXCEPTION(doze::SysInfoFailure, read());
        } else {
            QVERIFY(read());
            QCOMPARE(value, keyVal);
        }
        QCOMPARE(store.openKeys, 0);
    }

    // The read-only stand-in for the settings store on Linux. Look-up 1 answers, as a text value
    // with its NUL, the first of the tools in their order, then in the order of the folders on
    // PATH, that can run. Look-up 2 misses.
    void answers_the_first_tool_data() {
        QTest::addColumn<QStringList>("files");  // "<folder 1|2>/<name>"; "-x": cannot run
        QTest::addColumn<QString>("expected");   // one of them, or "" (miss)
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
        QVERIFY(store.OpenKey(doze::kHkeyLocalMachine, kKey2, 0, doze::kKeyRead, key) != 0);
        QCOMPARE(store.OpenKey(doze::kHkeyLocalMachine, kKey1, 0, doze::kKeyRead, key), 0L);
        char data[1024];
        std::uint32_t type = 0, size = sizeof data;
        const long result = store.QueryValue(key, "PATH", type, data, size);
        store.CloseKey(key);
        QCOMPARE(result == 0, !expected.isEmpty());
        if (result != 0) return;
        QCOMPARE(type, doze::kTypeText);
        QCOMPARE(QByteArray(data, size), QFile::encodeName(path(expected)) + '\0');
    }

    void starts_or_tells_data() {
        QTest::addColumn<int>("type1");        // type of "PATH"; 0: key without the value
        QTest::addColumn<QByteArray>("path");  // its data
        QTest::addColumn<QString>("folder");   // "MSINFO" names a folder holding "file",
                                               // "nothing"; "": no such value
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QString>("started");  // "<dir>" stands for the folder
        QTest::addColumn<int>("lookUps");      // keys opened
        const QByteArray data = "/no/such/msinfo32";
        const QString missing = QString::fromLatin1(data);
        // Look-up 1 wins, starts as read (no existence test), look-up 2 is not made.
        QTest::newRow("1 with NUL") << 1 << data + '\0' << "file" << true << missing << 1;
        QTest::newRow("1 start fails") << 1 << data << "file" << false << missing << 1;
        QTest::newRow("1 type 2: empty start") << 2 << data << "file" << true << "" << 1;
        QTest::newRow("1 no data") << 1 << QByteArray() << "file" << true << "" << 1;
        // Look-up 1 misses: look-up 2's folder must hold MSINFO32.EXE.
        QTest::newRow("2 file") << 0 << QByteArray() << "file" << true << "<dir>/MSINFO32.EXE" << 2;
        QTest::newRow("1 over 1024, 2 file")
            << 1 << QByteArray(1025, 'a') << "file" << true << "<dir>/MSINFO32.EXE" << 2;
        QTest::newRow("2 no file") << 0 << QByteArray() << "nothing" << true << "" << 2;
        QTest::newRow("both miss") << 0 << QByteArray() << "" << true << "" << 2;
    }
    void starts_or_tells() {
        QFETCH(int, type1);
        QFETCH(QByteArray, path);
        QFETCH(QString, folder);
        QFETCH(bool, startWorks);
        QFETCH(QString, started);
        QFETCH(int, lookUps);
        QTemporaryDir dir;
        if (folder == "file")
            QVERIFY(QFile(dir.filePath("MSINFO32.EXE")).open(QIODevice::WriteOnly));
        ScriptedStore store;
        store.AddKey(kKey1);
        if (type1 != 0) store.Set(kKey1, "PATH", {std::uint32_t(type1), path});
        if (!folder.isEmpty()) store.Set(kKey2, "MSINFO", {1, dir.path().toLocal8Bit() + '\0'});
        ScriptedUi ui;
        ui.startSucceeds = startWorks;
        QWidget owner;

        doze::StartSysInfo(&owner, store);

        QCOMPARE(ui.started, started.isEmpty() ? QStringList{}
                                               : QStringList{started.replace("<dir>", dir.path())});
        const QStringList order{kKey1 + " 0x20019", kKey2 + " 0x20019"};
        QCOMPARE(store.opened, order.mid(0, lookUps));
        QCOMPARE(store.openKeys, 0);
        // Every failure: one box, style 0, no title (the program's name shows).
        QStringList told;
        for (const auto& m : ui.messages)
            told << QStringLiteral("%1 %2 [%3]").arg(m.text).arg(m.style).arg(m.title);
        QCOMPARE(told, started.isEmpty() || !startWorks
                           ? QStringList{"System Information Is Unavailable At This Time 0 []"}
                           : QStringList{});
    }
};

QTEST_MAIN(TestSysInfo)
#include "tst_sys_info.moc"
