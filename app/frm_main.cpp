// SPDX-License-Identifier: MIT
#include "app/frm_main.h"

#include <unistd.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <cerrno>
#include <vector>

#include "about/help_menu.h"
#include "app/drive_list.h"
#include "search/errors.h"
#include "ui/platform_ui.h"
#include "ui/window_look.h"

namespace doze {
namespace {

template <typename Control>
Control* Place(QWidget* parent, const char* name, const QRect& where) {
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(where);
    return control;
}

}  // namespace

std::string CurrentFolder() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return "/";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

frmMain::frmMain(MainWindowServices services)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vovezaduvu's Dozedozovo"));
    setWindowIcon(ProgramIcon());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    QPalette orange = client->palette();
    orange.setColor(QPalette::Window, kLightOrange);
    client->setPalette(orange);
    client->setAutoFillBackground(true);
    client->setFixedSize(Twips(7575), Twips(5055));
    setCentralWidget(client);

    BuildControls(client);
    BuildMenus();
    WidenLabels();
    setFixedSize(Twips(7575), Twips(5055) + menuBar()->sizeHint().height());
    Form_Load();
}

void frmMain::BuildControls(QWidget* client) {
    Command1 = Place<QPushButton>(client, "Command1", TwipsRect(6000, 4320, 1215, 495));
    Command1->setText(QStringLiteral("Go"));
    Command1->setDefault(true);
    Frame1 = Place<QGroupBox>(client, "Frame1", TwipsRect(3360, 480, 3855, 3735));
    Frame1->setTitle(QStringLiteral("List Options"));
    Frame1->setAutoFillBackground(true);
    Option2 = Place<QRadioButton>(Frame1, "Option2", TwipsRect(480, 2760, 3015, 375));
    Option2->setText(QStringLiteral("Compile as HTML"));
    Option1 = Place<QRadioButton>(Frame1, "Option1", TwipsRect(480, 2280, 3015, 375));
    Option1->setText(QStringLiteral("Compile as text only"));
    Option1->setChecked(true);
    Label3 = Place<QLabel>(Frame1, "Label3", TwipsRect(480, 480, 3015, 1095));
    Label3->setText(QStringLiteral(
        "Choose a list generation option below.  By default, your list will be generated as "
        "plain text.  Choose compile as HTML to generate a list ready for the web."));
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Dir1 = Place<FolderList>(client, "Dir1", TwipsRect(360, 1440, 2415, 2790));
    Drive1 = Place<DriveList>(client, "Drive1", TwipsRect(360, 600, 2415, 315));
    Label2 = Place<QLabel>(client, "Label2", TwipsRect(360, 1200, 1065, 195));
    Label2->setText(QStringLiteral("Choose Folder:"));
    Label1 = Place<QLabel>(client, "Label1", TwipsRect(360, 360, 1005, 195));
    Label1->setText(QStringLiteral("Choose Drive:"));
    // Stacking order as listed: Command1 on top, Label1 at the bottom.
    for (QWidget* control : std::vector<QWidget*>{Label2, Drive1, Dir1, Frame1, Command1}) {
        control->raise();
    }
    Label1->lower();
    // The captions on the orange keep dark text under a dark desktop scheme.
    for (QWidget* caption : std::vector<QWidget*>{Label1, Label2, Frame1}) UseDarkCaptions(caption);
    Label1->setBuddy(Drive1);
    Label2->setBuddy(Dir1);
    Drive1->setAccessibleName(QStringLiteral("Choose Drive"));
    Dir1->setAccessibleName(QStringLiteral("Choose Folder"));

    const std::string start =
        services_.startFolder.empty() ? CurrentFolder() : services_.startFolder;
    if (services_.folders) Dir1->SetLister(services_.folders);
    if (services_.volumes) Drive1->SetSource(services_.volumes);
    Dir1->ShowFolder(start);
    Drive1->Fill(services_.volumes ? services_.volumes() : LoadVolumes(), start);

    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, Command1);
    setTabOrder(Command1, Option1);
    setTabOrder(Option1, Option2);
    Drive1->setFocus();
    // Enter presses "Go" also where the desktop's style lets it open the
    // drive list or press an option.
    for (QWidget* control : std::vector<QWidget*>{Drive1, Command1, Option1, Option2}) {
        control->installEventFilter(this);
    }

    connect(Drive1, &DriveList::Change, this, &frmMain::Drive1_Change);
    connect(Dir1, &FolderList::Change, this, &frmMain::Dir1_Change);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
}

