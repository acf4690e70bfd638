#include "engine/preview.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <stdexcept>
#include <utility>
#include <vector>

#include "engine/transform.h"
#include "folders/folder_list.h"

namespace trellisane {
namespace {

using namespace Qt::StringLiterals;

/// Counts the list's change notifications.
class CountingObserver : public FolderListObserver {
  public:
    void BeginInsert(qsizetype, qsizetype) override {}
    void EndInsert() override {}
    void BeginRemove(qsizetype, qsizetype) override {}
    void EndRemove() override {}
    void BeginReset() override {}
    void EndReset() override {}
    void Changed(qsizetype first, qsizetype last) override { changes.emplace_back(first, last); }
    std::vector<std::pair<qsizetype, qsizetype>> changes;
};

/// A window without widgets: a selector text, scripted prompt answers, and a Start Renaming
/// state that records being enabled.
class PreviewPass : public ::testing::Test {
  protected:
    bool Run(const QString& selector) {
        m_selector = selector;
        PreviewHooks hooks;
        hooks.selectorText = [this] { return m_selector; };
        hooks.ask = [this](const QString& text) {
            asked << text;
            return typed.isEmpty() ? QString() : typed.takeFirst();
        };
        hooks.enableStartRenaming = [this] { ++enabled; };
        hooks.report = report;
        return PreviewRename(busy, list, hooks);
    }
    QStringList NewPaths() const {
        QStringList paths;
        for (const FolderRow& row : list.Rows()) paths << row.newPath;
        return paths;
    }

    FolderList list;
    bool busy = false;
    QStringList typed;
    QStringList asked;
    int enabled = 0;
    std::function<void(const QString&, int)> report;

  private:
    QString m_selector;
};

TEST_F(PreviewPass, DoesNothingAtAllWhileBusy) {
    list.AppendInOrder({u"/a/b/"_s});
    busy = true;
    EXPECT_FALSE(Run(u"Add x to end of each in folder(s)"_s));
    EXPECT_TRUE(busy);
    EXPECT_EQ(enabled, 0);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(NewPaths(), QStringList{QString()});
}

TEST_F(PreviewPass, AsksAndEnablesEvenForAnEmptyList) {
    EXPECT_TRUE(Run(u"Add x to end of each in folder(s)"_s));
    EXPECT_TRUE(Run(u"Add x to end of each in folder(s)"_s));
    EXPECT_EQ(asked, (QStringList{u"Enter text to add: "_s, u"Enter text to add: "_s}));
    EXPECT_EQ(enabled, 2);
    EXPECT_FALSE(busy);
}

TEST_F(PreviewPass, SeparatorEnablesButWritesNothing) {
    list.AppendInOrder({u"/a/b/"_s});
    list.SetNewPath(1, u"/a/B/"_s);
    EXPECT_TRUE(Run(u"-"_s));
    EXPECT_EQ(enabled, 1);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(NewPaths(), QStringList{u"/a/B/"_s});
}

TEST_F(PreviewPass, CancelledPromptKeepsTheEarlierPreview) {
    list.AppendInOrder({u"/p/one/"_s, u"/p/two/"_s});
    Run(u"Change case of folder(s) to UPPER CASE"_s);
    Run(u"Add x to beginning of each in folder(s)"_s);  // cancelled
    EXPECT_EQ(NewPaths(), (QStringList{u"/p/ONE/"_s, u"/p/TWO/"_s}));
    EXPECT_EQ(enabled, 2);
    EXPECT_EQ(list.Row(1).current, u"/p/one/"_s);
}

TEST_F(PreviewPass, AsksOncePerPassAndWritesEveryRowInOneNotification) {
    // Beyond a 16-bit row count; two rows share a path.
    const qsizetype rows = 40000;
    QStringList paths;
    for (qsizetype i = 0; i < rows; ++i) paths << u"/t/a-%1/"_s.arg(i % 20000);
    list.AppendInOrder(paths);
    CountingObserver observer;
    list.SetObserver(&observer);
    typed = {u"-"_s, u"+"_s};
    EXPECT_TRUE(Run(u"Find and replace x (user-specified) character(s) in folder(s)"_s));
    EXPECT_EQ(asked, (QStringList{u"Find What:"_s, u"Replace With:"_s}));
    EXPECT_EQ(list.Row(1).newPath, u"/t/a+0/"_s);
    EXPECT_EQ(list.Row(rows).newPath, u"/t/a+19999/"_s);
    EXPECT_EQ(list.Row(20001).newPath, list.Row(1).newPath);
    EXPECT_EQ(observer.changes, (std::vector<std::pair<qsizetype, qsizetype>>{{1, rows}}));
    list.SetObserver(nullptr);
}

TEST_F(PreviewPass, FailedStepIsReportedAndThePassGoesOn) {
    list.AppendInOrder({u"/p/one/"_s});
    std::vector<std::pair<QString, int>> reports;
    report = [&](const QString& description, int line) { reports.emplace_back(description, line); };
    PreviewHooks hooks;
    hooks.selectorText = [] { return u"Change case of folder(s) to UPPER CASE"_s; };
    hooks.enableStartRenaming = [] { throw std::runtime_error("no button"); };
    hooks.report = report;
    EXPECT_TRUE(PreviewRename(busy, list, hooks));
    EXPECT_EQ(reports, (std::vector<std::pair<QString, int>>{{u"no button"_s, 104}}));
    EXPECT_EQ(list.Row(1).newPath, u"/p/ONE/"_s);
    EXPECT_FALSE(busy);

    // Without a report hook the failure reaches the caller, and the flag is still cleared.
    hooks.report = nullptr;
    EXPECT_THROW(PreviewRename(busy, list, hooks), std::runtime_error);
    EXPECT_FALSE(busy);
}

// The pass writes each new path as a node beside the row's folder; it must give exactly what
// BuildNewPath gives for the whole path, for every operation, whatever the path looks like.
TEST(PreviewRows, WritesWhatBuildNewPathGivesForEveryOperationAndPathShape) {
    const QStringList paths{u""_s,
                            u"/"_s,
                            u"//"_s,
                            u"/a/b/"_s,
                            u"/a/b"_s,
                            u"a"_s,
                            u"a/"_s,
                            u"/a//"_s,
                            u"/p/x y 12/"_s,
                            u"/p/x y 12"_s,
                            u"/p/\r\n\r\nz/"_s,
                            u"/p/\U0001F600q/"_s};
    const std::vector<PromptAnswers> answers{
        {u"_/z"_s, u"y"_s, u"a"_s, u"/"_s},  // answers holding the separator
        {u"x"_s, u" "_s, u"b"_s, u"c"_s},
        {u"/"_s, u"a"_s, u"x y 12"_s, u"//"_s},
    };
    for (int op = static_cast<int>(Operation::OpNone);
         op <= static_cast<int>(Operation::OpFindReplace); ++op) {
        const auto operation = static_cast<Operation>(op);
        for (const PromptAnswers& answer : answers) {
            FolderList list;
            list.AppendInOrder(paths);
            list.SetNewPath(1, u"/earlier/"_s);  // kept where the operation gives no change
            PreviewRows(list, operation, answer);
            for (qsizetype i = 1; i <= list.Count(); ++i) {
                const QString expected = BuildNewPath(paths[i - 1], operation, answer)
                                             .value_or(i == 1 ? u"/earlier/"_s : QString());
                EXPECT_EQ(list.NewPath(i), expected)
                    << "operation " << op << ", path '" << paths[i - 1].toStdString() << "'";
                EXPECT_EQ(list.Current(i), paths[i - 1]);
            }
        }
    }
}

}  // namespace
}  // namespace trellisane
