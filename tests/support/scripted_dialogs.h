#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

#include "shell/dialogs.h"

namespace trellisane::testing {

/// One call made to the dialogs, as the person would have seen it.
struct DialogCall {
    enum class Kind { Message, Prompt, Browse, OpenUrl, SaveFile };
    Kind kind;
    QString text;   ///< message text, prompt text, browse prompt, or the URL
    QString title;  ///< empty for Browse and OpenUrl
    DialogIcon icon = DialogIcon::None;
    DialogButtons buttons = DialogButtons::Ok;
    QString initialFolder;  ///< Browse only; SaveFile: the file suggested
};

/// Dialogs that answer from scripts and record every call. Unscripted prompts answer "" (as
/// Cancel), unscripted Yes/No boxes answer No, unscripted browse dialogs are cancelled, and
/// OpenUrl answers `openUrlResult`.
class ScriptedDialogs : public Dialogs {
  public:
    DialogAnswer ShowMessage(const QString& text, const QString& title, DialogIcon icon,
                             DialogButtons buttons) override;
    QString Prompt(const QString& text, const QString& title) override;
    QString BrowseFolder(const QString& prompt, const QString& initialFolder) override;
    bool OpenUrl(const QUrl& url) override;
    QString SaveFile(const QString& title, const QString& suggested,
                     const QString& filter) override;

    std::deque<QString> promptAnswers;
    std::deque<DialogAnswer> yesNoAnswers;
    std::deque<QString> browseAnswers;
    std::deque<QString> saveAnswers;  ///< unscripted save dialogs are cancelled
    bool openUrlResult = true;
    /// Called after each recorded call (for example to act while a box is "open").
    std::function<void(const DialogCall&)> onCall;

    std::vector<DialogCall> calls;

    /// The texts of recorded calls of one kind, in order.
    QStringList Texts(DialogCall::Kind kind) const;
    /// The texts of message boxes, in order.
    QStringList Messages() const { return Texts(DialogCall::Kind::Message); }
    /// The texts of prompts, in order.
    QStringList Prompts() const { return Texts(DialogCall::Kind::Prompt); }

  private:
    void Record(DialogCall call);
};

}  // namespace trellisane::testing
