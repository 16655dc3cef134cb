// GetKeyValue: reading one value of the settings store by its rules.
#include <QTest>

#include "about/key_value.h"
#include "about/sys_info_failure.h"
#include "about/testing/fakes.h"

using doze::testing::ScriptedStore;

namespace {

// GetKeyValue on value "V" of "K" holding `value`; KeyVal is "kept" on entry.
bool Read(ScriptedStore::Value value, QString& keyVal) {
    ScriptedStore store;
    store.Set("K", "V", std::move(value));
    keyVal = QStringLiteral("kept");
    const bool found = doze::GetKeyValue(store, doze::kHkeyLocalMachine, "K", "V", keyVal);
    if (store.openKeys != 0) qFatal("key left open");
    return found;
}

}  // namespace

class TestKeyValue : public QObject {
    Q_OBJECT
  private slots:
    void readsByType_data() {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<qint64>("reportedSize");  // -1: the data's own
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("keyVal");
        const QByteArray path = "C:\\Windows\\msinfo32.exe";
        const QString text = QString::fromLatin1(path);
        QTest::newRow("text with NUL") << 1u << path + '\0' << -1LL << true << text;
        QTest::newRow("text without NUL") << 1u << path << -1LL << true << text;
        QTest::newRow("one NUL trimmed") << 1u << QByteArray("ab\0c\0\0", 6) << -1LL << true
                                         << QString::fromLatin1("ab\0c\0", 5);
        QTest::newRow("buffer starts all NUL")
            << 1u << QByteArray("abc") << 5LL << true << QString::fromLatin1("abc\0", 4);
        QTest::newRow("1024 bytes")
            << 1u << QByteArray(1024, 'a') << -1LL << true << QString(1024, 'a');
        QTest::newRow("1025 bytes") << 1u << QByteArray(1025, 'a') << -1LL << false << QString();
        QTest::newRow("size over buffer")
            << 1u << QByteArray("abc") << 4096LL << false << QString();
        QTest::newRow("number") << 4u << QByteArray::fromHex("78563412") << -1LL << true
                                << "305419896";
        QTest::newRow("number 0") << 4u << QByteArray::fromHex("00000000") << -1LL << true << "0";
        QTest::newRow("number max")
            << 4u << QByteArray::fromHex("ffffffff") << -1LL << true << "4294967295";
        QTest::newRow("type 2 keeps") << 2u << QByteArray("%x%\0", 4) << -1LL << true << "kept";
        QTest::newRow("type 3 keeps")
            << 3u << QByteArray::fromHex("0102") << -1LL << true << "kept";
    }
    void readsByType() {
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(qint64, reportedSize);
        QFETCH(bool, found);
        QFETCH(QString, keyVal);
        QString value;
        QCOMPARE(Read({type, data, reportedSize}, value), found);
        QCOMPARE(value, keyVal);
    }

    // No data, or a number over 32 bits, is a run-time failure for the caller.
    void failuresThrow() {
        QString value;
        QVERIFY_THROWS_EXCEPTION(doze::SysInfoFailure, Read({1, QByteArray()}, value));
        QVERIFY_THROWS_EXCEPTION(doze::SysInfoFailure,
                                 Read({4, QByteArray::fromHex("0102030405")}, value));
    }

    // A key or value that is not there is a plain false; the key opens read-only.
    void missingKeyOrValue() {
        ScriptedStore store;
        store.AddKey("K");
        QString value = QStringLiteral("kept");
        QVERIFY(!doze::GetKeyValue(store, doze::kHkeyLocalMachine, "K", "V", value));
        QVERIFY(value.isEmpty());
        value = QStringLiteral("kept");
        QVERIFY(!doze::GetKeyValue(store, doze::kHkeyLocalMachine, "L", "V", value));
        QVERIFY(value.isEmpty());
        QCOMPARE(store.opened, (QStringList{"K 0x20019", "L 0x20019"}));
        QCOMPARE(store.openKeys, 0);
    }
};

QTEST_GUILESS_MAIN(TestKeyValue)
#include "tst_key_value.moc"
