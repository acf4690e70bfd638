#include "cli/cli.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>  // TempTree holds one by unique_ptr
#include <algorithm>
#include <vector>

#include "engine/operations.h"
#include "tests/cli/cli_fixture.h"

namespace trellisane {
namespace {

using namespace Qt::StringLiterals;

using testing::Cli;
using testing::Result;
using testing::RunBinary;

TEST_F(Cli, Print0WritesAwkwardNamesByteForByteInArgumentOrder) {
    // name on disk, and its upper-cased form
    const std::vector<std::pair<QByteArray, QByteArray>> names{
        {"été 2020", "ÉTÉ 2020"},
        {"日本語の写真", "日本語の写真"},
        {"emoji😀x", "EMOJI😀X"},
        {"tab\there", "TAB\tHERE"},
        {"new\nline", "NEW\nLINE"},
        {"pipe|name", "PIPE|NAME"},
        {"back\\slash", "BACK\\SLASH"},
        {" spaced  out ", " SPACED  OUT "},
        {"straße", "STRAßE"},
        {"\xEF\xBB\xBF"
         "bom",
         "\xEF\xBB\xBF"
         "BOM"},
    };
    QByteArrayList args{"--print0", "--operation", "upper case"};
    QByteArray expected;
    for (const auto& [name, upper] : names) {
        args << MakeRaw(name);
        expected += Root8() + '/' + name + '/' + '\0' + Root8() + '/' + upper + '/' + '\0';
    }
    const Result result = RunBinary(args, Root8());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, expected);
    EXPECT_TRUE(result.err.isEmpty());
}

TEST_F(Cli, RelativeFoldersAreJoinedAndCleanedAsTextWithoutResolvingLinks) {
    MakeRaw("real");
    MakeRaw("-dash1");
    ASSERT_EQ(::symlink("real", (Root8() + "/link1").constData()), 0);
    // "." and ".." are taken away as text, so the last component is always the folder's own
    // name; the link stays a link.
    const Result result = RunBinary({"--operation=remove numeric", "link1//", "real/../-dash1",
                                     "./link1/.././real/.", "--", "-dash1"},
                                    Root8());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    const QByteArray r = Root8();
    EXPECT_EQ(result.out, r + "/link1/\t" + r + "/link/\n" + r + "/-dash1/\t" + r + "/-dash/\n" +
                              r + "/real/\t" + r + "/real/\n" + r + "/-dash1/\t" + r + "/-dash/\n");
}

TEST_F(Cli, AnswersComeFromTheirOptionsAndMissingOnesLeaveNamesAlone) {
    const QByteArray a = MakeRaw("a-b");
    const QByteArray op = "Add x before every y character(s) in folder(s)";
    Result result = RunBinary({"--operation", op, "--y", "-", "--x=_", a}, Root8());
    EXPECT_EQ(result.out, a + '\t' + Root8() + "/a_-b/\n");
    // --x "": an empty answer on purpose, as a cancelled prompt, so no new path.
    result = RunBinary({"--operation", op, "--y", "-", "--x", "", a}, Root8());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, a + "\t\n");
    // A value starting with '-' is still a value; an empty replacement changes nothing.
    result =
        RunBinary({"--operation", "find and replace", "--find", "-", "--replace", "", a}, Root8());
    EXPECT_EQ(result.out, a + "\t\n");
    result = RunBinary({"--operation", "find and replace", "--find", "-", "--replace", "--", a},
                       Root8());
    EXPECT_EQ(result.out, a + '\t' + Root8() + "/a--b/\n");
    // The root is listed as "//".
    result = RunBinary({"--operation", "upper case", "/"}, Root8());
    EXPECT_EQ(result.out, "//\t//\n");
}

struct UsageRow {
    const char* name;
    QByteArrayList args;  ///< "@" stands for an existing folder
    int status;
    QByteArray inOut;  ///< expected within standard output
    QByteArray inErr;  ///< expected within standard error
};

class CliUsage : public Cli, public ::testing::WithParamInterface<UsageRow> {};

