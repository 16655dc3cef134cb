// SPDX-License-Identifier: MIT
#include "app/window_run.h"

#include <sys/stat.h>

#include <QPointer>
#include <atomic>
#include <optional>
#include <utility>
#include <vector>

#include "app/frm_progress.h"
#include "app/search_thread.h"
#include "output/list_formats.h"
#include "output/message_text.h"
#include "output/name_text.h"
#include "output/safe_file.h"
#include "ui/platform_ui.h"

namespace doze {
namespace {

const QString kFailureTitle = QStringLiteral("Failure");
const QString kOverwriteText = QStringLiteral("File exists, do you want to overwrite it?");
const QString kOverwriteTitle = QStringLiteral("Confirm Overwrite");
// How many of the paths that could not be read the warning names.
constexpr std::size_t kPathsNamed = 5;

// What the windows learn of a search: what it could not read, and whether
// the user asked it to stop.
class RunReport : public SearchProgress {
  public:
    using Unread = std::vector<std::pair<std::string, std::string>>;  // path, cause

    void FolderNotListed(const std::string& path, const std::string& cause) override {
        folders.emplace_back(path, cause);
    }
    void FileNotRead(const std::string& path, const std::string& cause) override {
        files.emplace_back(path, cause);
    }
    bool Cancelled() const override { return cancelled.load(); }

    // The "Warning" text on what could not be read; empty when all was read.
    QString UnreadText() const {
        if (folders.empty() && files.empty()) return {};
        const auto count = [](std::size_t n, const char* one) {
            return std::to_string(n) + ' ' + one + (n == 1 ? "" : "s");
        };
        std::string text = !folders.empty() ? count(folders.size(), "folder") : "";
        if (!files.empty()) text += (text.empty() ? "" : " and ") + count(files.size(), "file");
        text += " could not be read, so the list may be incomplete:\n";
        std::size_t named = 0;
        for (const Unread* unread : {&folders, &files}) {
            for (const auto& [path, cause] : *unread) {
                if (named++ < kPathsNamed) text += '\n' + MaskControls(path) + ": " + cause;
            }
        }
        if (named > kPathsNamed) text += "\n(and " + std::to_string(named - kPathsNamed) + " more)";
        return QString::fromUtf8(text);
    }

    Unread folders, files;  // in the order the search told them
    std::atomic<bool> cancelled{false};
};

// Why the list cannot be written at `path` whatever the answer to the
// overwrite question: something there that is neither a file nor a folder
// (a FIFO, a device such as /dev/null). Empty when nothing stands in the way.
std::string Unwritable(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) return {};
    return "Cannot write \"" + path + "\": it is not a regular file.";
}

// The windows' side of a run: the progress window and the pointer, the
// Save-As dialog and the overwrite question, messages in boxes.
class WindowFrontEnd : public RunFrontEnd {
  public:
    explicit WindowFrontEnd(ListRunContext& run) : run_(run) {}

    // From here until the search has ended the user's input is dropped, but
    // for closing the progress window or Esc in it, which cancel the search.
    void SearchStarting() override {
        progress_ = ShowProgressWindow(run_.owner);
        hold_.emplace(progress_, [this] { report_.cancelled = true; });
        Ui().SetBusyPointer(true);
        Ui().YieldOnce();
    }
    // The search runs on a thread of its own: the windows keep painting.
    void RunSearchStep(const std::function<void()>& search) override {
        RunOffWindowThread(search, [this] { report_.cancelled = true; });
    }
    SearchProgress* Progress() override { return &report_; }
    void SearchEnded() override {
        hold_.reset();
        if (progress_) progress_->close();
        Ui().SetBusyPointer(false);
    }
    void NothingFound() override {
        Ui().ShowMessage(run_.owner, QStringLiteral("No MP3 files were found in the search path."),
                         kStyleInformation, kFailureTitle);
        WarnOfUnread();
    }
    std::optional<ListTarget> ChooseTarget(ListFormat& format) override {
        format = run_.kind ? run_.kind() : ListFormat::Text;
        const ListFormatInfo& info = FormatInfo(format);
        CommonDialog& CD = run_.CD;
        CD.DialogTitle = QString::fromLatin1(info.dialogTitle);
        CD.Filter = QString::fromLatin1(info.filter);
        for (;;) {
            if (!CD.ShowSave(run_.owner)) return std::nullopt;
            ListTarget target{CD.FileNamePath()};
            if (const std::string refused = Unwritable(target.path); !refused.empty()) {
                Failed(RunOutcome::WriteFailed, refused);
                continue;
            }
            if (TargetExists(target.path)) {
                if (!AskOverwrite()) return std::nullopt;
                target.consented = true;
            }
            return target;
        }
    }
    bool ReplaceAppeared(const std::string&) override { return AskOverwrite(); }
    void Failed(RunOutcome, const std::string& message) override {
        Ui().ShowMessage(run_.owner, QString::fromLocal8Bit(SafeMessageText(message)),
                         kStyleExclamation, kFailureTitle);
    }
    bool SaveAgainAfterWriteFailure() override { return true; }
    void ListComplete(std::int32_t count) override {
        Ui().ShowMessage(run_.owner, QString::fromStdString(CompletionText(count)),
                         kStyleInformation, QString::fromLatin1(kCompletionTitle));
        WarnOfUnread();
    }

  private:
    bool AskOverwrite() {
        return Ui().ShowMessage(run_.owner, kOverwriteText, kStyleYesNoQuestion, kOverwriteTitle) ==
               kAnswerYes;
    }
    void WarnOfUnread() {
        const QString text = report_.UnreadText();
        if (!text.isEmpty()) {
            Ui().ShowMessage(run_.owner, text, kStyleExclamation, QStringLiteral("Warning"));
        }
    }

    ListRunContext& run_;
    QPointer<frmProgress> progress_;
    RunReport report_;
    std::optional<InputHold> hold_;
};

}  // namespace

std::unique_ptr<RunFrontEnd> MakeWindowFrontEnd(ListRunContext& run) {
    return std::make_unique<WindowFrontEnd>(run);
}

void RunListGeneration(ListRunContext& run) {
    WindowFrontEnd frontEnd(run);
    GenerateList(run.state, frontEnd, run.search);
}

}  // namespace doze
