// The About window: its layout, its keys, its modality and its lifetime; the
// document Help, Contents opens.
#include <QtTest>
#include <QtWidgets>

#include "about/frm_about.h"
#include "about/help_contents.h"
#include "about/help_menu.h"
#include "doubles/about_fakes.h"
#include "doubles/scripted_ui.h"
#include "ui/mime_associations.h"

using doze::frmAbout;
using doze::testing::ScriptedStore;
using doze::testing::ScriptedUi;

class TestFrmAbout : public QObject {
    Q_OBJECT
  private slots:
    // Every caption shows whole in its box, and the window keeps its look:
    // light orange, the separator engraved (grey over white).
    void captions_and_look() {
        frmAbout about;
        about.show();
        QVERIFY(about.minimumSize() == about.maximumSize() && !about.windowIcon().isNull());
        for (QLabel* label : about.findChildren<QLabel*>()) {
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, label->text());
            QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height() + 2,
                     qPrintable(label->text()));
        }
        for (QPushButton* button : about.findChildren<QPushButton*>()) {
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
        }
        QCOMPARE((QStringList{about.windowTitle(), about.lblTitle->text(),
                              about.cmdSysInfo->text()}),
                 (QStringList{"About Dozedozovo", "Vovezaduvu's Dozedozovo", "&System Info..."}));
        const QImage image = about.grab().toImage();
        QCOMPARE(image.pixelColor(20, 120), QColor(255, 192, 128));
        QCOMPARE((QList<QColor>{image.pixelColor(100, 163), image.pixelColor(100, 164),
                                image.pixelColor(100, 165)}),
                 (QList<QColor>{QColor(128, 128, 128), Qt::white, Qt::white}));
    }

    // OK is the default and Esc's button; Enter on a focused "&System Info..." presses it.
    void keys_data() {
        QTest::addColumn<bool>("onSysInfo");  // focus moved to "&System Info..." by Tab
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << false << Qt::Key_Return << true;
        QTest::newRow("Esc") << false << Qt::Key_Escape << true;
        QTest::newRow("Enter on System Info") << true << Qt::Key_Return << false;
    }
    void keys() {
        QFETCH(bool, onSysInfo);
        QFETCH(Qt::Key, key);
        QFETCH(bool, closes);
        ScriptedUi ui;
        ScriptedStore store;  // nothing to find: System Info tells so
        frmAbout about(nullptr, &store);
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        if (onSysInfo) QTest::keyClick(about.cmdOK, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), onSysInfo ? about.cmdSysInfo : about.cmdOK);
        QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(ui.messages.size(), closes ? 0 : 1);
        QCOMPARE(about.isVisible(), !closes);
    }

    // Help, About...: modal over the whole program, returning when closed, the
    // window then destroyed; a fresh window each time.
    void modal_and_fresh() {
        QWidget owner;
        QStringList seen;  // "<modality> <lblTitle>" of each showing
        QList<QPointer<frmAbout>> shown;
        for (int i = 1; i <= 2; ++i) {
            QTimer::singleShot(0, [&] {
                auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                if (!about) return;
                seen << QString::number(about->windowModality()) + ' ' + about->lblTitle->text();
                shown << about;
                about->lblTitle->setText("changed");
                about->cmdOK->click();
            });
            doze::ShowAboutWindow(&owner);
            QCOMPARE(seen.size(), i);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(shown.last().isNull());
        }
        QCOMPARE(seen, QStringList(2, "2 Vovezaduvu's Dozedozovo"));  // 2: application modal
    }

    // Help, Contents with the program in <prefix>/lib/dozedozovo: mp3.chm where
    // the desktop has a CHM viewer, else the HTML pages, beside the program
    // first, then in the installed documentation; mp3.chm when there are none.
    void help_contents_data() {
        QTest::addColumn<QString>("viewerOf");  // the CHM type a viewer is registered for
        QTest::addColumn<QString>("pages");     // folders below the prefix with index.html
        QTest::addColumn<QString>("opened");
        const QString chm = "lib/dozedozovo/mp3.chm", beside = "lib/dozedozovo/help",
                      doc = "share/doc/dozedozovo/help";
        QTest::newRow("CHM viewer") << "application/vnd.ms-htmlhelp" << doc << chm;
        QTest::newRow("viewer of the alias") << "application/x-chm" << doc << chm;
        QTest::newRow("pages beside") << "" << beside + ' ' + doc << beside + "/index.html";
        QTest::newRow("installed pages") << "" << doc << doc + "/index.html";
        QTest::newRow("no pages") << QString() << QString() << chm;
    }
    void help_contents() {
        QFETCH(QString, viewerOf);
        QFETCH(QString, pages);
        QFETCH(QString, opened);
        QTemporaryDir prefix;
        const QString program = prefix.filePath("lib/dozedozovo");
        for (const QString& folder : pages.split(' ', Qt::SkipEmptyParts)) {
            QVERIFY(QDir().mkpath(prefix.filePath(folder)) &&
                    QFile(prefix.filePath(folder + "/index.html")).open(QFile::WriteOnly));
        }
        ScriptedUi ui;
        ui.viewerTypes = QStringList{viewerOf};
        doze::MenuContents_Click(nullptr, program);
        QCOMPARE(ui.documents.size(), 1);
        QCOMPARE((QStringList{ui.documents[0].path, ui.documents[0].workingFolder}),
                 (QStringList{prefix.filePath(opened), program}));
    }

    // A CHM viewer as the desktop's associations register it, from the user's
    // mimeapps.list and two copies of xchm.desktop, the user's and the system's.
    void chm_viewer_registered_data() {
        QTest::addColumn<QStringList>("files");  // mimeapps.list, user's, system's
        QTest::addColumn<bool>("registered");
        const QString type = "application/vnd.ms-htmlhelp", chm = "MimeType=" + type + ';';
        const QString list = "[%1]\n" + type + "=xchm.desktop";
        QTest::newRow("its .desktop file") << QStringList{"", "", chm} << true;
        QTest::newRow("a default")
            << QStringList{list.arg("Default Applications"), "", "Name=x"} << true;
        QTest::newRow("removed") << QStringList{list.arg("Removed Associations"), "", chm} << false;
        QTest::newRow("hidden by the user") << QStringList{"", chm + "\nHidden=true", chm} << false;
        QTest::newRow("other types only") << QStringList{"", "", "MimeType=text/html;"} << false;
    }
    void chm_viewer_registered() {
        QFETCH(QStringList, files);
        QFETCH(bool, registered);
        QTemporaryDir root;
        const QStringList paths{"config/mimeapps.list", "home/applications/xchm.desktop",
                                "data/applications/xchm.desktop"};
        for (int i = 0; i < 3; ++i) {
            QFile file(root.filePath(paths[i]));
            if (files[i].isEmpty()) continue;
            QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QFile::WriteOnly));
            file.write(((i > 0 ? "[Desktop Entry]\n" : "") + files[i]).toUtf8());
        }
        const doze::AssociationFolders folders{{root.filePath("config")},
                                               {root.filePath("home"), root.filePath("data")}};
        QCOMPARE(doze::HasRegisteredApplication("application/vnd.ms-htmlhelp", folders),
                 registered);
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frm_about.moc"