TEST_P(CliUsage, ExitsWithItsStatusAndMessage) {
    const QByteArray folder = MakeRaw("f");
    MakeFile(u"plain"_s);
    QByteArrayList args = GetParam().args;
    for (QByteArray& arg : args) arg.replace("@", folder);
    const Result result = RunBinary(args, Root8());
    EXPECT_EQ(result.status, GetParam().status) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(GetParam().inOut)) << result.out.toStdString();
    EXPECT_TRUE(result.err.contains(GetParam().inErr)) << result.err.toStdString();
    if (GetParam().status == 2) {
        EXPECT_TRUE(result.out.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliUsage,
    ::testing::Values(
        UsageRow{"Help", {"--help"}, 0, "--operation TEXT", ""},
        UsageRow{"ShortHelp", {"-h"}, 0, "--operation TEXT", ""},
        UsageRow{"HelpSaysWhenANewPathIsEmpty",
                 {"--help"},
                 0,
                 "it is empty only when the operation made no change at all",
                 ""},
        UsageRow{"MissingX", {"--operation", "add x to end", "@"}, 2, "", "needs --x\n"},
        UsageRow{"MissingReplace",
                 {"--operation", "find and replace", "--find", "a", "@"},
                 2,
                 "",
                 "needs --replace\n"},
        UsageRow{"MissingYAndX", {"@", "--operation=add x after every y"}, 2, "", "--y and --x"},
        // An answer the operation does not read is warned about; the run goes on unchanged.
        UsageRow{"UnusedAnswer",
                 {"--operation", "upper case", "--x", "_", "--replace=", "@"},
                 0,
                 "/F/\n",
                 "warning: --x is not used by 'Change case of folder(s) to UPPER CASE' and changes "
                 "nothing\ntrellisane-cli: warning: --replace"},
        UsageRow{"Version", {"--version"}, 0, "trellisane-cli " TRELLISANE_VERSION "\n", ""},
        UsageRow{"UnknownOption", {"--operation", "upper case", "--bogus", "@"}, 2, "", "--bogus"},
        UsageRow{"MissingValue", {"@", "--operation"}, 2, "", "--operation"},
        UsageRow{
            "FlagWithValue", {"--operation", "upper case", "--apply=yes", "@"}, 2, "", "--apply"},
        UsageRow{"NoFolder", {"--operation", "upper case"}, 2, "", "FOLDER"},
        UsageRow{"NoOperation", {"@"}, 2, "", "--operation"},
        UsageRow{"MissingFolder", {"--operation", "upper case", "@", "nothere"}, 2, "", "nothere"},
        UsageRow{"FileIsNoFolder", {"--operation", "upper case", "plain"}, 2, "", "plain"},
        UsageRow{"EmptyFolder", {"--operation", "upper case", ""}, 2, "", "''"},
        UsageRow{
            "AnswerNotUtf8", {"--operation", "add x to end", "--x", "\xff", "@"}, 2, "", "UTF-8"},
        UsageRow{"StatusWithApply",
                 {"--operation", "upper case", "--status", "--apply", "@"},
                 2,
                 "",
                 "--apply"},
        UsageRow{"CheckWithApply",
                 {"--apply", "--check", "--operation", "upper case", "@"},
                 2,
                 "",
                 "--apply"}),
    [](const auto& test) { return std::string(test.param.name); });

/// The preview with each row's status: "%" stands for the root, the folders a1, a2 and b exist.
struct StatusRow {
    const char* name;
    QByteArrayList options;  ///< before the folders a1, a2 and b
    int status;
    QByteArray out;
};

class CliStatus : public Cli, public ::testing::WithParamInterface<StatusRow> {};

TEST_P(CliStatus, PrintsWhatStartRenamingWouldFind) {
    QByteArrayList args = GetParam().options;
    args << "--operation"
         << "remove numeric" << MakeRaw("a1") << MakeRaw("a2") << MakeRaw("b");
    const Result result = RunBinary(args, Root8());
    EXPECT_EQ(result.status, GetParam().status) << result.err.toStdString();
    EXPECT_EQ(result.out, QByteArray(GetParam().out).replace("%", Root8()));
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliStatus,
    ::testing::Values(
        StatusRow{"Status",
                  {"--status"},
                  0,
                  "%/a1/\t%/a/\tok\n%/a2/\t%/a/\tclaimed\n%/b/\t%/b/\tunchanged\n"},
        StatusRow{"StatusPrint0",
                  {"--print0", "--status"},
                  0,
                  QByteArray("%/a1/\0%/a/\0ok\0%/a2/\0%/a/\0claimed\0%/b/\0%/b/\0unchanged\0", 53)},
        // Only the row that would not be renamed, with the reason; unchanged rows are fine.
        StatusRow{"Check",
                  {"--check"},
                  1,
                  "%/a2/\t%/a/\tclaimed\tRow 1 gives its folder this new name first.\n"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(Cli, CheckExitsZeroWhenEveryRowCanBeRenamed) {
    const Result result = RunBinary(
        {"--check", "--operation", "remove numeric", MakeRaw("a1"), MakeRaw("b")}, Root8());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
}

TEST_F(Cli, HelpAndAnUnknownOperationListTheSixteenOperationsWithTheirKeywords) {
    const QByteArray folder = MakeRaw("f");
    for (const Result& result :
         {RunBinary({"--help"}, Root8()), RunBinary({"--operation", "-", folder}, Root8())}) {
        const QByteArray& listed = result.status == 0 ? result.out : result.err;
        QByteArrayList rows;  // the lines that name an operation's text at their end
        for (const QByteArray& line : listed.split('\n')) {
            for (const CatalogueEntry& entry : Catalogue()) {
                if (entry.operation == Operation::OpNone) continue;
                if (line.endsWith(" " + entry.displayText.toUtf8())) {
                    rows << line;
                    EXPECT_TRUE(line.startsWith("  " + entry.keyword.toUtf8() + "  "))
                        << line.toStdString();
                }
            }
            EXPECT_FALSE(line.trimmed() == "-") << "a separator row is listed";
        }
        EXPECT_EQ(rows.size(), 16) << listed.toStdString();
    }
}

TEST_F(Cli, RefusesNonUtf8NamesBeforeDoingAnything) {
    const QByteArray good = MakeRaw("good1");
    const QByteArray bad = MakeRaw(
        "bad\xff"
        "2");
    const Result result =
        RunBinary({"--operation", "remove numeric", "--apply", good, bad}, Root8());
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("bad\\xff2")) << result.err.toStdString();  // escaped
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(Exists("good1"));
    EXPECT_FALSE(Exists("good"));
    // Qt's own clean-up cannot name it, so it goes here.
    EXPECT_EQ(::rmdir(bad.constData()), 0);
}

TEST_F(Cli, ApplyRenamesAndPrintsWhereTheFoldersAreNow) {
    const QByteArray a = MakeRaw("a1\nb");
    const QByteArray c = MakeRaw("c|2");
    const Result result =
        RunBinary({"--operation", "remove numeric", "--apply", "--print0", a, c}, Root8());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, Root8() + "/a\nb/" + '\0' + Root8() + "/c|/" + '\0');
    EXPECT_TRUE(Exists("a\nb"));
    EXPECT_TRUE(Exists("c|"));
    EXPECT_FALSE(Exists("a1\nb"));
}

TEST_F(Cli, ApplyReportsAFailedRowAndKeepsItsPath) {
    MakeRaw("x");  // the name that "x1" would get
    MakeFile(u"x/marker"_s);
    const QByteArray x1 = MakeRaw("x1");
    const QByteArray y1 = MakeRaw("y1");
    const Result result = RunBinary({"--operation", "remove numeric", "--apply", x1, y1}, Root8());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, x1 + '\n' + Root8() + "/y/\n");
    // The report's words, each path once.
    EXPECT_EQ(result.err, "trellisane-cli: File exists: \"" + x1.chopped(1) +
                              "\" cannot be renamed to \"x\" (a folder of that name is already "
                              "there).\n");
    EXPECT_TRUE(Exists("x/marker"));
    EXPECT_TRUE(Exists("x1"));
}

TEST_F(Cli, AFailureIsOneLineWithControlCharactersAndBackslashesEscaped) {
    MakeRaw("x\x1b[H\t\\\xc2\x9b\n\r\x7f");  // taken: the target of the row below
    const QByteArray x1 = MakeRaw(
        "x\x1b[H\t\\\xc2\x9b"
        "1\n\r\x7f");
    const Result result = RunBinary({"--operation", "remove numeric", "--apply", x1}, Root8());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.endsWith('\n'));
    EXPECT_TRUE(
        result.err.contains("/x\\x1b[H\\t\\\\\\x9b"
                            "1\\n\\r\\x7f\" cannot be renamed to \"x\\x1b[H"))
        << result.err.toStdString();
    for (const char control : {'\x1b', '\t', '\r', '\x7f'}) {
        EXPECT_FALSE(result.err.contains(control)) << int(control);
    }
    EXPECT_FALSE(result.err.contains("\xc2\x9b"));
}

