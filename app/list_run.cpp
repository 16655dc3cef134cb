#include "app/list_run.h"

#include <QPointer>

#include "app/frm_progress.h"
#include "app/search_thread.h"
#include "output/list_formats.h"
#include "output/message_text.h"
#include "output/safe_file.h"
#include "ui/platform_ui.h"

namespace doze {
namespace {

const QString kFailureTitle = QStringLiteral("Failure");
const QString kOverwriteText = QStringLiteral("File exists, do you want to overwrite it?");
const QString kOverwriteTitle = QStringLiteral("Confirm Overwrite");

// The windows' side of a run: the progress window and the pointer, the
// Save-As dialog and the overwrite question, messages in boxes.
class WindowFrontEnd : public RunFrontEnd {
  public:
    explicit WindowFrontEnd(ListRunContext& run) : run_(run) {}

    void SearchStarting() override {
        progress_ = ShowProgressWindow(run_.owner);
        Ui().SetBusyPointer(true);
        Ui().YieldOnce();
    }
    // The search runs on a thread of its own: the windows keep painting but
    // take no input until it ends.
    void RunSearchStep(const std::function<void()>& search) override { RunOffWindowThread(search); }
    void SearchEnded() override {
        if (progress_) progress_->close();
        Ui().SetBusyPointer(false);
    }
    void NothingFound() override {
        Ui().ShowMessage(run_.owner, QStringLiteral("No MP3 files were found in the search path."),
                         kStyleInformation, kFailureTitle);
    }
    std::optional<ListTarget> ChooseTarget(ListFormat& format) override {
        format = run_.kind ? run_.kind() : ListFormat::Text;
        const ListFormatInfo& info = FormatInfo(format);
        CommonDialog& CD = run_.CD;
        CD.CancelError = true;
        CD.DialogTitle = QString::fromLatin1(info.dialogTitle);
        CD.Filter = QString::fromLatin1(info.filter);
        try {
            CD.ShowSave(run_.owner);
        } catch (const DialogCancelled&) {
            return std::nullopt;
        }
        ListTarget target{CD.FileNamePath()};
        if (TargetExists(target.path)) {
            if (!AskOverwrite()) return std::nullopt;
            target.consented = true;
        }
        return target;
    }
    bool ReplaceAppeared(const std::string&) override { return AskOverwrite(); }
    void Failed(RunOutcome, const std::string& message) override {
        Ui().ShowMessage(run_.owner, QString::fromLocal8Bit(SafeMessageText(message)),
                         kStyleExclamation, kFailureTitle);
    }
    void ListComplete(std::int32_t count) override {
        Ui().ShowMessage(run_.owner, QString::fromStdString(CompletionText(count)),
                         kStyleInformation, QString::fromLatin1(kCompletionTitle));
    }

  private:
    bool AskOverwrite() {
        return Ui().ShowMessage(run_.owner, kOverwriteText, kStyleYesNoQuestion, kOverwriteTitle) ==
               kAnswerYes;
    }

    ListRunContext& run_;
    QPointer<frmProgress> progress_;
};

}  // namespace

void RunListGeneration(ListRunContext& run) {
    WindowFrontEnd frontEnd(run);
    GenerateList(run.state, frontEnd, run.search);
}

}  // namespace doze
