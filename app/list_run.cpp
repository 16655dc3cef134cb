#include "app/list_run.h"

#include <QPointer>
#include <exception>

#include "app/frm_progress.h"
#include "app/ui/platform_ui.h"
#include "output/list_writers.h"
#include "output/safe_file.h"
#include "output/size_format.h"
#include "search/walker.h"

namespace doze {
namespace {

const QString kFailureTitle = QStringLiteral("Failure");

// Tells the user a list is complete, through the desktop services.
class CompletionMessage : public CompletionReporter {
  public:
    explicit CompletionMessage(QWidget* owner) : owner_(owner) {}
    void ListComplete(std::int32_t count) override {
        Ui().ShowMessage(owner_, QString::fromStdString(CompletionText(count)), kStyleInformation,
                         QString::fromLatin1(kCompletionTitle));
    }

  private:
    QWidget* owner_;
};

// The save flow of the list type selected now: dialog, overwrite question,
// writer. Cancel in the dialog throws DialogCancelled; No ends it quietly.
void SaveList(ListRunContext& run) {
    const ListFormat format = run.kind ? run.kind() : ListFormat::Text;
    const bool html = format == ListFormat::Html;
    run.CD.CancelError = true;
    run.CD.DialogTitle =
        html ? QStringLiteral("Save as HTML") : QStringLiteral("Save as plain text");
    run.CD.Filter = html ? QStringLiteral("HTML Files (*.html)|*.html")
                         : QStringLiteral("Text Files (*.txt)|*.txt");
    run.CD.ShowSave(run.owner);
    const std::string path = run.CD.FileNamePath();
    if (TargetExists(path) &&
        Ui().ShowMessage(run.owner, QStringLiteral("File exists, do you want to overwrite it?"),
                         kStyleYesNoQuestion, QStringLiteral("Confirm Overwrite")) != kAnswerYes) {
        return;
    }
    const ListJob job{run.state.SearchRoot, &run.state.FoundList, LocaleDecimalSeparator()};
    CompletionMessage reporter(run.owner);
    WriteList(format, job, path, reporter);
}

}  // namespace

void RunListGeneration(ListRunContext& run) {
    SearchParams params;
    QPointer<frmProgress> progress;
    bool failed = false;
    QString failure;
    try {
        progress = ShowProgressWindow(run.owner);
        Ui().SetBusyPointer(true);
        Ui().YieldOnce();
        BeginRun(run.state, params);
        if (run.search) {
            run.search(params, run.state);
        } else {
            RunSearch(params, run.state);
        }
        progress->close();
        progress = nullptr;
        Ui().SetBusyPointer(false);
        if (!EndSearch(run.state)) {
            Ui().ShowMessage(run.owner,
                             QStringLiteral("No MP3 files were found in the search path."),
                             kStyleInformation, kFailureTitle);
        } else {
            SaveList(run);
        }
    } catch (const DialogCancelled&) {
    } catch (const std::exception& cause) {
        failed = true;
        failure = QString::fromLocal8Bit(cause.what());
    }
    if (progress) {
        progress->close();
        Ui().SetBusyPointer(false);
    }
    ReleaseList(run.state);
    if (failed) Ui().ShowMessage(run.owner, failure, kStyleExclamation, kFailureTitle);
}

}  // namespace doze