TEST_F(Cli, SubfoldersAddEachTreeDeepestFirst) {
    MakeFolder(u"t/a/b"_s);
    MakeFolder(u"t/c"_s);
    MakeFolder(u"u"_s);
    const Result result =
        RunBinary({"--operation", "upper case", "--subfolders", "--print0", "t", "u"}, Root8());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    const QByteArray r = Root8();
    const QByteArrayList expected{r + "/t/a/b/", r + "/t/a/B/", r + "/t/a/", r + "/t/A/",
                                  r + "/t/c/",   r + "/t/C/",   r + "/t/",   r + "/T/",
                                  r + "/u/",     r + "/U/",     ""};
    EXPECT_EQ(result.out.split('\0'), expected);
}

TEST_F(Cli, SubfoldersNameEachLeftOutSubtreeOnceOnStandardError) {
    MakeFolder(u"t/\u65e5\u672c/deeper"_s);  // left out, and everything beneath it
    MakeFolder(u"t/a?b"_s);
    MakeFolder(u"t/ok"_s);
    const Result result = RunBinary(
        {"--operation", "upper case", "--subfolders", "--quiet", "--apply", "t"}, Root8());
    EXPECT_EQ(result.status, 0) << result.err.toStdString();  // leaving out is no failure
    const QByteArray r = Root8();
    QByteArrayList skipped = result.err.split('\n');
    skipped.removeAll(QByteArray());
    std::sort(skipped.begin(), skipped.end());
    EXPECT_EQ(skipped, (QByteArrayList{"skipped: " + r + "/t/a?b/",
                                       "skipped: " + r + "/t/\xe6\x97\xa5\xe6\x9c\xac/"}));
    EXPECT_TRUE(QDir(QFile::decodeName(r + "/T/OK")).exists());
}

