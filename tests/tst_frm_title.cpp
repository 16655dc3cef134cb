// The title window and its hand-over to the main window after 2000 ms.
#include <QtTest>

#include "app/frm_main.h"
#include "app/frm_title.h"

using doze::frmTitle;

class TestFrmTitle : public QObject {
    Q_OBJECT
  private slots:
    // Borderless, fixed, no taskbar entry (a splash window); the artwork fills it.
    void window_properties() {
        frmTitle window([] {});
        QCOMPARE(window.size(), QSize(341, 242));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(window.windowType(), Qt::SplashScreen);
        QVERIFY(window.windowIcon().cacheKey() == QApplication::windowIcon().cacheKey());
        QVERIFY(window.Timer1->isActive());
        QCOMPARE(window.Timer1->interval(), 2000);
        const QImage picture = window.grab().toImage();
        QCOMPARE(picture.size(), QSize(341, 242));
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 11) {
            for (int x = 0; x < picture.width(); x += 11) colours.insert(picture.pixel(x, y));
        }
        QVERIFY2(colours.size() > 10, "the picture is drawn, not a plain fill");
        const QColor corner = picture.pixelColor(0, 0);
        QVERIFY(corner != QColor(Qt::black) && corner != window.palette().color(QPalette::Window));
    }

    void hands_over_after_2000_ms() {
        int shown = 0;
        bool titleVisibleThen = true;
        qint64 after = 0;
        QElapsedTimer clock;
        QPointer<frmTitle> title;
        clock.start();
        title = doze::ShowTitleWindow([&] {
            ++shown;
            after = clock.elapsed();
            titleVisibleThen = title && title->isVisible();
        });
        QVERIFY(title->isVisible());
        QTest::qWait(1000);
        QCOMPARE(shown, 0);
        QTRY_COMPARE_WITH_TIMEOUT(shown, 1, 10000);
        QVERIFY2(after >= 1990, qPrintable(QString::number(after)));
        QVERIFY(!titleVisibleThen);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(title.isNull());
    }

    // Without a hand-over of its own the title window shows the main window,
    // in the current folder.
    void main_window_follows_in_the_current_folder() {
        QPointer<frmTitle> title = doze::ShowTitleWindow();
        const auto shownMain = [] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* m = qobject_cast<doze::frmMain*>(w); m && m->isVisible()) return m;
            }
            return static_cast<doze::frmMain*>(nullptr);
        };
        QTRY_VERIFY_WITH_TIMEOUT(shownMain(), 10000);
        doze::frmMain* main = shownMain();
        QCOMPARE(main->Search.SearchRoot, QFile::encodeName(QDir::currentPath()).toStdString());
        QCOMPARE(main->windowType(), Qt::Window);
        QVERIFY(!title || !title->isVisible());
        main->close();
    }
};

QTEST_MAIN(TestFrmTitle)
#include "tst_frm_title.moc"
