#include "tests/support/scripted_dialogs.h"

namespace trellisane::testing {

void ScriptedDialogs::Record(DialogCall call) {
    calls.push_back(call);
    if (onCall) onCall(calls.back());
}

DialogAnswer ScriptedDialogs::ShowMessage(const QString& text, const QString& title,
                                          DialogIcon icon, DialogButtons buttons) {
    Record({DialogCall::Kind::Message, text, title, icon, buttons, {}});
    if (buttons == DialogButtons::Ok) return DialogAnswer::Ok;
    if (yesNoAnswers.empty()) return DialogAnswer::No;
    const DialogAnswer answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::Prompt(const QString& text, const QString& title) {
    Record({DialogCall::Kind::Prompt, text, title, DialogIcon::None, DialogButtons::Ok, {}});
    if (promptAnswers.empty()) return QString();
    QString answer = promptAnswers.front();
    promptAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::BrowseFolder(const QString& prompt, const QString& initialFolder) {
    Record(
        {DialogCall::Kind::Browse, prompt, {}, DialogIcon::None, DialogButtons::Ok, initialFolder});
    if (browseAnswers.empty()) return QString();
    QString answer = browseAnswers.front();
    browseAnswers.pop_front();
    return answer;
}

bool ScriptedDialogs::OpenUrl(const QUrl& url) {
    Record(
        {DialogCall::Kind::OpenUrl, url.toString(), {}, DialogIcon::None, DialogButtons::Ok, {}});
    return openUrlResult;
}

QString ScriptedDialogs::SaveFile(const QString& title, const QString& suggested,
                                  const QString& filter) {
    Record({DialogCall::Kind::SaveFile, filter, title, DialogIcon::None, DialogButtons::Ok,
            suggested});
    if (saveAnswers.empty()) return QString();
    QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

QStringList ScriptedDialogs::Texts(DialogCall::Kind kind) const {
    QStringList texts;
    for (const DialogCall& call : calls) {
        if (call.kind == kind) texts << call.text;
    }
    return texts;
}

}  // namespace trellisane::testing
