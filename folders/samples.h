#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace trellisane {

/// The samples path: `programFolder` (without trailing separator; "/" is taken as the root),
/// then "/Samples/".
QString SamplesPath(const QString& programFolder);

/// The "Samples" folder, read in two steps so that a caller can report a failure of each step
/// on its own. A failure comes back as a value, the platform's description (nothing on
/// success), never as an exception. The
/// folder is held open from Open() until List() or the end of the object, whichever is first.
class SampleFolder {
  public:
    /// `samplesPath` as SamplesPath gives it. Touches nothing yet.
    explicit SampleFolder(QString samplesPath);
    ~SampleFolder();
    SampleFolder(const SampleFolder&) = delete;
    SampleFolder& operator=(const SampleFolder&) = delete;

    /// Opens the folder for listing. Returns nothing on success, else the platform's
    /// description (for example "No such file or directory" or "Permission denied").
    std::optional<QString> Open();

    /// Lists the immediate sub-folders (and links to folders) of the opened folder into Rows()
    /// and closes it. Returns nothing on success, else the platform's description; after a
    /// failed Open(), that failure's description again. Opens the folder first when Open() was
    /// not called. O(n log n) in the entries.
    std::optional<QString> List();

    /// True once List() has read the whole folder.
    bool Listed() const { return m_listed; }

    /// One row path per sample folder: the samples path, the name, the separator, names in
    /// binary order. Holds what was read before a failure; empty before List(). Names that
    /// are not valid UTF-8 are left out: no row could name them.
    const QStringList& Rows() const { return m_rows; }

  private:
    QString m_path;
    void* m_dir = nullptr;  // the open DIR*, kept out of the header
    std::optional<QString> m_openError;
    QStringList m_rows;
    bool m_listed = false;
};

}  // namespace trellisane
