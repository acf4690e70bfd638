// The settings store: only "LastFolder" under "Quorvane" and "Trellisane" is read, afresh on
// every "Add Folder/s", and nothing is written.

#include <QDir>
#include <QFile>
#include <QSettings>

#include "app/settings_store.h"
#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

/// Removes every value the tests may have left under the names they use.
void ForgetAll() {
    for (const auto& [organisation, application] :
         {std::pair<QString, QString>{"Quorvane", "Trellisane"},
          {"Quorvane", "Other"},
          {"Other", "Trellisane"},
          {"Quorvane", ""}}) {
        QSettings settings(QSettings::UserScope, organisation, application);
        settings.clear();
        settings.sync();
    }
}

void Store(const QString& organisation, const QString& application, const QString& value) {
    QSettings settings(QSettings::UserScope, organisation, application);
    settings.setValue(kLastFolderKey, value);
    settings.sync();
}

// Where a "LastFolder" value is kept, and whether GetSetting sees it.
struct StoreRow {
    const char* name;
    const char* organisation;  // nullptr: nothing stored
    const char* application;   // "" stands for the organisation-wide file
    bool seen;
};

class SettingsStoreTest : public ::testing::TestWithParam<StoreRow> {
  protected:
    void SetUp() override { ForgetAll(); }
    void TearDown() override { ForgetAll(); }
};

TEST_P(SettingsStoreTest, SeesOnlyItsOwnValue) {
    const StoreRow& row = GetParam();
    if (row.organisation != nullptr) Store(row.organisation, row.application, "/data/photos");
    EXPECT_EQ(GetSetting(kLastFolderKey, QString()), row.seen ? "/data/photos" : "");
    EXPECT_EQ(GetSetting(kLastFolderKey, "fallback"), row.seen ? "/data/photos" : "fallback");
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsStoreTest,
    ::testing::Values(StoreRow{"Absent", nullptr, nullptr, false},
                      StoreRow{"OwnNames", "Quorvane", "Trellisane", true},
                      StoreRow{"AnotherProduct", "Quorvane", "Other", false},
                      StoreRow{"AnotherMaker", "Other", "Trellisane", false},
                      // QSettings would fall back to this file unless told not to.
                      StoreRow{"OrganisationWide", "Quorvane", "", false}),
    [](const auto& test) { return std::string(test.param.name); });

class LastFolderTest : public WindowTest {
  protected:
    void SetUp() override {
        ForgetAll();
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        ForgetAll();
    }
};

TEST_F(LastFolderTest, IsTheBrowseDialogsStartFolderReadOnEveryClick) {
    Open();
    Add("");
    Store("Quorvane", "Trellisane", PathOf("program"));
    Add("");
    Store("Quorvane", "Trellisane", "/somewhere/else");
    Add("");
    QStringList initialFolders;
    for (const DialogCall& call : dialogs.calls) {
        if (call.kind == DialogCall::Kind::Browse) {
            EXPECT_EQ(call.text, "Please select folder:");
            initialFolders << call.initialFolder;
        }
    }
    EXPECT_EQ(initialFolders, QStringList({"", PathOf("program"), "/somewhere/else"}));
}

TEST_F(LastFolderTest, IsNeverWritten) {
    Store("Quorvane", "Trellisane", PathOf("program"));
    Open();
    MakeFolder("chosen");
    Add(PathOf("chosen"));
    form->close();
    QSettings settings(QSettings::UserScope, "Quorvane", "Trellisane");
    EXPECT_EQ(settings.allKeys(), QStringList{kLastFolderKey});
    EXPECT_EQ(settings.value(kLastFolderKey).toString(), PathOf("program"));
}

}  // namespace
}  // namespace trellisane::testing
