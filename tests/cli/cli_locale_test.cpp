// The companion in another language: its --help, messages and --check reasons are translated,
// while what scripts read (the preview's paths, --status words, --print0 output, the exit
// status) is the same bytes whatever the locale, and the --operation keywords and full texts
// stay English.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "engine/operations.h"

namespace trellisane {
namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

/// Runs the built companion with `arguments` under `locale` (LC_ALL) and `language` (LANGUAGE,
/// left out when empty).
Outcome RunIn(const QString& locale, const QString& language, const QStringList& arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("LANG"), locale);
    if (language.isEmpty()) {
        env.remove(QStringLiteral("LANGUAGE"));
    } else {
        env.insert(QStringLiteral("LANGUAGE"), language);
    }
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(TRELLISANE_CLI_PATH), arguments);
    EXPECT_TRUE(cli.waitForFinished(60000));
    return {cli.exitCode(), cli.readAllStandardOutput(), cli.readAllStandardError()};
}

class CliLocaleTest : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(CliLocaleTest, MachineOutputStaysAndHelpIsTranslated) {
    const QString locale = QString::fromLatin1(GetParam().first);
    const QString language = QString::fromLatin1(GetParam().second);
    QTemporaryDir tree;
    ASSERT_TRUE(tree.isValid());
    const QStringList folders{QStringLiteral("abc"), QStringLiteral("ABC"), QStringLiteral("x y")};
    QStringList paths;
    for (const QString& name : folders) {
        ASSERT_TRUE(QDir(tree.path()).mkdir(name));
        paths << tree.path() + u'/' + name;
    }

    const QStringList upper{QStringLiteral("--operation"), QStringLiteral("upper case")};
    const QStringList fullText{QStringLiteral("--operation"),
                               QStringLiteral("Change case of folder(s) to UPPER CASE")};
    for (const QStringList& arguments :
         {upper + paths, upper + QStringList{QStringLiteral("--status")} + paths,
          upper + QStringList{QStringLiteral("--print0"), QStringLiteral("--status")} + paths,
          fullText + paths}) {
        const Outcome plain = RunIn(QStringLiteral("C"), QString(), arguments);
        const Outcome translated = RunIn(locale, language, arguments);
        EXPECT_EQ(translated.status, plain.status) << arguments.join(u' ').toStdString();
        EXPECT_EQ(translated.out, plain.out) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(plain.out.isEmpty());
    }
    // --check: the paths and the status word stay; the reason after them is for people.
    const QStringList check = upper + QStringList{QStringLiteral("--check")} + paths;
    const Outcome plainCheck = RunIn(QStringLiteral("C"), QString(), check);
    const Outcome translatedCheck = RunIn(locale, language, check);
    EXPECT_EQ(translatedCheck.status, plainCheck.status);
    const auto machineFields = [](const QByteArray& out) {
        QList<QByteArray> rows;
        for (const QByteArray& line : out.split('\n'))
            rows << line.split('\t').mid(0, 3).join('\t');
        return rows;
    };
    EXPECT_EQ(machineFields(translatedCheck.out), machineFields(plainCheck.out));
    EXPECT_NE(translatedCheck.out, plainCheck.out) << "the reason is translated";

    // A usage error is told in the language; its exit status is the same.
    const QStringList unknown{QStringLiteral("--no-such-option")};
    const Outcome plainError = RunIn(QStringLiteral("C"), QString(), unknown);
    const Outcome translatedError = RunIn(locale, language, unknown);
    EXPECT_EQ(translatedError.status, plainError.status);
    EXPECT_NE(translatedError.err, plainError.err);
    EXPECT_TRUE(translatedError.err.contains("--no-such-option"));

    const QStringList help{QStringLiteral("--help")};
    const QByteArray plainHelp = RunIn(QStringLiteral("C"), QString(), help).out;
    const QByteArray translatedHelp = RunIn(locale, language, help).out;
    EXPECT_NE(translatedHelp, plainHelp);
    for (const CatalogueEntry& entry : Catalogue()) {
        if (entry.operation == Operation::OpNone) continue;
        EXPECT_TRUE(translatedHelp.contains("  " + entry.keyword.toUtf8()));
        EXPECT_TRUE(translatedHelp.contains(entry.displayText.toUtf8()));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, CliLocaleTest,
                         ::testing::Values(std::pair{"de_DE.UTF-8", ""},
                                           std::pair{"en_US.UTF-8", "ja"}));

}  // namespace
}  // namespace trellisane