struct EscapeRow {
    const char* name;
    QByteArray text;
    QByteArray line;
};

class EscapeLineTest : public ::testing::TestWithParam<EscapeRow> {};

TEST_P(EscapeLineTest, GivesOnePrintableLine) {
    EXPECT_EQ(EscapeLine(GetParam().text), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, EscapeLineTest,
    ::testing::Values(EscapeRow{"Plain", "a b/c.d", "a b/c.d"},
                      EscapeRow{"Utf8Unchanged", "\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80",
                                "\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80"},
                      EscapeRow{"NamedEscapes", "\\\a\b\t\n\v\f\r", "\\\\\\a\\b\\t\\n\\v\\f\\r"},
                      EscapeRow{"OtherControls", QByteArray("\x00\x1b[H\x7f", 5),
                                "\\x00\\x1b[H\\x7f"},
                      // U+009B is a terminal's one-character escape sequence introducer.
                      EscapeRow{"C1Controls",
                                "a\xc2\x9b"
                                "1m\xc2\x80\xc2\xa0",
                                "a\\x9b"
                                "1m\\x80\xc2\xa0"},
                      // Not UTF-8: no byte from 0x80 up is passed on, so nothing can be misread.
                      EscapeRow{"NotUtf8", "bad\xff\xc3\xa9", "bad\\xff\\xc3\\xa9"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trellisane
