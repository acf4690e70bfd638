#include "tests/support/temp_tree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace trellisane::testing {

TempTree::TempTree() = default;
TempTree::~TempTree() = default;

void TempTree::SetUp() {
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
}

void TempTree::TearDown() {
    // Give back any permission a test took away, so the whole tree can be removed.
    QDirIterator it(Root(), QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    QFile::setPermissions(Root(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    while (it.hasNext()) {
        it.next();
        // Never through a link: setPermissions follows it, out of the tree if it leads there.
        if (it.fileInfo().isSymLink()) continue;
        QFile::setPermissions(it.filePath(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    m_dir.reset();
}

QString TempTree::Root() const { return m_dir->path(); }

QString TempTree::PathOf(const QString& relative) const { return Root() + u'/' + relative; }

QString TempTree::MakeFolder(const QString& relative) const {
    EXPECT_TRUE(QDir().mkpath(PathOf(relative))) << relative.toStdString();
    return PathOf(relative) + u'/';
}

void TempTree::MakeFile(const QString& relative, const QByteArray& content) const {
    QFile file(PathOf(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << relative.toStdString();
    file.write(content);
}

static QStringList ListBelow(const QString& root, QDir::Filters filters) {
    QStringList found;
    QDirIterator it(root, filters | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) found << QDir(root).relativeFilePath(it.next());
    found.sort();
    return found;
}

QStringList TempTree::AllFolders() const { return ListBelow(Root(), QDir::Dirs); }

QStringList TempTree::AllFiles() const { return ListBelow(Root(), QDir::Files); }

}  // namespace trellisane::testing
