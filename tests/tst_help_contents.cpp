// Help, Contents: which document the desktop's opener is asked for, and how.
#include <QtTest>
#include <cstring>

#include "about/about_entry.h"
#include "about/help_contents.h"
#include "app/testing/scripted_ui.h"

using doze::testing::ScriptedUi;

class TestHelpContents : public QObject {
    Q_OBJECT
  private slots:
    // Each choice is a new request; a missing file shows nothing of ours.
    void asksTheOpenerEveryTime() {
        QTemporaryDir folder;  // holds no mp3.chm
        ScriptedUi ui;
        doze::MenuContents_Click(nullptr, folder.path());
        doze::MenuContents_Click(nullptr, folder.path());
        QCOMPARE(ui.documents.size(), 2);
        for (const auto& document : ui.documents) {
            QCOMPARE(document.path, folder.path() + "/mp3.chm");
            QCOMPARE(document.workingFolder, folder.path());
            QVERIFY(document.maximised);
        }
        QVERIFY(ui.messages.isEmpty());
    }

    // The program's own folder, also when it was started through a link.
    void usesTheRealProgramFolder() {
        ScriptedUi ui;
        doze::ShowHelpContents(nullptr);
        const QString expected = QCoreApplication::applicationDirPath() + "/mp3.chm";
        QCOMPARE(ui.documents.value(0).path, expected);
        QCOMPARE(ui.documents.value(0).workingFolder, QCoreApplication::applicationDirPath());

        QTemporaryDir links;
        QVERIFY(QFile::link(QCoreApplication::applicationFilePath(), links.filePath("doze")));
        QProcess child;
        child.start(links.filePath("doze"), {"--print-help-document"});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed(), expected);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--print-help-document") == 0) {
        ScriptedUi ui;  // child of the link test: print what would be opened
        doze::ShowHelpContents(nullptr);
        std::puts(qPrintable(ui.documents.value(0).path));
        return ui.documents.size() == 1 ? 0 : 1;
    }
    TestHelpContents test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_help_contents.moc"
