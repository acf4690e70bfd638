#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QString>

#include "engine/operations.h"

namespace trellisane {
namespace {

/// The bash completion script, as installed.
QString CompletionScript() {
    QFile file(QStringLiteral(TRELLISANE_COMPLETION_PATH));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << TRELLISANE_COMPLETION_PATH;
    return QString::fromUtf8(file.readAll());
}

/// Every match of `pattern`'s first group in `text`.
QSet<QString> Captures(const QString& text, const QString& pattern) {
    QSet<QString> found;
    for (const QRegularExpressionMatch& m : QRegularExpression(pattern).globalMatch(text)) {
        found.insert(m.captured(1));
    }
    return found;
}

// The script keeps its own copies of the keywords and options, for speed at the prompt; they
// must be exactly the catalogue's keywords and the options --help lists.
TEST(Completion, OffersExactlyTheKeywordsAndTheOptionsOfTheProgram) {
    const QString script = CompletionScript();

    const qsizetype loop = script.indexOf(QStringLiteral("for keyword in"));
    ASSERT_GE(loop, 0);
    const QString keywordList =
        script.mid(loop, script.indexOf(QStringLiteral("; do"), loop) - loop);
    QSet<QString> keywords;
    for (const CatalogueEntry& entry : Catalogue()) {
        if (!entry.keyword.isEmpty()) keywords.insert(entry.keyword);
    }
    EXPECT_EQ(Captures(keywordList, QStringLiteral("'([^']*)'")), keywords);

    QProcess cli;
    cli.start(QStringLiteral(TRELLISANE_CLI_PATH), {QStringLiteral("--help")});
    ASSERT_TRUE(cli.waitForFinished());
    const QString help = QString::fromUtf8(cli.readAllStandardOutput());
    const QSet<QString> helpOptions =
        Captures(help, QStringLiteral("(?m)^  (?:-[a-z], )?(--[a-z0-9-]*)"));
    ASSERT_FALSE(helpOptions.isEmpty());

    const qsizetype words = script.indexOf(QStringLiteral("compgen -W '"));
    ASSERT_GE(words, 0);
    const QString offered = script.mid(words, script.indexOf(u'\'', words + 12) - words);
    EXPECT_EQ(Captures(offered, QStringLiteral("(--[a-z0-9-]*)")), helpOptions);
}

}  // namespace
}  // namespace trellisane
