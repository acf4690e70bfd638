#include "folders/folder_entries.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

namespace trellisane {
namespace {

/// What the C library's realpath makes of `path`, or "" where it fails.
QString LibraryRealPath(const QString& path) {
    char* real = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (real == nullptr) return {};
    const QString text = QFile::decodeName(real);
    std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own buffer
    return text;
}

// RealPathOf asks the kernel for the name of what a path reaches rather than resolving it
// part by part; whatever it is handed, it must answer as realpath does, failures included.
TEST(RealPathOf, AnswersAsRealpathDoes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path() + u'/';
    ASSERT_TRUE(QDir().mkpath(root + "d/e"));
    QFile file(root + "f");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(::symlink("d", QFile::encodeName(root + "l").constData()), 0);
    ASSERT_EQ(::symlink("loop", QFile::encodeName(root + "loop").constData()), 0);
    ASSERT_EQ(::symlink("missing", QFile::encodeName(root + "dangling").constData()), 0);
    ASSERT_TRUE(QDir().mkpath(root + "x (deleted)"));

    for (const char* relative : {"d", "d/", "d/e/..", "d/./e", "l", "l/", "l/e", "l/..", "f", "f/",
                                 "missing", "d/missing", "loop", "dangling", "x (deleted)", ""}) {
        const QString path = root + QString::fromUtf8(relative);
        EXPECT_EQ(RealPathOf(path), LibraryRealPath(path)) << relative;
    }
    for (const QString& path : {QString(), QStringLiteral("/"), QStringLiteral("//"),
                                QStringLiteral("relative-that-is-not-there")}) {
        EXPECT_EQ(RealPathOf(path), LibraryRealPath(path)) << path.toStdString();
    }
}

}  // namespace
}  // namespace trellisane