void frmMain::BuildMenus() {
    MenuFile = menuBar()->addMenu(QStringLiteral("&File"));
    MenuFile->setObjectName(QStringLiteral("MenuFile"));
    MenuExit = MenuFile->addAction(QStringLiteral("E&xit"), this, &frmMain::MenuExit_Click);
    MenuExit->setObjectName(QStringLiteral("MenuExit"));
    MenuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    MenuHelp->setObjectName(QStringLiteral("MenuHelp"));
    MenuContents =
        MenuHelp->addAction(QStringLiteral("&Contents"), this, &frmMain::MenuContents_Click);
    MenuContents->setObjectName(QStringLiteral("MenuContents"));
    Sep1 = MenuHelp->addSeparator();
    Sep1->setObjectName(QStringLiteral("Sep1"));
    MenuAbout = MenuHelp->addAction(QStringLiteral("&About..."), this, &frmMain::MenuAbout_Click);
    MenuAbout->setObjectName(QStringLiteral("MenuAbout"));
}

// The boxes of the two labels on the left were made for a narrower font; a
// caption that does not fit its box in the program's font widens it to the
// right, where nothing else stands (the labels have no background).
void frmMain::WidenLabels() {
    for (QLabel* label : {Label1, Label2}) {
        const int needed = label->sizeHint().width();
        if (needed > label->width()) label->resize(needed, label->height());
    }
}

void frmMain::Form_Load() {
    Search.SearchRoot = Dir1->Path();
}

void frmMain::Form_Unload() {
    ReleaseList(Search);
    emit Unloaded();
}

void frmMain::Drive1_Change() {
    const std::string chosen = Drive1->SelectedRoot();
    if (!Drive1->Reload()) {
        Ui().ShowMessage(this,
                         QString::fromLocal8Bit("Cannot open the drive \"" + chosen +
                                                "\": the drive is no longer there."),
                         kStyleExclamation, QStringLiteral("Warning"));
        return;
    }
    const int error = Dir1->SetPath(chosen);
    if (error != 0) {
        Ui().ShowMessage(this, QString::fromLocal8Bit(SystemErrorText(error)), kStyleExclamation,
                         QStringLiteral("Warning"));
    }
}

void frmMain::Dir1_Change() {
    Search.SearchRoot = Dir1->Path();
    Drive1->SelectHolding(Search.SearchRoot);
}

void frmMain::Command1_Click() {
    if (running_) return;
    running_ = true;
    const struct RunEnd {
        bool& running;
        ~RunEnd() { running = false; }
    } end{running_};
    ListRunContext run{this, Search, CD, {}, services_.search};
    run.kind = [this] { return Option2->isChecked() ? ListFormat::Html : ListFormat::Text; };
    RunListGeneration(run);
}

void frmMain::MenuExit_Click() {
    if (services_.endProgram) {
        services_.endProgram();
        return;
    }
    // Leaves the event loop; the windows go with the process, unclosed.
    QCoreApplication::exit(0);
}

void frmMain::MenuContents_Click() {
    ShowHelpContents(this);
}

void frmMain::MenuAbout_Click() {
    ShowAboutWindow(this);
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Command1->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command1->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

frmMain* ShowMainWindow(MainWindowServices services) {
    auto* window = new frmMain(std::move(services));
    CentreOnScreen(window);
    window->show();
    return window;
}

}  // namespace doze
