#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>

class QTemporaryDir;

namespace trellisane::testing {

/// A fixture owning a fresh temporary folder, removed with everything in it after the test.
/// Paths are absolute, with '/' separators.
class TempTree : public ::testing::Test {
  protected:
    TempTree();
    ~TempTree() override;
    void SetUp() override;
    void TearDown() override;

    /// The temporary folder's path, without trailing separator.
    QString Root() const;
    /// Root() + "/" + `relative`.
    QString PathOf(const QString& relative) const;
    /// Creates the folder `relative` below the root, with its parents. Returns its path
    /// with a trailing separator.
    QString MakeFolder(const QString& relative) const;
    /// Writes a small file `relative` (its parents must exist).
    void MakeFile(const QString& relative, const QByteArray& content = "marker") const;
    /// Every folder below the root (not the root), as paths relative to it, sorted.
    QStringList AllFolders() const;
    /// Every file below the root, as paths relative to it, sorted.
    QStringList AllFiles() const;

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

}  // namespace trellisane::testing
